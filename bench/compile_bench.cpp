// Compiling a program that fills the code memory, as the editor will on every keystroke.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/full_program.h"
#include "compiler/compile.h"

namespace {

using namespace kivra::compiler;

const Clock kClock = [] { return Timestamp{"01.01.2025", "12:00:00"}; };

void BM_CompileFullMemory(benchmark::State& state) {
  const auto lines = kivra::bench::FullProgram();
  for (auto _ : state) {
    auto r = Compile(lines, Language::English, kClock);
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
