#include "launcher/ProcessState.h"

namespace wendle {

std::string serviceName;
bool isServiceProcess = true;
bool noRedirect = false;
char flavourLetter = 0;
std::string extractionDir;
uint32_t unextractedPosition = 0;

}  // namespace wendle
