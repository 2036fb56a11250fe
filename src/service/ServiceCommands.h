// The service control commands; each returns the process exit code.
#pragma once

namespace wendle {

constexpr int kStartAutomatic = 2;  // SERVICE_AUTO_START
constexpr int kStartOnDemand = 3;   // SERVICE_DEMAND_START

int commandInstall(int startType, bool interactive);
int commandUninstall(bool verbose);
int commandStart();
int commandStop(bool verbose);
int commandStatus();

}  // namespace wendle
