// Error reports in message-box mode, seen on a real (virtual) display: the box
// carries message 1000 as its caption and the error text as its body.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "payload/ConfigKeys.h"
#include "payload/PayloadFormat.h"
#include "support/Scenario.h"

namespace wendle::test {
namespace {

constexpr const wchar_t* kCaption = L"Test Application Error";

struct SeenBox {
  std::wstring text;
  bool found = false;
};

// Finds the box by its caption, reads its text and presses OK; gives up after
// the timeout so that a box that never appears cannot hang the test.
void watchForBox(SeenBox& seen, std::atomic<bool>& stop) {
  for (int i = 0; i < 600 && !stop; ++i) {
    HWND box = FindWindowW(L"#32770", kCaption);
    if (box != nullptr) {
      wchar_t text[8000] = {};
      GetDlgItemTextW(box, 0xFFFF, text, 8000);
      seen.text = text;
      seen.found = true;
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      return;
    }
    Sleep(100);
  }
}

std::string le32(uint32_t v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return s;
}

class RealMessageBox : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t display[256];
    if (GetEnvironmentVariableW(L"DISPLAY", display, 256) == 0) GTEST_SKIP() << "no X display";
  }

  SeenBox runAndClose(const std::wstring& exe, const std::wstring& args, RunResult& result, bool log) {
    SeenBox seen;
    std::atomic<bool> stop{false};
    std::thread watcher(watchForBox, std::ref(seen), std::ref(stop));
    RunOptions options;
    options.log = log;
    options.timeoutMs = 60000;
    result = scenario_.run(exe, args, options);
    stop = true;
    watcher.join();
    return seen;
  }

  Scenario scenario_;
};

// A payload cut after its messages: the caption is already known, the error
// comes while the configuration is read, when message-box mode is always on.
TEST_F(RealMessageBox, DamagedPayloadShowsItsInternalErrorInABox) {
  std::u16string caption = u"Test Application Error";
  std::string block = le32(payload::kMagic) + le32(0) + le32(0) + std::string(8, '\0') + le32(0) + le32(1) +
                      le32(keys::kMsgErrorCaption) + le32(static_cast<uint32_t>(caption.size() * 2));
  for (char16_t c : caption) block += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  std::wstring exe = scenario_.writeLauncherBytes(block);  // the section count is missing
  ASSERT_FALSE(exe.empty());
  RunResult r;
  SeenBox seen = runAndClose(exe, L"/?", r, false);
  ASSERT_TRUE(seen.found) << "no message box with the caption appeared";
  EXPECT_EQ(seen.text, L"Internal Error: readInt");
  EXPECT_EQ(r.exitCode, 1u);
  EXPECT_FALSE(r.timedOut);
  EXPECT_EQ(r.err, "");
}

// Launcher kind 1 keeps message-box mode after loading; with logging on the
// text names the log.
TEST_F(RealMessageBox, WindowedKindReportsLaterErrorsInABoxNamingTheLog) {
  payload::Payload p = basePayload();
  p.settings.emplace_back(keys::kLauncherKind, "1");
  p.settings.emplace_back(keys::kEmbeddedFileCount, "1");
  p.settings.emplace_back(keys::kEmbeddedFileNames, "a.jar");
  std::wstring exe = scenario_.buildLauncher(p);
  RunResult r;
  SeenBox seen = runAndClose(exe, L"/run", r, true);
  ASSERT_TRUE(seen.found);
  ASSERT_FALSE(r.logPath.empty());
  EXPECT_EQ(seen.text, L"Internal Error: readLong\n\nLog: " + r.logPath);
  EXPECT_EQ(r.exitCode, 1u);
}

}  // namespace
}  // namespace wendle::test
