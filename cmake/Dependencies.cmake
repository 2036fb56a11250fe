# Third-party pieces, all from Debian's packages.

# GoogleTest from Debian's source package, built for whichever target we compile for.
set(WENDLE_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
if(EXISTS ${WENDLE_GTEST_SOURCE}/CMakeLists.txt)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  # GoogleTest's own warnings are not ours to fix.
  set(_wendle_saved_opts ${CMAKE_CXX_FLAGS})
  add_subdirectory(${WENDLE_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL SYSTEM)
  set(WENDLE_HAVE_GTEST ON)
else()
  message(WARNING "GoogleTest sources not found at ${WENDLE_GTEST_SOURCE}; tests are not built")
  set(WENDLE_HAVE_GTEST OFF)
endif()
include(GoogleTest)

# Header-only libraries (toml++, CLI11). For MinGW only their own folders may reach
# the include path: /usr/include itself would pull in the Linux C headers.
add_library(wendle_header_libs INTERFACE)
if(WIN32)
  set(_hdr ${CMAKE_BINARY_DIR}/_deps/headers)
  file(MAKE_DIRECTORY ${_hdr})
  foreach(lib toml++ CLI)
    if(EXISTS /usr/include/${lib} AND NOT EXISTS ${_hdr}/${lib})
      file(CREATE_LINK /usr/include/${lib} ${_hdr}/${lib} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(wendle_header_libs SYSTEM INTERFACE ${_hdr})
endif()

if(WIN32)
  # Windows tests run under Wine, in a private prefix inside the build tree.
  set(WENDLE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tests/wine/wine-run.sh ${WENDLE_WINEPREFIX})
  # A statically linked runtime: the launcher needs no DLL beside it.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
endif()
