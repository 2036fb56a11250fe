// The launcher's own executable as a ByteSource: every read is one ReadFile on
// the file handle, every seek an absolute seek with a signed 32-bit distance.
#pragma once

#include <memory>

#include "payload/ByteSource.h"

namespace wendle {

// Opens the running executable (wide long module path) for reading, sharing
// read and write. Returns only on success: a failure logs
// "Could not open %s" and ends the launcher with the media-file error text.
std::unique_ptr<ByteSource> openOwnExecutable();

}  // namespace wendle
