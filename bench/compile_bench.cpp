// Compiling a program that fills the code memory, as the editor will on every keystroke.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "compiler/compile.h"

namespace {

using namespace kivra::compiler;

// Several hundred lines of labelled loops and conditional jumps, 2047 code bytes in all,
// so that the end marker makes the image exactly full.
std::vector<std::string> FullProgram() {
  std::vector<std::string> lines = {"       ;###########  KIVRA3  Program File    ########",
                                    "       ;Program: benchmark, fills the code memory",
                                    "       ;#############################################"};
  std::uint32_t length = 0;
  int block = 0;
  // One block: 3 + 3 + 2 + 5 + 6 (IFINP) or 7 (IFVRB) + 8 + 3 = 30 or 31 bytes.
  for (;;) {
    const std::uint32_t blockLength = block < 6 ? 30 : 31;
    if (length + blockLength > 2047 - 17) break;
    const std::string n = std::to_string(block);
    lines.push_back("LOOP" + n + ":  SPEED = " + std::to_string(100 + block) + ";   ; speed of pass " + n);
    lines.push_back("        CURON = 800;");
    lines.push_back("        DIR = " + std::to_string(block % 2) + ";");
    lines.push_back("        DISP = " + std::to_string(1000 * block) + ";");
    // Each input is tested once; a program full of repeated input tests would also
    // measure its warnings.
    lines.push_back(block < 6 ? "        IFINP " + std::to_string(1 + block) + " = 1 GO DONE" + n + ";"
                              : "        IFVRB 4 > V" + std::to_string(1 + block % 25) + " GO DONE" + n + ";");
    lines.push_back("        IFVRB 3 < " + std::to_string(block) + " GO LOOP" + n + ";");
    lines.push_back("DONE" + n + ":  JUMP NEXT" + n + ";");
    lines.push_back("NEXT" + n + ":");
    length += blockLength;
    ++block;
  }
  // Pad to 2047 bytes with three-byte and two-byte commands.
  while (length + 3 <= 2047 && (2047 - length) % 2 != 0) {
    lines.push_back("        SPEED = 1200;");
    length += 3;
  }
  while (length < 2047) {
    lines.push_back("        MICROS = 16;");
    length += 2;
  }
  lines.push_back("        END;");
  return lines;
}

void BM_CompileFullMemory(benchmark::State& state) {
  const auto lines = FullProgram();
  const Clock clock = [] { return Timestamp{"01.01.2025", "12:00:00"}; };
  for (auto _ : state) {
    auto r = Compile(lines, Language::English, clock);
    if (!r.programValid || r.code.length != CodeCapacity) {
      state.SkipWithError("benchmark program did not compile to a full image");
      break;
    }
    benchmark::DoNotOptimize(r);
  }
  state.counters["lines"] = static_cast<double>(lines.size());
}
BENCHMARK(BM_CompileFullMemory);

}  // namespace
