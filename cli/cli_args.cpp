// Command-line parsing.
#include "cli/cli_args.h"

#include <algorithm>
#include <cctype>


std::optional<std::string> CliArgs::Get(const std::string& option) const {
  auto it = options.find(option);
  if (it == options.end()) return std::nullopt;
  return it->second;
}

std::optional<CliArgs> ParseCliArgs(int argc, char** argv, const std::vector<std::string>& valued,
                                    const std::vector<std::string>& flags, std::string& error) {
  CliArgs args;
  if (argc >= 2) args.command = argv[1];
  for (int i = 2; i < argc; ++i) {
    std::string word = argv[i];
    if (word.size() > 2 && word.compare(0, 2, "--") == 0) {
      std::string value;
      bool has_inline = false;
      if (size_t eq = word.find('='); eq != std::string::npos) {
        value = word.substr(eq + 1);
        word = word.substr(0, eq);
        has_inline = true;
      }
      if (std::find(valued.begin(), valued.end(), word) != valued.end()) {
        if (!has_inline) {
          if (i + 1 >= argc) {
            error = "option " + word + " needs a value";
            return std::nullopt;
          }
          value = argv[++i];
        }
        args.options[word] = value;
      } else if (std::find(flags.begin(), flags.end(), word) != flags.end() && !has_inline) {
        args.options[word] = "";
      } else {
        error = "unknown option " + word;
        return std::nullopt;
      }
    } else if (word.size() >= 2 && word[0] == '-' && word[1] != '-' &&
               std::find(valued.begin(), valued.end(), word.substr(0, 2)) != valued.end()) {
      // A short option with its value attached ("-j4") or following ("-j 4").
      std::string value = word.substr(2);
      if (value.empty()) {
        if (i + 1 >= argc) {
          error = "option " + word + " needs a value";
          return std::nullopt;
        }
        value = argv[++i];
      }
      args.options[word.substr(0, 2)] = value;
    } else {
      args.positional.push_back(word);
    }
  }
  return args;
}
