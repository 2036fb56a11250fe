// A directory in which the launcher may create files: eleven candidates tried
// in a fixed order, each tested by creating and removing a directory inside
// it. Nothing is cached; every call walks the list again. Implemented for
// Windows in fs/win/TempDir.cpp.
#pragma once

#include <string>

namespace wendle {

// A candidate longer than this many characters is skipped.
constexpr size_t kTempPathLimit = 6000;

// The first usable candidate; ends the launcher with message 1015 when none is.
std::string chooseTempDir();
// The same with the wide functions; empty when none is usable, and then the
// launcher ends with message 1015 when failWhenNone is set.
std::wstring chooseTempDirW(bool failWhenNone);

// A unique file path in chooseTempDir's directory. Normally Windows creates
// the empty file (prefix "wdl") and it stays to reserve the name; when that
// fails the name is "<dir>\wdl<random>" and no file is created.
std::string makeTempFileName();

// create: make the last path component first. ansiTest: refuse a directory
// whose long name the ANSI code page cannot represent ("?" in the narrow form).
bool isUsableTempDir(const std::string& dir, bool create, bool ansiTest);
bool isUsableTempDirW(const std::wstring& dir, bool create, bool ansiTest);

// True when the directory "<dir>\wdl_w_testdir" can be created (and is removed again).
bool isWritableDir(const std::string& dir);
bool isWritableDirW(const std::wstring& dir);

}  // namespace wendle
