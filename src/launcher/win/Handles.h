// One owning type per Windows handle kind, each with its own closer and empty
// value, so no branch has to remember to close anything.
#pragma once

#include <windows.h>

namespace wendle {

template <typename T, T Empty, typename Closer>
class UniqueResource {
 public:
  UniqueResource() = default;
  explicit UniqueResource(T value) : value_(value) {}
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~UniqueResource() { reset(); }

  T get() const { return value_; }
  explicit operator bool() const { return value_ != Empty; }
  T* put() {
    reset();
    return &value_;
  }
  T release() {
    T v = value_;
    value_ = Empty;
    return v;
  }
  void reset(T value = Empty) {
    if (value_ != Empty) Closer()(value_);
    value_ = value;
  }

 private:
  T value_ = Empty;
};

struct CloseHandleCloser {
  void operator()(HANDLE h) const { ::CloseHandle(h); }
};
struct RegCloseKeyCloser {
  void operator()(HKEY h) const { ::RegCloseKey(h); }
};
struct CloseServiceHandleCloser {
  void operator()(SC_HANDLE h) const { ::CloseServiceHandle(h); }
};

// Process, thread, pipe, semaphore handles: empty is NULL.
using UniqueHandle = UniqueResource<HANDLE, nullptr, CloseHandleCloser>;
// File handles from CreateFile: empty is INVALID_HANDLE_VALUE.
struct UniqueFile {
  HANDLE value = INVALID_HANDLE_VALUE;
  UniqueFile() = default;
  explicit UniqueFile(HANDLE h) : value(h) {}
  UniqueFile(const UniqueFile&) = delete;
  UniqueFile& operator=(const UniqueFile&) = delete;
  UniqueFile(UniqueFile&& o) noexcept : value(o.value) { o.value = INVALID_HANDLE_VALUE; }
  UniqueFile& operator=(UniqueFile&& o) noexcept {
    if (this != &o) {
      reset();
      value = o.value;
      o.value = INVALID_HANDLE_VALUE;
    }
    return *this;
  }
  ~UniqueFile() { reset(); }
  HANDLE get() const { return value; }
  explicit operator bool() const { return value != INVALID_HANDLE_VALUE; }
  void reset() {
    if (value != INVALID_HANDLE_VALUE) ::CloseHandle(value);
    value = INVALID_HANDLE_VALUE;
  }
};
// FindFirstFile handles: empty is INVALID_HANDLE_VALUE, closed by FindClose.
struct UniqueFind {
  HANDLE value = INVALID_HANDLE_VALUE;
  UniqueFind() = default;
  explicit UniqueFind(HANDLE h) : value(h) {}
  UniqueFind(const UniqueFind&) = delete;
  UniqueFind& operator=(const UniqueFind&) = delete;
  ~UniqueFind() {
    if (value != INVALID_HANDLE_VALUE) ::FindClose(value);
  }
  HANDLE get() const { return value; }
  explicit operator bool() const { return value != INVALID_HANDLE_VALUE; }
};
using UniqueHkey = UniqueResource<HKEY, nullptr, RegCloseKeyCloser>;
using UniqueScHandle = UniqueResource<SC_HANDLE, nullptr, CloseServiceHandleCloser>;

}  // namespace wendle
