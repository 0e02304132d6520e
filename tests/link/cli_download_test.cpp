// kivra download of a program that fills the code memory, through the real port: about
// half a minute, so it runs apart from the quick tests.

#include "tests/link/cli_fixture.h"

namespace kivra::link {
namespace {

using testing::Cli;

// A program that fills the code memory, written through the real port: about half a minute.
TEST_F(Cli, DownloadFillsTheCodeMemory) {
  std::vector<std::string> lines;
  for (int i = 0; i < 681; ++i) lines.push_back("SPEED = " + std::to_string(100 + i) + ";");
  lines.push_back("MICROS = 16;");
  lines.push_back("MICROS = 8;");
  lines.push_back("END;");
  const auto compiled =
      compiler::Compile(lines, compiler::Language::English, [] { return compiler::Timestamp{}; });
  ASSERT_TRUE(compiled.programValid) << compiled.messages;
  ASSERT_EQ(compiled.code.length, compiler::CodeCapacity);
  const auto file = Write("FULL.KV3", lines);
  const auto r = Run("download --port " + sim_.PortPath() + " " + file.string());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Total error : 0"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("Program Download 100%"), std::string::npos) << r.err;
  const auto stored = sim_.Program();
  EXPECT_EQ(stored.code.length, compiler::CodeCapacity);
  EXPECT_EQ(stored.code.bytes, compiled.code.bytes);
  EXPECT_EQ(stored.vectors, compiled.vectorTable);
  EXPECT_EQ(stored.name, "FULL.KV3");
}

}  // namespace
}  // namespace kivra::link
