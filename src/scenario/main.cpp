// roarmark-sim FILE: runs a scenario script against the program on the sim platform.
#include <fstream>
#include <iostream>
#include <sstream>

#include "scenario/runner.h"
#include "scenario/script.h"

int main(int argc, char** argv) {
  using namespace roarmark::scenario;
  if (argc != 2) {
    std::cerr << "usage: roarmark-sim FILE\n";
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
