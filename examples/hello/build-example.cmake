# Stages wendle.toml with the jars it embeds and runs wendlegen on it.
foreach(f STUB RUNTIME_JAR HELLO_JAR)
  if(NOT EXISTS "${${f}}")
    message(FATAL_ERROR "example-hello: ${${f}} does not exist"
      " (the stub comes from the mingw build, set WENDLE_STUB to use another;"
      " wendle-runtime.jar from the runtime/ build of this tree)")
  endif()
endforeach()
file(MAKE_DIRECTORY "${STAGE}")
file(COPY_FILE "${CONFIG}" "${STAGE}/wendle.toml" ONLY_IF_DIFFERENT)
file(COPY_FILE "${HELLO_JAR}" "${STAGE}/hello.jar" ONLY_IF_DIFFERENT)
file(COPY_FILE "${RUNTIME_JAR}" "${STAGE}/wendle-runtime.jar" ONLY_IF_DIFFERENT)
execute_process(
  COMMAND "${WENDLEGEN}" build "${STAGE}/wendle.toml" --stub "${STUB}" -o "${OUTPUT}"
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "example-hello: wendlegen failed")
endif()
