#include <array>

#include "link/view.h"

namespace kivra::link::ctl {

std::string_view Shape(int n) {
  static constexpr std::array<std::string_view, 27> names = {
      "",        "Shape1",  "Shape2",  "Shape3",  "Shape4",  "Shape5",  "Shape6",
      "Shape7",  "Shape8",  "Shape9",  "Shape10", "Shape11", "Shape12", "Shape13",
      "Shape14", "Shape15", "Shape16", "Shape17", "Shape18", "Shape19", "Shape20",
      "Shape21", "Shape22", "Shape23", "Shape24", "Shape25", "Shape26"};
  return n >= 1 && n <= 26 ? names[n] : std::string_view{};
}

std::string_view ParameterBox(int prm) {
  static constexpr std::array<std::string_view, 17> boxes = {
      "Edit11", "Edit12", "Edit13", "Edit14", "Edit15", "Edit16", "Edit17", "Edit18", "Edit19",
      "Edit20", "Edit21", "Edit22", "Edit1",  "Edit2",  "Edit30", "Edit33", "Edit34"};
  return prm >= 9 && prm <= 25 ? boxes[prm - 9] : std::string_view{};
}

}  // namespace kivra::link::ctl
