// roarmark-sim FILE: runs a scenario script against the program on the sim platform.
#include <fstream>
#include <iostream>
#include <sstream>
#include <string_view>

#include "scenario/runner.h"
#include "scenario/script.h"

namespace {

constexpr char kUsage[] =
    "Usage: roarmark-sim FILE | --help\n"
    "\n"
    "Runs the scenario script FILE against the whole program on the simulated platform (no\n"
    "screen, no sound server) and prints what its commands report.\n"
    "Exit status: 0 the script ran to its end, 1 a command failed, 2 the script or the\n"
    "command line is malformed.\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace roarmark::scenario;
  if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
    std::cout << kUsage;
    return kRanToEnd;
  }
  if (argc != 2) {
    std::cerr << kUsage;
    return kMalformed;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << "cannot read " << argv[1] << "\n";
    return kMalformed;
  }
  std::stringstream text;
  text << in.rdbuf();
  std::vector<TCommand> commands;
  try {
    commands = ParseScript(text.str());
  } catch (const TScriptError& e) {
    std::cerr << argv[1] << ": " << e.what() << "\n";
    return kMalformed;
  }
  TScenarioRunner runner(std::move(commands), std::cout, std::cerr);
  return runner.Run();
}
