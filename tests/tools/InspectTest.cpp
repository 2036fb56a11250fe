// inspect: the listing names every setting, and what it reads back builds the same executable.
#include <gtest/gtest.h>

#include <cstdlib>

#include "GenTestSupport.h"

namespace wendle::gen::test {
namespace {

namespace fs = std::filesystem;

const char* const kFullConfig = R"toml(
[launcher]
kind = "auto-start-service"
flavour = "wendle"

[application]
main_class = "com.example.Hello"
arguments = ["--greeting", "hello world"]
working_directory = "${WENDLE_EXEDIR}"
installation_directory = ".."
id = "hello-1"

[output]
redirect_stdout = true
stdout_file = "logs\\out.log"
redirect_stderr = true
stderr_file = "logs\\err.log"
append = true

[service]
name = "HelloService"
dependencies = ["Tcpip"]
description = "Says hello"

[java]
min_version = "1.8"
max_version = "21"
allow_prerelease = false
require_jdk = false
preferred_variant = "server"
restrict_registry = true

[[java.location]]
type = "bundled"
path = "jre"

[[java.location]]
type = "environment"
variable = "JAVA_HOME"

[vm]
options = "-Xmx64m"
java_option_arguments = true

[[vm.version_options]]
version = "1.8"
options = "-XX:+UseG1GC"

[[vm.native_library_directory]]
path = "bin"

[[class_path]]
type = "scan"
path = "lib"
required = true

[single_instance]
enabled = true
raise_first_instance = true
global = false

[splash]
enabled = true
initialize = true
flag = 1
text_1 = "Loading"
first_1 = 10
second_1 = 20

[messages]
no_jvm = "No Java ({0} bit)"

[[locale]]
prefix = "de"
no_jvm = "Kein Java ({0} Bit)"
service_description = "Sagt hallo"

[files]
remainder = "data/rest.bin"

[[files.embed]]
source = "data/hello.jar"

[[files.embed]]
source = "data/a.dll"
name = "lib/a.dll"

[raw.settings]
9001 = "custom"

[raw.messages]
9002 = "custom message"
)toml";

class Inspect : public GenTest {
 protected:
  void SetUp() override {
    GenTest::SetUp();
    writeFile(dir_ / "data" / "hello.jar", "PK\x03\x04 hello");
    writeFile(dir_ / "data" / "a.dll", std::string(3000, '\x9B'));
    writeFile(dir_ / "data" / "rest.bin", "trailing data");
  }

