// The language's keywords and their handlers.

#include <array>
#include <utility>

#include "compiler/handlers.h"

namespace kivra::compiler {
namespace {

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
};

}  // namespace

Handler FindHandler(std::string_view keyword) {
  for (const auto& [name, handler] : kKeywords) {
    if (name == keyword) return handler;
  }
  return nullptr;
}

}  // namespace kivra::compiler
