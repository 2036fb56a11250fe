#include "launcher/Errors.h"

namespace wendle {

bool messageBoxMode = true;

std::wstring substituteFirst(const std::wstring& message, const std::wstring& argument) {
  size_t at = message.find(L"{0}");
  if (at == std::wstring::npos) return message;
  return message.substr(0, at) + argument + message.substr(at + 3);
}

}  // namespace wendle
