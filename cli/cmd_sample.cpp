// vantor-cli sample: writes the bundled sample game tree (one root per game).
#include <iostream>

#include "cli/commands.h"
#include "tools/fixture/sample_tree.h"

int CmdSample(const CliArgs& args) {
  if (args.positional.size() != 1) {
    std::cerr << "usage: vantor-cli sample DIR\n";
    return 2;
  }
  std::vector<std::string> models = fixture::WriteSampleTree(args.positional[0]);
  if (models.empty()) {
    std::cerr << "error: could not write the sample tree to " << args.positional[0] << "\n";
    return 1;
  }
  for (const std::string& path : models) std::cout << path << "\n";
  return 0;
}
