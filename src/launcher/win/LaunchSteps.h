// The launch steps that launchApplication calls after extraction, in order.
// Until their own subsystems provide them, launcher/win/PendingSteps.cpp holds
// placeholders that name what is missing and end the launcher.
#pragma once

#include <windows.h>

#include "launcher/CommandLine.h"

namespace wendle {

// Puts the configured native library directories in front of PATH.
void setNativeLibraryPath();
// Returns when this instance may run; ends the launcher with 0 otherwise.
void checkSingleInstance();
// Finds a Java runtime and loads its library; false after its messages were shown.
bool LoadDLL();
// Creates the JVM and calls the Java-side main; false when either failed.
bool launchJvm(ArgumentVector& arguments, bool destroyAfterMain);
// Answers every console control event as handled.
BOOL WINAPI consoleControlHandler(DWORD event);

}  // namespace wendle
