// Process-wide state shared by the launcher's steps. Each value has one owner
// that writes it; everything else only reads.
#pragma once

#include <cstdint>
#include <string>

namespace wendle {

// Entry (command dispatch) owns these.
extern std::string serviceName;     // settings key 101, or a name typed after a command word
extern bool isServiceProcess;       // false only in the console run modes
extern bool noRedirect;             // true only in the plain console run

// Startup owns the flavour letter: 'i' selects the strandix flavour.
extern char flavourLetter;

// Extraction owns these: the per-run directory (empty when nothing was
// extracted) and the file position just after the last extracted record.
extern std::string extractionDir;
extern uint32_t unextractedPosition;

}  // namespace wendle
