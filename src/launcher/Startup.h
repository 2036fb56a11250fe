// The two drivers that fix the order of the launcher's work: the startup that
// every process runs before it looks at its command line, and the launch of
// the Java application in the run modes. Implemented for Windows in
// launcher/win/Startup.cpp.
#pragma once

#include "launcher/CommandLine.h"

namespace wendle {

// Clears the extraction directory, loads the configuration (ending the
// launcher when it cannot be read), takes the flavour letter from key 2001 and
// makes key 146 the current directory when it is set.
void initializeLauncher();

// Extraction, native library path, console handler (service child only),
// single-instance rule, Java runtime search, JVM launch. Returns only after the
// application's main method has returned; every failure ends the process.
void launchApplication(ArgumentVector& arguments, bool installConsoleHandler);

}  // namespace wendle
