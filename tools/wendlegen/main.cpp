// wendlegen: builds launcher executables from a configuration and shows the
// payload of existing ones.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "Config.h"
#include "Inspect.h"
#include "SelfPath.h"

#ifndef WENDLEGEN_VERSION
#define WENDLEGEN_VERSION "0.0.0"
#endif

namespace {

namespace fs = std::filesystem;

std::string defaultStub() {
  std::string self = wendle::gen::selfExecutablePath();
  if (self.empty()) return "wendle.exe";
  return (fs::path(self).parent_path() / "wendle.exe").string();
}

std::string defaultOutput(const std::string& config) {
  fs::path p(config);
  return (p.parent_path() / (p.stem().string() + ".exe")).string();
}

int runBuild(const std::string& config, std::string out, std::string stub) {
  if (stub.empty()) stub = defaultStub();
  if (out.empty()) out = defaultOutput(config);
  wendle::gen::Diagnostic error;
  if (!wendle::gen::buildExecutable(config, stub, out, error)) {
    std::cerr << "wendlegen: " << error.format() << "\n";
    return 1;
  }
  std::cout << "wrote " << out << "\n";
  return 0;
}

int runInspect(const std::string& exe, bool json, bool toml, const std::string& extractDir) {
  wendle::gen::InspectedPayload payload;
  std::string error;
  if (!wendle::gen::inspectExecutable(exe, payload, error)) {
    std::cerr << "wendlegen: " << error << "\n";
    return 1;
  }
  if (!extractDir.empty()) {
    if (!wendle::gen::extractPayload(exe, payload, extractDir, error)) {
      std::cerr << "wendlegen: " << error << "\n";
      return 1;
    }
    std::cerr << "extracted to " << extractDir << "\n";
  }
  if (json) {
    std::cout << wendle::gen::formatJson(payload);
  } else if (toml) {
    std::cout << wendle::gen::formatConfiguration(payload);
  } else if (extractDir.empty()) {
    std::cout << wendle::gen::formatListing(payload);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"wendlegen: builds wendle launcher executables from a TOML configuration", "wendlegen"};
  app.set_version_flag("--version", std::string("wendlegen ") + WENDLEGEN_VERSION);
  app.require_subcommand(1);

  std::string config, out, stub;
  CLI::App* build = app.add_subcommand("build", "Build a launcher executable from a configuration");
  build->add_option("CONFIG", config, "Configuration file (TOML)")->required();
  build->add_option("-o,--output", out, "Output executable (default: CONFIG's name with .exe, beside it)");
  build->add_option("--stub", stub, "Launcher stub (default: wendle.exe beside wendlegen)");

  std::string exe, extractDir;
  bool json = false, toml = false;
  CLI::App* inspect = app.add_subcommand("inspect", "Show the payload of a launcher executable");
  inspect->add_option("EXE", exe, "Launcher executable")->required();
  CLI::Option* jsonFlag = inspect->add_flag("--json", json, "Print the payload and its configuration as JSON");
  inspect->add_flag("--toml", toml, "Print a configuration that builds the same payload")->excludes(jsonFlag);
  inspect->add_option("--extract", extractDir,
                      "Write the embedded files, the remainder and wendle.toml into this directory");
  CLI11_PARSE(app, argc, argv);

  if (*build) return runBuild(config, out, stub);
  return runInspect(exe, json, toml, extractDir);
}
