// Names of embedded files are data read from the launcher's own file. A name
// is only written below the extraction directory: it may hold at most one
// directory level ("lib\a.jar") and nothing that leads elsewhere.
// Shared by the launcher (before a file is created) and the generator (before
// a name is written).
#pragma once

#include <string>

namespace wendle {

// Why the name is refused, or nullptr when it is accepted. Refused: an empty
// name or component; an absolute path (leading "\" or "/"); a drive, or any
// other ":" (alternate data streams); a forward slash; more than one directory
// level; a component made only of dots and blanks ("..", ".", ". ."); a
// character that Windows file names cannot hold; a device name (CON, NUL,
// COM1, ...) as a component.
const char* embeddedNameProblem(const std::string& name);

inline bool isAcceptedEmbeddedName(const std::string& name) { return embeddedNameProblem(name) == nullptr; }

}  // namespace wendle
