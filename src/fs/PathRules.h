// Pure path rules shared by every platform.
#pragma once

#include <string>

namespace wendle {

// Fewer than 3 characters (a leading double quote skipped) is relative; a path
// is absolute when its 2nd and 3rd characters are ":\" or it begins with "\\".
bool isRelativePath(const std::string& path);
bool isRelativePathW(const std::wstring& path);

// From the third character on, a backslash directly after a backslash is
// dropped: a UNC prefix survives, later runs become single.
void collapseBackslashesW(std::wstring& path);

// "A" to "Z" become "a" to "z"; nothing else changes.
void lowerCaseAsciiW(std::wstring& path);

// True for "X:\", "X:\." and "X:\.\." (drive roots).
bool isDriveRootW(const std::wstring& path);

}  // namespace wendle
