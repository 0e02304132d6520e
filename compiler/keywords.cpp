// The language's keywords and their handlers.

#include "compiler/keywords.h"

#include <array>
#include <utility>

#include "compiler/handlers.h"

namespace kivra::compiler {
namespace {

// clang-format off
constexpr std::pair<std::string_view, Handler> kKeywords[] = {
    {"END", HandleEnd},
    {"CURON", HandleCuron},
    {"MICROS", HandleMicros},
    {"SPEED", HandleSpeed},
    {"ACCEL", HandleAccel},
    {"INITV", HandleInitv},
    {"DISP", HandleDisp},
    {"LOCATE", HandleLocate},
    {"DIR", HandleDir},
    {"CUROFF", HandleCuroff},
    {"JUMP", HandleJump},
    {"IFINP", HandleIfinp},
    {"IFVRB", HandleIfvrb},
    {"VRB", HandleVrb},
    {"VRBINC", HandleVrbinc},
    {"VRBDEC", HandleVrbdec},
    {"PRM", HandlePrm},
    {"DELAY", HandleDelay},
    {"WAIT", HandleWait},
    {"WAIS", HandleWais},
    {"MOVE", HandleMove},
    {"RUN", HandleRun},
    {"STOP", HandleStop},
    {"TABLE", HandleTable},
    {"REFPOS", HandleRefpos},
    {"MOVT", HandleMovt},
    {"INT", HandleInt},
    {"RET", HandleRet},
    {"ENBINT", HandleEnbint},
    {"DISINT", HandleDisint},
    {"LIM", HandleLim},
    {"SPAN", HandleSpan},
    {"OUT", HandleOut},
    {"FILTER", HandleFilter},
};
// clang-format on

// END and the 33 commands of the language.
static_assert(std::size(kKeywords) == 34);

constexpr auto kNames = [] {
  std::array<std::string_view, std::size(kKeywords)> names{};
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = kKeywords[i].first;
  return names;
}();

}  // namespace

std::span<const std::string_view> KeywordNames() {
  return kNames;
}

Handler FindHandler(std::string_view keyword) {
  if (keyword.empty()) return nullptr;
  for (const auto& [name, handler] : kKeywords) {
    if (name[0] == keyword[0] && name == keyword) return handler;
  }
  return nullptr;
}

}  // namespace kivra::compiler
