// Invalid configurations: a located error naming the setting, and no output file.
#include <gtest/gtest.h>

#include <cstdlib>

#include "GenTestSupport.h"

namespace wendle::gen::test {
namespace {

namespace fs = std::filesystem;

struct ErrorCase {
  const char* toml;
  int line;
  int column;
  const char* setting;
  const char* text;  // part of the message
};

std::ostream& operator<<(std::ostream& os, const ErrorCase& c) { return os << c.toml; }

const ErrorCase kErrorCases[] = {
    // unknown settings, at every level
    {"[service]\nname = \"a\"\nnmae = \"b\"", 3, 1, "service.nmae", "unknown setting"},
    {"[sevice]\nname = \"a\"", 1, 2, "sevice", "unknown setting"},
    {"[[class_path]]\ntype = \"archive\"\npath = \"a.jar\"\nreqired = true", 4, 1, "class_path[0].reqired",
     "unknown setting"},
    {"[messages]\nno_jmv = \"x\"", 2, 1, "messages.no_jmv", "unknown setting"},
    {"[messages]\nservice_description = \"x\"", 2, 1, "messages.service_description", "service.description"},
    {"[[locale]]\nprefix = \"de\"\nerorr_caption = \"x\"", 3, 1, "locale[0].erorr_caption", "unknown setting"},
    {"[[vm.version_options]]\nversion = \"1.8\"\noption = \"-Xa\"", 3, 1, "vm.version_options[0].option",
     "unknown setting"},
    // wrong types
    {"[service]\nname = 5", 2, 8, "service.name", "expected a string, found an integer"},
    {"[output]\nappend = \"yes\"", 2, 10, "output.append", "expected a boolean, found a string"},
    {"[splash]\nfirst_1 = 1.5", 2, 11, "splash.first_1", "expected an integer"},
    {"[splash]\nfirst_1 = 3000000000", 2, 11, "splash.first_1", "32-bit"},
    {"[service]\ndependencies = \"Tcpip\"", 2, 16, "service.dependencies", "expected an array of strings"},
    {"[java]\nlocation = \"Ajre\"", 2, 12, "java.location", "expected an array of tables"},
    {"[[class_path]]\ntype = \"jar\"\npath = \"a.jar\"", 2, 8, "class_path[0].type", "unknown type \"jar\""},
    {"[[class_path]]\ntype = \"archive\"\nvariable = \"X\"", 3, 12, "class_path[0].variable", "not used by type"},
    {"[[java.location]]\ntype = \"registry\"\npath = \"x\"", 3, 8, "java.location[0].path", "not used by type"},
    {"[launcher]\nkind = \"daemon\"", 2, 8, "launcher.kind", "unknown kind"},
    {"service = 1", 1, 11, "service", "expected a table"},
    // values the launcher would split or cut
    {"[[class_path]]\ntype = \"archive\"\npath = \"a.jar;b.jar\"", 3, 8, "class_path[0].path", "';'"},
    {"[service]\ndependencies = [\"a,b\"]", 2, 17, "service.dependencies[0]", "','"},
    {"[java]\npreferred_variant = \"" /* 200 characters: one too many */
     "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
     "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\"",
     2, 21, "java.preferred_variant", "at most 199"},
    {"[service]\nname = \"\xE2\x82\xAC\"", 2, 8, "service.name", "U+20AC"},
    {"[application]\narguments = [\"a'\\\"b\"]", 2, 14, "application.arguments[0]", "both kinds of quote"},
    // two settings for one key
    {"[service]\nname = \"a\"\n[raw.settings]\n101 = \"b\"", 2, 8, "service.name", "raw.settings.101 writes already"},
    {"[raw.settings]\n2002 = \"1\"", 2, 1, "raw.settings.2002", "files.embed"},
    {"[raw.settings]\nabc = \"1\"", 2, 1, "raw.settings.abc", "decimal number"},
    // syntax
    {"[service\nname = \"a\"", 1, 9, "", "expected ']'"},
};

class ConfigErrors : public GenTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(ConfigErrors, AreLocatedAndLeaveNoOutput) {
  const ErrorCase& c = GetParam();
  Diagnostic error;
  EXPECT_FALSE(build(c.toml, error));
  EXPECT_EQ(error.file, (dir_ / "wendle.toml").string());
  EXPECT_EQ(error.line, c.line) << error.format();
  EXPECT_EQ(error.column, c.column) << error.format();
  EXPECT_EQ(error.setting, c.setting) << error.format();
  EXPECT_NE(error.text.find(c.text), std::string::npos) << error.format();
  EXPECT_FALSE(fs::exists(dir_ / "out.exe"));
  EXPECT_FALSE(fs::exists(dir_ / "out.exe.tmp"));
}

std::string caseName(const std::string& setting, size_t index) {
  std::string name = std::to_string(index) + "_" + setting;
  for (char& c : name) {
    if (!isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, ConfigErrors, ::testing::ValuesIn(kErrorCases),
                         [](const ::testing::TestParamInfo<ErrorCase>& info) {
                           return caseName(info.param.setting[0] ? info.param.setting : "syntax", info.index);
                         });

// Names the launcher refuses to extract are refused before anything is built.
class RefusedNames : public GenTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(RefusedNames, AreErrorsAtTheName) {
  writeFile(dir_ / "a.txt", "a");
  Diagnostic error;
  std::string toml = std::string("[[files.embed]]\nsource = \"a.txt\"\nname = '") + GetParam() + "'\n";
  EXPECT_FALSE(build(toml, error));
  EXPECT_EQ(error.line, 3) << error.format();
  EXPECT_EQ(error.column, 8) << error.format();
  EXPECT_EQ(error.setting, "files.embed[0].name");
  EXPECT_NE(error.text.find("refuses"), std::string::npos) << error.format();
  EXPECT_FALSE(fs::exists(dir_ / "out.exe"));
}

INSTANTIATE_TEST_SUITE_P(Cases, RefusedNames,
                         ::testing::Values("", "\\abs.txt", "/abs.txt", "C:\\x.txt", "c:x.txt", "..\\x.txt",
                                           "lib/../x.txt", "a/b/c.txt", "a\\b\\c.txt", "lib\\", "a;b.txt",
                                           "lib//a.txt", "x?.txt"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return caseName("name", info.index); });

TEST(EmbeddedNames, OneDirectoryLevelIsAccepted) {
  EXPECT_EQ(embeddedNameProblem("a.jar"), "");
  EXPECT_EQ(embeddedNameProblem("lib\\a.dll"), "");
  EXPECT_EQ(embeddedNameProblem("lib/a.dll"), "");
  EXPECT_EQ(embeddedNameProblem("..a.jar"), "");  // ".." only as a whole component
}

class MissingFiles : public GenTest {};

TEST_F(MissingFiles, EmbeddedSourceIsLocated) {
  Diagnostic error;
  EXPECT_FALSE(build("[[files.embed]]\nsource = \"missing.jar\"\n", error));
  EXPECT_EQ(error.line, 2);
  EXPECT_EQ(error.column, 10);
  EXPECT_EQ(error.setting, "files.embed[0].source");
  EXPECT_NE(error.text.find("missing.jar"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "out.exe"));
}

TEST_F(MissingFiles, RemainderIsLocated) {
  Diagnostic error;
  EXPECT_FALSE(build("[files]\nremainder = \"gone.bin\"\n", error));
  EXPECT_EQ(error.line, 2);
  EXPECT_EQ(error.setting, "files.remainder");
  EXPECT_FALSE(fs::exists(dir_ / "out.exe"));
}

TEST_F(MissingFiles, BadStubLeavesNoOutput) {
  writeFile(stub_, "not a PE file");
  Diagnostic error;
  EXPECT_FALSE(build("[service]\nname = \"a\"\n", error));
  EXPECT_NE(error.text.find("not a PE"), std::string::npos) << error.format();
  EXPECT_FALSE(fs::exists(dir_ / "out.exe"));
  EXPECT_FALSE(fs::exists(dir_ / "out.exe.tmp"));
}

// The command line reports the error and exits non-zero.
TEST_F(MissingFiles, CommandLineExitsNonZero) {
  writeFile(dir_ / "wendle.toml", "[service]\nname = 1\n");
  std::string cmd = std::string("\"") + WENDLEGEN_EXE + "\" build \"" + (dir_ / "wendle.toml").string() +
                    "\" --stub \"" + stub_.string() + "\" -o \"" + (dir_ / "out.exe").string() + "\" 2> \"" +
                    (dir_ / "err.txt").string() + "\"";
  int rc = std::system(cmd.c_str());
  EXPECT_NE(rc, 0);
  EXPECT_NE(readFile(dir_ / "err.txt").find("wendle.toml:2:8: error: service.name: expected a string"),
            std::string::npos)
      << readFile(dir_ / "err.txt");
  EXPECT_FALSE(fs::exists(dir_ / "out.exe"));
}

}  // namespace
}  // namespace wendle::gen::test
