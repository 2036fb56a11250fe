// The catalogue of configuration keys: every settings and message key the
// launcher reads, by name. Generator and launcher share it; no other file
// spells a key number.
#pragma once

#include <cstdint>

namespace wendle::keys {

// Settings keys (narrow text in the settings table).
constexpr int32_t kServiceName = 101;             // text, 6000
constexpr int32_t kRedirectStdout = 102;          // flag
constexpr int32_t kStdoutFile = 103;              // path, wide 6000, expanded
constexpr int32_t kRedirectStderr = 104;          // flag
constexpr int32_t kStderrFile = 105;              // path, wide 6000, expanded
constexpr int32_t kAppendRedirect = 106;          // flag: fifth main argument "true"/"false"
constexpr int32_t kLauncherKind = 107;            // number: 1 windowed, 4 auto-start service, 5 ...
constexpr int32_t kSplashEnabled = 108;           // flag, with kSplashCall
constexpr int32_t kClassPath = 121;               // list, 6000
constexpr int32_t kMainClass = 122;               // text, wide 6000
constexpr int32_t kVmOptions = 123;               // text, wide 6000, expanded
constexpr int32_t kProgramArguments = 124;        // text, wide 2000, expanded
constexpr int32_t kJavaOptionArguments = 125;     // flag: "-J" arguments become VM options
constexpr int32_t kMinJavaVersion = 126;          // text, 2000
constexpr int32_t kMaxJavaVersion = 127;          // text, 2000
constexpr int32_t kJvmLocations = 128;            // list, 6000
constexpr int32_t kAllowPrerelease = 130;         // flag
constexpr int32_t kRequireJdk = 131;              // flag
constexpr int32_t kWorkingDirectory = 146;        // text, wide 6000, expanded
constexpr int32_t kServiceDependencies = 149;     // comma list
constexpr int32_t kPreferredJvmVariant = 152;     // text, 200
constexpr int32_t kGlobalSemaphore = 158;         // flag
constexpr int32_t kApplicationId = 160;           // text
constexpr int32_t kSplashArg2 = 163;              // number
constexpr int32_t kRestrictRegistry = 165;        // flag
constexpr int32_t kFlavour = 2001;                // text, 2
constexpr int32_t kEmbeddedFileCount = 2002;      // number
constexpr int32_t kEmbeddedFileNames = 2003;      // list (copy)
constexpr int32_t kInstallationDirectory = 10003; // path
constexpr int32_t kNativeLibraryDirs = 10004;     // list, 6000, expanded
constexpr int32_t kSingleInstance = 10005;        // flag
constexpr int32_t kRaiseFirstInstance = 10007;    // flag
constexpr int32_t kSplashArg4 = 10109;            // number
constexpr int32_t kSplashArg5 = 10110;            // number
constexpr int32_t kSplashArg3 = 10111;            // text, 2000
constexpr int32_t kSplashArg7 = 10113;            // number
constexpr int32_t kSplashArg6 = 10114;            // text, 2000
constexpr int32_t kSplashArg8 = 10115;            // number
constexpr int32_t kSplashArg10 = 10116;           // number
constexpr int32_t kSplashArg11 = 10117;           // number
constexpr int32_t kSplashArg9 = 10118;            // text, 2000
constexpr int32_t kSplashArg13 = 10120;           // number
constexpr int32_t kSplashArg12 = 10121;           // text, 2000
constexpr int32_t kSplashArg14 = 10122;           // number
constexpr int32_t kSplashCall = 10123;            // flag, with kSplashEnabled
constexpr int32_t kVersionOptionCount = 10200;    // number n of version-specific option lines
constexpr int32_t kVersionOptionBase = 10201;     // 10201 + 2i: version prefix of line i

// Version prefix and option line of version-specific line i.
constexpr int32_t versionPrefixKey(int32_t i) { return kVersionOptionBase + 2 * i; }
constexpr int32_t versionOptionKey(int32_t i) { return kVersionOptionBase + 2 * i + 1; }

// Message keys (UTF-16 text in the messages table, settings text as fallback).
constexpr int32_t kMsgErrorCaption = 1000;
constexpr int32_t kMsgJvmLibraryMissing = 1005;
constexpr int32_t kMsgClassPathEntryMissing = 1006;
constexpr int32_t kMsgClassPathVariableUnset = 1008;
constexpr int32_t kMsgFatalError = 1009;
constexpr int32_t kMsgMainClassMissing = 1010;
constexpr int32_t kMsgMainMethodMissing = 1011;
constexpr int32_t kMsgNoTempDir = 1015;
constexpr int32_t kMsgNoJvm = 1016;
constexpr int32_t kMsgJvmNotLoadable = 1018;
constexpr int32_t kMsgJvmLocationNotLoadable = 1020;
constexpr int32_t kMsgServiceDescription = 20017;

// Launcher kinds of kLauncherKind.
constexpr int32_t kKindWindowed = 1;
constexpr int32_t kKindAutoStartService = 4;
constexpr int32_t kKindMessageBox = 5;

// Error numbers shown with kMsgFatalError.
constexpr const char* kFatalNoExtractionDir = "7";
constexpr const char* kFatalFileNotCreated = "11";
constexpr const char* kFatalFirstRunClass = "14";
constexpr const char* kFatalFirstRunMethod = "15";
constexpr const char* kFatalExtractionFailed = "16";
constexpr const char* kFatalUnpackNotStarted = "20";

}  // namespace wendle::keys
