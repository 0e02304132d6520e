// The example programs: each checks clean, and together they show every instruction
// the language has.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "cli/program_input.h"
#include "compiler/opcodes.h"
#include "test_support.h"

namespace kivra::compiler::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return cli::ProgramLines(s.str());
}

TEST(Examples, CheckCleanAndCoverTheLanguage) {
  std::set<int> opcodes;
  int programs = 0;
  for (const auto& e : fs::directory_iterator(KIVRA_EXAMPLES_DIR)) {
    if (e.path().extension() != ".kv3") continue;
    ++programs;
    const auto r = Compile(Lines(e.path()), Language::English, FixedClock());
    ASSERT_TRUE(r.programValid) << e.path() << "\n" << r.messages;
    EXPECT_EQ(r.warningCount, 0) << e.path() << "\n" << r.messages;
    for (std::size_t a = 0; a + 1 < r.code.length; a += InstructionLength(r.code.bytes, a)) {
      const Instruction* in = FindInstruction(r.code.bytes[a]);
      ASSERT_TRUE(in && !in->statement.empty()) << e.path() << ": no instruction at " << a;
      opcodes.insert(r.code.bytes[a]);
    }
  }
  EXPECT_GE(programs, 5);
  // Every instruction that a statement emits.
  for (const auto& in : Instructions) {
    if (in.statement.empty()) continue;
    EXPECT_TRUE(opcodes.count(Code(in.code))) << "no example uses " << in.statement;
  }
}

}  // namespace
}  // namespace kivra::compiler::test
