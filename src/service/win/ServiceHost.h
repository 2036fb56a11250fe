// The service entry point that the dispatcher calls in the service process.
#pragma once

#include <windows.h>

namespace wendle {

void WINAPI serviceMain(DWORD argc, LPSTR* argv);

}  // namespace wendle
