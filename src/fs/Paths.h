// The executable's own path in both text forms, its directory, resolution of
// paths relative to it, existence tests and normalisations. Narrow text is in
// the code page of the Windows file functions; narrow normalisations convert
// to wide text and back so that a double-byte character is never split.
// Implemented for Windows in fs/win/Paths.cpp; the pure rules are in PathRules.h.
#pragma once

#include <cstdint>
#include <string>

#include "fs/PathRules.h"

namespace wendle {

// The running executable's path as GetModuleFileNameW reports it (not cached).
std::wstring moduleFileNameW();

// Cached on first use; backslashes collapsed.
const std::string& getModulePath();    // long form when representable, else short form
const std::wstring& getModulePathW();  // long form

// The launcher directory, with its trailing backslash.
const std::string& exeDirectory();             // from the narrow module path
const std::wstring& exeDirectoryWidened();     // that narrow directory widened byte by byte
const std::wstring& exeDirectoryW();           // from the wide module path

// A relative path is put behind the base file's directory, or behind the
// launcher directory when baseFile is null; backslashes collapsed.
std::string resolvePath(const std::string& path, const char* baseFile);
std::wstring resolvePathW(const std::wstring& path, bool narrowForm, const wchar_t* baseFile);

// resolvePath, then GetFullPathName, lower-cased unless keepCase, collapsed.
std::string getFullPath(const std::string& path, bool keepCase);
std::wstring getFullPathW(const std::wstring& path, bool narrowForm, bool keepCase);

// Narrow forms convert to wide and back; unchanged when that is not lossless.
void collapseBackslashes(std::string& path);
void lowerCasePath(std::string& path);

// Drive roots ("C:\", "C:\.", "C:\.\.") are true without asking the file system.
bool fileExists(const std::string& path);
bool fileExistsW(const std::wstring& path);
// FindFirstFile on the path (wildcards allowed); lastWrite receives the entry's
// last-write time as a FILETIME value when not null.
bool findFile(const std::string& path, uint64_t* lastWrite);
bool findFileW(const std::wstring& path, uint64_t* lastWrite);

// Conversions with the file-API code page (ACP, or OEMCP when the file APIs are OEM).
std::wstring toWide(const std::string& narrow);
// usedDefault (when not null) tells whether a character had no narrow form.
std::string toNarrow(const std::wstring& wide, bool* usedDefault);

}  // namespace wendle
