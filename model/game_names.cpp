// The games' names on the command line and in reports.
#include "model/game_names.h"

#include <cctype>  // Required for: isspace(), tolower()

#include "model/xmodel.h"

std::optional<int> ParseGameName(const std::string& text) {
  std::string t;
  for (char c : text)
    if (!std::isspace(static_cast<unsigned char>(c))) t += char(std::tolower(static_cast<unsigned char>(c)));
  if (t == "cod4" || t == "2") return Cod4;
  if (t == "cod5" || t == "waw" || t == "0") return Cod5;
  if (t == "bo" || t == "codblackops" || t == "blackops" || t == "1") return BO;
  return std::nullopt;
}

const char* GameShortName(int game) {
  switch (game) {
    case Cod4: return "cod4";
    case Cod5: return "cod5";
    case BO: return "bo";
    default: return "?";
  }
}

const char* GameLongName(int game) {
  switch (game) {
    case Cod4: return "COD 4";
    case Cod5: return "COD 5";
    case BO: return "COD Black Ops";
    default: return "unknown";
  }
}
