// Whole programs with the exact output they must give beside them: NAME.kv3 is the
// program file (code page 1254), NAME.en and NAME.tr what `kivra check --listing` prints
// after its two banner lines. Set KIVRA_UPDATE_GOLDEN=1 to write the .en and .tr files
// from the current compiler, then review the difference before committing it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/program_input.h"
#include "test_support.h"

namespace kivra::compiler::test {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return std::move(s).str();
}

std::vector<fs::path> GoldenPrograms() {
  std::vector<fs::path> programs;
  for (const auto& e : fs::directory_iterator(KIVRA_GOLDEN_DIR)) {
    if (e.path().extension() == ".kv3") programs.push_back(e.path());
  }
  std::sort(programs.begin(), programs.end());
  return programs;
}

std::string AfterBanner(const std::string& text) {
  std::size_t at = 0;
  for (int i = 0; i < 3 && at != std::string::npos; ++i) at = text.find('\n', at) + 1;
  return text.substr(at);
}

class Golden : public testing::TestWithParam<fs::path> {};

TEST_P(Golden, MessagesAndListing) {
  const fs::path program = GetParam();
  const auto lines = cli::ProgramLines(ReadAll(program));
  const bool update = std::getenv("KIVRA_UPDATE_GOLDEN") != nullptr;
  for (const auto& [language, ext] :
       {std::pair{Language::English, ".en"}, std::pair{Language::Turkish, ".tr"}}) {
    const auto r = Compile(lines, language, FixedClock());
    std::ostringstream out;
    cli::PrintCheck(out, r, true);
    const std::string actual = AfterBanner(out.str());
    fs::path expected = program;
    expected.replace_extension(ext);
    if (update) {
      std::ofstream(expected, std::ios::binary) << actual;
      continue;
    }
    ASSERT_TRUE(fs::exists(expected)) << expected;
    EXPECT_EQ(ReadAll(expected), actual) << program.filename() << ext;
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, Golden, testing::ValuesIn(GoldenPrograms()),
                         [](const auto& info) {
                           std::string name = info.param.stem().string();
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

}  // namespace
}  // namespace kivra::compiler::test
