#pragma once

// A program that fills the code memory exactly (2047 code bytes and the end marker):
// several hundred lines of labelled blocks that use the whole language.

#include <string>
#include <vector>

#include "compiler/compile.h"

namespace kivra::bench {

inline std::uint32_t CodeLength(std::vector<std::string> lines) {
  lines.push_back("END;");
  return compiler::Compile(lines, compiler::Language::English, {}).code.length - 1;
}

inline std::vector<std::string> FullProgram() {
  std::vector<std::string> lines = {
      "       ;###########  KIVRA3  Program File    ########",
      "       ;Program: benchmark, fills the code memory",
      "       ;#############################################",
      "       CURON = 800;           ; phase current",
      "       MICROS = 16;",
      "       ACCEL = V7;",
      "       INITV = 50;",
      "       CUROFF = 40;",
      "       REFPOS;",
      "STOPPED: INT 1,1;             ; end switch",
      "       STOP;",
      "       OUT 2 = 1;",
      "       RET;",
      "       INT 2,0;",
      "       RET STOPPED;",
      "       ENBINT 1;",
      "       DISINT 2;",
      "       IFINP 3 = 1 GO STOPPED;",
  };
  const std::size_t blockLines = 18;
  for (int block = 0;; ++block) {
    const std::string n = std::to_string(block);
    const std::vector<std::string> b = {
        "LOOP" + n + ":  SPEED = " + std::to_string(100 + block) + ";   ; pass " + n,
        "        DIR = " + std::to_string(block % 2) + ";",
        "        DISP = " + std::to_string(1000 * block) + ";",
        "        LOCATE V" + std::to_string(1 + block % 25) + ";",
        "        VRB 1 = V2 + " + std::to_string(block) + ";",
        "        VRB 3 = A1;",
        "        TABLE " + std::to_string(1 + block % 32) + " = " + std::to_string(400 * block) +
            ";",
        "        MOVT V3;",
        "        MOVE;",
        "        WAIS;",
        "        DELAY = " + std::to_string(100 + block) + ";",
        "        IFVRB 3 < " + std::to_string(block) + " GO LOOP" + n + ";",
        "        IFVRB 4 > V5 GO DONE" + n + ";",
        "DONE" + n + ":  LIM 5 = 1000;",
        "        OUT 1 = " + std::to_string(block % 2) + ";",
        "        VRBINC 2," + std::to_string(block) + ";",
        "        JUMP NEXT" + n + ";",
        "NEXT" + n + ":",
    };
    static_assert(blockLines == 18);
    auto longer = lines;
    longer.insert(longer.end(), b.begin(), b.end());
    if (CodeLength(longer) > 2047 - 8) break;
    lines = std::move(longer);
  }
  // WAIT is one byte: pad to exactly 2047.
  for (auto length = CodeLength(lines); length < 2047; ++length) lines.push_back("        WAIT;");
  lines.push_back("        END;");
  return lines;
}

}  // namespace kivra::bench
