// The embedded files: written into a fresh per-run directory under the
// temporary directory before the Java runtime is searched for, and removed
// again whenever the launcher ends through exitLauncher. Implemented for
// Windows in payload/win/Extraction.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace wendle {

class ByteSource;

// Results of copyPayloadBytes, extractFile and extractFiles.
constexpr int kCopyOk = 0;
constexpr int kCopyReadFailed = 1;
constexpr int kCopyWriteFailed = 2;

// Extracts the files named by settings key 2003 (count: key 2002) from the
// launcher's own executable into a new extraction directory; sets
// extractionDir and unextractedPosition. Returns 0 or the failed copy's code.
int extractFiles();
// The same with the records read from the source that openSource returns,
// positioned at the first record; it is opened only once the directory exists.
int extractFilesFrom(const std::function<std::unique_ptr<ByteSource>()>& openSource);

// Sets extractionDir to "<reserved temp file>_dir<seconds>" and creates it;
// ends the launcher (message 1009, "7") after ten failed attempts.
void createExtractionDir();

// Reads one record (size, masked content) and writes it to path. A size of 0
// or less creates no file. Ends the launcher (message 1009, "11") when the file
// cannot be created.
int extractFile(ByteSource& source, const std::string& path);

// Copies count bytes through one buffer, undoing the content mask. target is a
// Windows file handle.
int copyPayloadBytes(ByteSource& source, void* target, int64_t count);

// Deletes the entries of path and, with descend, the entries of its
// sub-directories and those sub-directories. Does nothing for an empty path
// or one beginning with ".".
void removeDirectoryContents(const std::string& path, bool descend);

// Removes extractionDir with its contents when it is set (for exitLauncher).
void removeExtractionDir();

}  // namespace wendle
