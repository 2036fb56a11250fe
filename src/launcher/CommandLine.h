// The launcher's own command-line splitting: arguments are separated by
// blanks (code 32 only), double and single quotes group text, and backslashes
// have no special meaning.
#pragma once

#include <string>
#include <vector>

namespace wendle {

class ArgumentVector {
 public:
  void append(std::wstring arg) { args_.push_back(std::move(arg)); }
  size_t size() const { return args_.size(); }
  bool empty() const { return args_.empty(); }
  const std::wstring& operator[](size_t i) const { return args_[i]; }
  void removeFirst() {
    if (!args_.empty()) args_.erase(args_.begin());
  }
  void removeLast() {
    if (!args_.empty()) args_.pop_back();
  }
  const std::vector<std::wstring>& items() const { return args_; }

 private:
  std::vector<std::wstring> args_;
};

// Appends the arguments found in text, in order, to args.
void splitCommandLine(const std::wstring& text, ArgumentVector& args);

}  // namespace wendle
