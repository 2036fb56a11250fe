// Loading the configuration from the launcher's own executable, with the
// user's locale detected on the way. Implemented for Windows in
// payload/win/Configuration.cpp; the portable parts are ConfigStore and Locale.
#pragma once

#include <string>

namespace wendle {

// The user's locale string from the user interface language (or, when the
// system does not offer it, the user default locale). Logs
// "language/country is %S".
std::string detectLocale();

// Reads the configuration block into configStore(), applying the locale
// override sections, then sets messageBoxMode from the launcher kind. Ends the
// launcher with the reader's or the loader's error text when the block cannot
// be read.
void loadConfiguration();

}  // namespace wendle
