#include "Schema.h"

#include "payload/ConfigKeys.h"

namespace wendle::gen {

namespace k = wendle::keys;

const std::vector<SettingDef>& settingCatalogue() {
  static const std::vector<SettingDef> catalogue = {
      {"launcher", "kind", k::kLauncherKind, Kind::LauncherKind, 0},
      {"launcher", "flavour", k::kFlavour, Kind::Flavour, 2},

      {"application", "main_class", k::kMainClass, Kind::Text, 6000},
      {"application", "arguments", k::kProgramArguments, Kind::OptionLine, 2000},
      {"application", "working_directory", k::kWorkingDirectory, Kind::Text, 6000},
      {"application", "id", k::kApplicationId, Kind::Text, 6000},
      {"application", "installation_directory", k::kInstallationDirectory, Kind::Text, 2000},

      {"output", "redirect_stdout", k::kRedirectStdout, Kind::Flag, 0},
      {"output", "stdout_file", k::kStdoutFile, Kind::Text, 6000},
      {"output", "redirect_stderr", k::kRedirectStderr, Kind::Flag, 0},
      {"output", "stderr_file", k::kStderrFile, Kind::Text, 6000},
      {"output", "append", k::kAppendRedirect, Kind::Flag, 0},

      {"service", "name", k::kServiceName, Kind::Text, 6000},
      {"service", "dependencies", k::kServiceDependencies, Kind::NameList, 6000},

      {"java", "min_version", k::kMinJavaVersion, Kind::Text, 2000},
      {"java", "max_version", k::kMaxJavaVersion, Kind::Text, 2000},
      {"java", "location", k::kJvmLocations, Kind::JvmLocations, 6000},
      {"java", "allow_prerelease", k::kAllowPrerelease, Kind::Flag, 0},
      {"java", "require_jdk", k::kRequireJdk, Kind::Flag, 0},
      {"java", "preferred_variant", k::kPreferredJvmVariant, Kind::Text, 200},
      {"java", "restrict_registry", k::kRestrictRegistry, Kind::Flag, 0},

      {"vm", "options", k::kVmOptions, Kind::OptionLine, 6000},
      {"vm", "java_option_arguments", k::kJavaOptionArguments, Kind::Flag, 0},
      {"vm", "native_library_directory", k::kNativeLibraryDirs, Kind::LibraryDirs, 6000},

      {"", "class_path", k::kClassPath, Kind::ClassPath, 6000},

      {"single_instance", "global", k::kGlobalSemaphore, Kind::Flag, 0},
      {"single_instance", "enabled", k::kSingleInstance, Kind::Flag, 0},
      {"single_instance", "raise_first_instance", k::kRaiseFirstInstance, Kind::Flag, 0},

      {"splash", "enabled", k::kSplashEnabled, Kind::Flag, 0},
      {"splash", "flag", k::kSplashArg2, Kind::Number, 0},
      {"splash", "first_1", k::kSplashArg4, Kind::Number, 0},
      {"splash", "second_1", k::kSplashArg5, Kind::Number, 0},
      {"splash", "text_1", k::kSplashArg3, Kind::Text, 2000},
      {"splash", "first_2", k::kSplashArg7, Kind::Number, 0},
      {"splash", "text_2", k::kSplashArg6, Kind::Text, 2000},
      {"splash", "second_2", k::kSplashArg8, Kind::Number, 0},
      {"splash", "first_3", k::kSplashArg10, Kind::Number, 0},
      {"splash", "second_3", k::kSplashArg11, Kind::Number, 0},
      {"splash", "text_3", k::kSplashArg9, Kind::Text, 2000},
      {"splash", "first_4", k::kSplashArg13, Kind::Number, 0},
      {"splash", "text_4", k::kSplashArg12, Kind::Text, 2000},
      {"splash", "second_4", k::kSplashArg14, Kind::Number, 0},
      {"splash", "initialize", k::kSplashCall, Kind::Flag, 0},
  };
  return catalogue;
}

const std::vector<MessageDef>& messageCatalogue() {
  static const std::vector<MessageDef> catalogue = {
      {"error_caption", k::kMsgErrorCaption, "Error"},
      {"jvm_library_missing", k::kMsgJvmLibraryMissing,
       "The Java runtime was found, but its jvm.dll or its JNI_CreateJavaVM entry could not be loaded."},
      {"class_path_entry_missing", k::kMsgClassPathEntryMissing, "A required class path entry is missing: {0}"},
      {"class_path_variable_unset", k::kMsgClassPathVariableUnset,
       "The environment variable {0}, required for the class path, is not set."},
      {"fatal_error", k::kMsgFatalError, "The launcher failed with internal error {0}."},
      {"main_class_missing", k::kMsgMainClassMissing,
       "The launcher's Java class com.wendle.runtime.WinLauncher was not found. Is wendle-runtime.jar on the class path?"},
      {"main_method_missing", k::kMsgMainMethodMissing,
       "The main method of the launcher's Java class com.wendle.runtime.WinLauncher was not found."},
      {"no_temp_dir", k::kMsgNoTempDir, "No usable temporary directory was found."},
      {"no_jvm", k::kMsgNoJvm, "No suitable {0}-bit Java runtime was found. Please install one."},
      {"jvm_not_loadable", k::kMsgJvmNotLoadable, "The Java runtime named by {0} could not be loaded."},
      {"jvm_location_not_loadable", k::kMsgJvmLocationNotLoadable, "The Java runtime at {0} could not be loaded."},
      {"service_description", k::kMsgServiceDescription, "Runs a Java application as a Windows service."},
  };
  return catalogue;
}

const SettingDef* findSetting(const std::string& section, const std::string& name) {
  for (const SettingDef& s : settingCatalogue()) {
    if (section == s.section && name == s.name) return &s;
  }
  return nullptr;
}

const SettingDef* findSettingByKey(int32_t key) {
  for (const SettingDef& s : settingCatalogue()) {
    if (s.key == key) return &s;
  }
  return nullptr;
}

const MessageDef* findMessage(const std::string& name) {
  for (const MessageDef& m : messageCatalogue()) {
    if (name == m.name) return &m;
  }
  return nullptr;
}

const MessageDef* findMessageByKey(int32_t key) {
  for (const MessageDef& m : messageCatalogue()) {
    if (m.key == key) return &m;
  }
  return nullptr;
}

std::string qualifiedName(const SettingDef& def) {
  std::string section = def.section;
  return section.empty() ? std::string(def.name) : section + "." + def.name;
}

bool isGeneratedKey(int32_t key) {
  return key == keys::kEmbeddedFileCount || key == keys::kEmbeddedFileNames;
}

}  // namespace wendle::gen
