// Every readable setting lands under its key number with the text the launcher reads.
#include <gtest/gtest.h>

#include "GenTestSupport.h"
#include "Schema.h"
#include "payload/ConfigKeys.h"

namespace wendle::gen::test {
namespace {

namespace k = wendle::keys;

struct SettingCase {
  const char* toml;
  int32_t key;
  const char* expected;
};

std::ostream& operator<<(std::ostream& os, const SettingCase& c) { return os << c.toml; }

const SettingCase kSettingCases[] = {
    {"[launcher]\nkind = \"service\"", k::kLauncherKind, "0"},
    {"[launcher]\nkind = \"windowed\"", k::kLauncherKind, "1"},
    {"[launcher]\nkind = \"auto-start-service\"", k::kLauncherKind, "4"},
    {"[launcher]\nkind = \"message-box\"", k::kLauncherKind, "5"},
    {"[launcher]\nkind = 7", k::kLauncherKind, "7"},
    {"[launcher]\nflavour = \"strandix\"", k::kFlavour, "i"},
    {"[launcher]\nflavour = \"wendle\"", k::kFlavour, "e"},
    {"[application]\nmain_class = \"com.example.Hello\"", k::kMainClass, "com.example.Hello"},
    {"[application]\narguments = \"-v --port 80\"", k::kProgramArguments, "-v --port 80"},
    {"[application]\narguments = [\"a b\", \"it's\", 'say \"hi\"', \"\", \"plain\"]", k::kProgramArguments,
     "\"a b\" \"it's\" 'say \"hi\"' \"\" plain"},
    {"[application]\nworking_directory = \"${WENDLE_EXEDIR}\\\\work\"", k::kWorkingDirectory, "${WENDLE_EXEDIR}\\work"},
    {"[application]\nid = \"1234-5678\"", k::kApplicationId, "1234-5678"},
    {"[application]\ninstallation_directory = \"..\"", k::kInstallationDirectory, ".."},
    {"[output]\nredirect_stdout = true", k::kRedirectStdout, "1"},
    {"[output]\nredirect_stdout = false", k::kRedirectStdout, "0"},
    {"[output]\nstdout_file = \"logs\\\\out.log\"", k::kStdoutFile, "logs\\out.log"},
    {"[output]\nredirect_stderr = true", k::kRedirectStderr, "1"},
    {"[output]\nstderr_file = \"err.log\"", k::kStderrFile, "err.log"},
    {"[output]\nappend = true", k::kAppendRedirect, "1"},
    {"[service]\nname = \"HelloService\"", k::kServiceName, "HelloService"},
    {"[service]\nname = \"Caf\xC3\xA9\"", k::kServiceName, "Caf\xE9"},  // 8-bit: U+00E9 is one byte
    {"[service]\ndependencies = [\"Tcpip\", \"Dnscache\"]", k::kServiceDependencies, "Tcpip,Dnscache"},
    {"[java]\nmin_version = \"1.8\"", k::kMinJavaVersion, "1.8"},
    {"[java]\nmax_version = \"17.0.2\"", k::kMaxJavaVersion, "17.0.2"},
    {"[java]\nallow_prerelease = true", k::kAllowPrerelease, "1"},
    {"[java]\nrequire_jdk = true", k::kRequireJdk, "1"},
    {"[java]\npreferred_variant = \"server\"", k::kPreferredJvmVariant, "server"},
    {"[java]\nrestrict_registry = true", k::kRestrictRegistry, "1"},
    {"[[java.location]]\ntype = \"directory\"\npath = \"C:\\\\jre\"\n"
     "[[java.location]]\ntype = \"bundled\"\npath = \"jre\"\n"
     "[[java.location]]\ntype = \"runtime\"\npath = \"..\\\\rt\"\n"
     "[[java.location]]\ntype = \"environment\"\nvariable = \"JAVA_HOME\"\n"
     "[[java.location]]\ntype = \"search_path\"\n"
     "[[java.location]]\ntype = \"registry\"",
     k::kJvmLocations, "AC:\\jre;Bjre;R..\\rt;EJAVA_HOME;S;Y"},
    {"[vm]\noptions = \"-Xmx512m -Dname=\\\"a b\\\"\"", k::kVmOptions, "-Xmx512m -Dname=\"a b\""},
    {"[vm]\noptions = [\"-Xmx512m\", \"-Dname=a b\"]", k::kVmOptions, "-Xmx512m \"-Dname=a b\""},
    {"[vm]\njava_option_arguments = true", k::kJavaOptionArguments, "1"},
    {"[[vm.native_library_directory]]\npath = \"bin\"\n[[vm.native_library_directory]]\npath = \"${WENDLE_EXEDIR}\\\\lib\"",
     k::kNativeLibraryDirs, "bin;${WENDLE_EXEDIR}\\lib"},
    {"[[class_path]]\ntype = \"archive\"\npath = \"lib\\\\app.jar\"\nrequired = true\n"
     "[[class_path]]\ntype = \"directory\"\npath = \"classes\"\n"
     "[[class_path]]\ntype = \"environment\"\nvariable = \"EXTRA_CP\"\nrequired = false\n"
     "[[class_path]]\ntype = \"scan\"\npath = \"lib\"\nrequired = true",
     k::kClassPath, "A1lib\\app.jar;D0classes;E0EXTRA_CP;S1lib"},
    {"[single_instance]\nenabled = true", k::kSingleInstance, "1"},
    {"[single_instance]\nraise_first_instance = true", k::kRaiseFirstInstance, "1"},
    {"[single_instance]\nglobal = true", k::kGlobalSemaphore, "1"},
    {"[splash]\nenabled = true", k::kSplashEnabled, "1"},
    {"[splash]\ninitialize = true", k::kSplashCall, "1"},
    {"[splash]\nflag = 1", k::kSplashArg2, "1"},
    {"[splash]\ntext_1 = \"Loading\"", k::kSplashArg3, "Loading"},
    {"[splash]\nfirst_1 = 10", k::kSplashArg4, "10"},
    {"[splash]\nsecond_1 = -20", k::kSplashArg5, "-20"},
    {"[splash]\ntext_2 = \"b\"", k::kSplashArg6, "b"},
    {"[splash]\nfirst_2 = 2", k::kSplashArg7, "2"},
    {"[splash]\nsecond_2 = 3", k::kSplashArg8, "3"},
    {"[splash]\ntext_3 = \"c\"", k::kSplashArg9, "c"},
    {"[splash]\nfirst_3 = 4", k::kSplashArg10, "4"},
    {"[splash]\nsecond_3 = 5", k::kSplashArg11, "5"},
    {"[splash]\ntext_4 = \"d\"", k::kSplashArg12, "d"},
    {"[splash]\nfirst_4 = 6", k::kSplashArg13, "6"},
    {"[splash]\nsecond_4 = 2147483647", k::kSplashArg14, "2147483647"},
    {"[[vm.version_options]]\nversion = \"1.6\"\noptions = \"-Xa\"\n[[vm.version_options]]\nversion = \"\"\noptions = [\"-Xb\", \"-Xc\"]",
     k::kVersionOptionCount, "2"},
    {"[[vm.version_options]]\nversion = \"1.6\"\noptions = \"-Xa\"\n[[vm.version_options]]\nversion = \"1.7\"\noptions = \"-Xb\"",
     k::versionPrefixKey(1), "1.7"},
    {"[[vm.version_options]]\nversion = \"1.6\"\noptions = \"-Xa\"\n[[vm.version_options]]\noptions = [\"-Xb\", \"-Xc\"]",
     k::versionOptionKey(1), "-Xb -Xc"},
    {"[[vm.version_options]]\noptions = \"-Xa\"", k::versionPrefixKey(0), ""},
    {"[raw.settings]\n9999 = \"anything\"", 9999, "anything"},
    {"[raw.settings]\n-5 = \"negative\"", -5, "negative"},
};

class SettingPacking : public GenTest, public ::testing::WithParamInterface<SettingCase> {};

TEST_P(SettingPacking, LandsUnderItsKey) {
  const SettingCase& c = GetParam();
  InspectedPayload p = buildAndRead(c.toml);
  auto settings = settingsOf(p);
  ASSERT_TRUE(settings.count(c.key)) << "key " << c.key << " missing";
  EXPECT_EQ(settings[c.key], c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, SettingPacking, ::testing::ValuesIn(kSettingCases),
                         [](const ::testing::TestParamInfo<SettingCase>& info) {
                           int32_t key = info.param.key;
                           return "key" + std::string(key < 0 ? "_minus" : "") + std::to_string(key < 0 ? -key : key) +
                                  "_" + std::to_string(info.index);
                         });

class MessagePacking : public GenTest {};

TEST_F(MessagePacking, EveryShownMessageHasAnEnglishDefault) {
  InspectedPayload p = buildAndRead("");
  std::map<int32_t, std::u16string> messages(p.messages.begin(), p.messages.end());
  const int32_t shown[] = {1000, 1005, 1006, 1008, 1009, 1010, 1011, 1015, 1016, 1018, 1020, 20017};
  for (int32_t key : shown) {
    ASSERT_TRUE(messages.count(key)) << key;
    EXPECT_FALSE(messages[key].empty()) << key;
  }
  EXPECT_EQ(messages.size(), std::size(shown));
  // The messages that take an argument carry its place.
  for (int32_t key : {1006, 1008, 1009, 1016, 1018, 1020}) {
    EXPECT_NE(messages[key].find(u"{0}"), std::u16string::npos) << key;
  }
}

TEST_F(MessagePacking, OverridesAndLocaleSectionsInGivenOrder) {
  InspectedPayload p = buildAndRead(
      "[service]\ndescription = \"Serves \xE2\x82\xAC and \xF0\x9F\x98\x80\"\n"
      "[messages]\nno_jvm = \"Java {0} fehlt\"\n"
      "[[locale]]\nprefix = \"de_CH\"\nerror_caption = \"Fehler (CH)\"\n"
      "[[locale]]\nprefix = \"de\"\nservice_description = \"Dienst\"\nerror_caption = \"Fehler\"\n"
      "[locale.raw]\n4242 = \"extra\"\n"
      "[[locale]]\nprefix = \"\"\nno_temp_dir = \"tmp?\"\n");
  std::map<int32_t, std::u16string> messages(p.messages.begin(), p.messages.end());
  EXPECT_EQ(messages[k::kMsgNoJvm], u"Java {0} fehlt");
  EXPECT_EQ(messages[k::kMsgServiceDescription], u"Serves \u20AC and \U0001F600");
  ASSERT_EQ(p.sections.size(), 3u);
  EXPECT_EQ(p.sections[0].prefix, "de_CH");
  EXPECT_EQ(p.sections[1].prefix, "de");
  EXPECT_EQ(p.sections[2].prefix, "");
  using Entries = std::vector<std::pair<int32_t, std::u16string>>;
  EXPECT_EQ(p.sections[0].entries, (Entries{{k::kMsgErrorCaption, u"Fehler (CH)"}}));
  EXPECT_EQ(p.sections[1].entries,
            (Entries{{k::kMsgErrorCaption, u"Fehler"}, {k::kMsgServiceDescription, u"Dienst"}, {4242, u"extra"}}));
  EXPECT_EQ(p.sections[2].entries, (Entries{{k::kMsgNoTempDir, u"tmp?"}}));
}

class FilePacking : public GenTest {};

TEST_F(FilePacking, RecordsFollowTheNamesAndAreMasked) {
  writeFile(dir_ / "app.jar", "PK-app");
  writeFile(dir_ / "native" / "a.dll", std::string("\0\x9B\xFF", 3));
  writeFile(dir_ / "empty.txt", "");
  writeFile(dir_ / "rest.bin", "REMAINDER");
  InspectedPayload p = buildAndRead(
      "[files]\nremainder = \"rest.bin\"\n"
      "[[files.embed]]\nsource = \"app.jar\"\n"
      "[[files.embed]]\nsource = \"native/a.dll\"\nname = \"lib/a.dll\"\n"
      "[[files.embed]]\nsource = \"empty.txt\"\n");
  auto settings = settingsOf(p);
  EXPECT_EQ(settings[k::kEmbeddedFileCount], "3");
  EXPECT_EQ(settings[k::kEmbeddedFileNames], "app.jar;lib\\a.dll;empty.txt");
  ASSERT_EQ(p.files.size(), 3u);
  EXPECT_EQ(p.files[0].size, 6);
  EXPECT_EQ(p.files[1].size, 3);
  EXPECT_EQ(p.files[2].size, 0);
  EXPECT_EQ(p.remainderSize, 9u);
  std::string image = readFile(dir_ / "out.exe");
  std::string stored = image.substr(p.files[1].contentOffset, 3);
  EXPECT_EQ(stored, std::string("\x9B\x00\x64", 3));  // every byte XOR the mask
  EXPECT_EQ(image.substr(p.remainderOffset), "REMAINDER");
}

TEST_F(FilePacking, StubIsCutAtTheEndOfItsLastSection) {
  writeFile(stub_, minimalPe(0x200, 0x400, 0xF0, "old payload bytes"));
  InspectedPayload p = buildAndRead("[service]\nname = \"x\"\n");
  EXPECT_EQ(p.payloadOffset, 0x600u);
  std::string image = readFile(dir_ / "out.exe");
  EXPECT_EQ(image.substr(0, 0x600), minimalPe(0x200, 0x400, 0xF0));
}

}  // namespace
}  // namespace wendle::gen::test
