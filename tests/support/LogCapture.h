// A log backend that keeps every line in memory, for tests of portable code.
#pragma once

#include <string>
#include <vector>

#include "launcher/Log.h"

namespace wendle::test {

class LogCapture : public LogBackend {
 public:
  LogCapture() { setLogBackend(this); }
  ~LogCapture() override { setLogBackend(nullptr); }
  bool enabled() override { return true; }
  void writeLine(const std::wstring& text, bool isError) override {
    lines.push_back(isError ? L"ERROR: " + text : text);
  }
  bool contains(const std::wstring& line) const {
    for (const auto& l : lines)
      if (l == line) return true;
    return false;
  }
  std::vector<std::wstring> lines;
};

}  // namespace wendle::test
