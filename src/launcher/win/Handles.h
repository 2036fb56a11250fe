// One owning type per Windows handle kind, each with its own closer and empty
// value, so no branch has to remember to close anything.
#pragma once

#include <windows.h>

namespace wendle {

// Traits: the handle type, its empty value and its closer.
template <typename Traits>
class UniqueResource {
 public:
  using Type = typename Traits::Type;

  UniqueResource() = default;
  explicit UniqueResource(Type value) : value_(value) {}
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~UniqueResource() { reset(); }

  Type get() const { return value_; }
  explicit operator bool() const { return value_ != Traits::empty(); }
  Type release() {
    Type v = value_;
    value_ = Traits::empty();
    return v;
  }
  void reset(Type value = Traits::empty()) {
    if (value_ != Traits::empty()) Traits::close(value_);
    value_ = value;
  }

 private:
  Type value_ = Traits::empty();
};

struct HandleTraits {  // processes, threads, pipes, semaphores
  using Type = HANDLE;
  static Type empty() { return nullptr; }
  static void close(Type h) { ::CloseHandle(h); }
};
struct FileTraits {  // CreateFile results
  using Type = HANDLE;
  static Type empty() { return INVALID_HANDLE_VALUE; }
  static void close(Type h) { ::CloseHandle(h); }
};
struct FindTraits {  // FindFirstFile results
  using Type = HANDLE;
  static Type empty() { return INVALID_HANDLE_VALUE; }
  static void close(Type h) { ::FindClose(h); }
};
struct HkeyTraits {
  using Type = HKEY;
  static Type empty() { return nullptr; }
  static void close(Type h) { ::RegCloseKey(h); }
};
struct ScHandleTraits {
  using Type = SC_HANDLE;
  static Type empty() { return nullptr; }
  static void close(Type h) { ::CloseServiceHandle(h); }
};

using UniqueHandle = UniqueResource<HandleTraits>;
using UniqueFile = UniqueResource<FileTraits>;
using UniqueFind = UniqueResource<FindTraits>;
using UniqueHkey = UniqueResource<HkeyTraits>;
using UniqueScHandle = UniqueResource<ScHandleTraits>;

}  // namespace wendle