  InspectedPayload inspect(const std::string& name) {
    InspectedPayload p;
    std::string error;
    EXPECT_TRUE(inspectExecutable((dir_ / name).string(), p, error)) << error;
    return p;
  }
};

TEST_F(Inspect, ListingNamesEverySettingWithItsNumber) {
  buildAndRead(kFullConfig);
  std::string listing = formatListing(inspect("out.exe"));
  const char* const expected[] = {
      "     101  service.name                       \"HelloService\"",
      "     107  launcher.kind                      \"4\"",
      "     128  java.location                      \"Bjre;EJAVA_HOME\"",
      "    2003  files.embed (names)                \"hello.jar;lib\\a.dll\"",
      "   10202  vm.version_options[0].options      \"-XX:+UseG1GC\"",
      "    9001  raw.settings                       \"custom\"",
      "    1016  messages.no_jvm                    \"No Java ({0} bit)\"",
      "   20017  service.description                \"Says hello\"",
      "  prefix \"de\", 2 entries",
      "      1016  messages.no_jvm                  \"Kein Java ({0} Bit)\"",
      "  hello.jar                                  10 bytes",
      "  lib\\a.dll                                  3000 bytes",
      "remainder: 13 bytes",
  };
  for (const char* line : expected) EXPECT_NE(listing.find(line), std::string::npos) << line << "\n" << listing;
}

TEST_F(Inspect, ExtractedConfigurationRebuildsTheSameExecutable) {
  buildAndRead(kFullConfig, "first.exe");
  InspectedPayload first = inspect("first.exe");
  std::string error;
  ASSERT_TRUE(extractPayload((dir_ / "first.exe").string(), first, (dir_ / "x").string(), error)) << error;
  EXPECT_EQ(readFile(dir_ / "x" / "files" / "lib" / "a.dll"), readFile(dir_ / "data" / "a.dll"));
  EXPECT_EQ(readFile(dir_ / "x" / "remainder.bin"), "trailing data");

  Diagnostic diag;
  ASSERT_TRUE(buildExecutable((dir_ / "x" / "wendle.toml").string(), stub_.string(), (dir_ / "second.exe").string(),
                              diag))
      << diag.format() << "\n" << readFile(dir_ / "x" / "wendle.toml");
  EXPECT_EQ(readFile(dir_ / "first.exe"), readFile(dir_ / "second.exe"));
}

TEST_F(Inspect, JsonRoundTripIsStable) {
  buildAndRead(kFullConfig, "first.exe");
  InspectedPayload first = inspect("first.exe");
  std::string error;
  ASSERT_TRUE(extractPayload((dir_ / "first.exe").string(), first, (dir_ / "x").string(), error)) << error;
  Diagnostic diag;
  ASSERT_TRUE(buildExecutable((dir_ / "x" / "wendle.toml").string(), stub_.string(), (dir_ / "second.exe").string(),
                              diag))
      << diag.format();
  std::string json = formatJson(first);
  EXPECT_EQ(json, formatJson(inspect("second.exe")));
  EXPECT_NE(json.find("\"name\" : \"service.name\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"main_class\" : \"com.example.Hello\""), std::string::npos) << json;
}

TEST_F(Inspect, ValuesWithoutReadableFormStayRaw) {
  // 102 is a flag; "yes" has no boolean form, so it comes back as a raw setting.
  buildAndRead("[raw.settings]\n102 = \"yes\"\n128 = \"Xfoo\"\n10200 = \"3\"\n", "first.exe");
  std::string config = formatConfiguration(inspect("first.exe"));
  EXPECT_NE(config.find("102 = 'yes'"), std::string::npos) << config;
  EXPECT_NE(config.find("128 = 'Xfoo'"), std::string::npos) << config;
  EXPECT_NE(config.find("10200 = '3'"), std::string::npos) << config;
  writeFile(dir_ / "again.toml", config);
  Diagnostic diag;
  ASSERT_TRUE(buildExecutable((dir_ / "again.toml").string(), stub_.string(), (dir_ / "second.exe").string(), diag))
      << diag.format();
  EXPECT_EQ(readFile(dir_ / "first.exe"), readFile(dir_ / "second.exe"));
}

TEST_F(Inspect, TwoBuildsAreByteIdenticalWhateverTheOrderInTheFile) {
  buildAndRead(kFullConfig, "a.exe");
  buildAndRead(kFullConfig, "b.exe");
  EXPECT_EQ(readFile(dir_ / "a.exe"), readFile(dir_ / "b.exe"));
  buildAndRead("[service]\nname = \"s\"\n[application]\nmain_class = \"M\"\n", "c.exe");
  buildAndRead("[application]\nmain_class = \"M\"\n[service]\nname = \"s\"\n", "d.exe");
  EXPECT_EQ(readFile(dir_ / "c.exe"), readFile(dir_ / "d.exe"));
}

TEST_F(Inspect, RefusesFilesWithoutPayload) {
  InspectedPayload p;
  std::string error;
  EXPECT_FALSE(inspectExecutable(stub_.string(), p, error));
  EXPECT_NE(error.find("no payload"), std::string::npos) << error;
  writeFile(dir_ / "bad.exe", minimalPe() + std::string(64, 'x'));
  EXPECT_FALSE(inspectExecutable((dir_ / "bad.exe").string(), p, error));
  EXPECT_NE(error.find("wrong magic"), std::string::npos) << error;
  // A record whose size runs past the end of the file.
  buildAndRead("[[files.embed]]\nsource = \"data/a.dll\"\n");
  std::string image = readFile(dir_ / "out.exe");
  writeFile(dir_ / "cut.exe", image.substr(0, image.size() - 100));
  EXPECT_FALSE(inspectExecutable((dir_ / "cut.exe").string(), p, error));
  EXPECT_NE(error.find("runs past the end"), std::string::npos) << error;
}

TEST_F(Inspect, CommandLinePrintsJson) {
  buildAndRead(kFullConfig);
  std::string cmd = std::string("\"") + WENDLEGEN_EXE + "\" inspect --json \"" + (dir_ / "out.exe").string() +
                    "\" > \"" + (dir_ / "out.json").string() + "\"";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  EXPECT_EQ(readFile(dir_ / "out.json"), formatJson(inspect("out.exe")));
}

}  // namespace
}  // namespace wendle::gen::test
