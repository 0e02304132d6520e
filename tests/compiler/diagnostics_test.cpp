// The check's findings as data: the line each message concerns and the numbers its entry
// names, the rows of the rendered message list, the code of each line, and the keyword
// list the editor colours with.

#include <gtest/gtest.h>

#include "compiler/keywords.h"
#include "compiler/messages.h"
#include "test_support.h"

namespace kivra::compiler::test {
namespace {

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const auto lf = text.find('\n', start);
    lines.push_back(text.substr(start, lf - start));
    start = lf + 1;
  }
  return lines;
}

TEST(Diagnostics, LineConcernedAndLinesNamed) {
  struct Case {
    std::string_view program;
    Severity severity;
    std::uint32_t line;  // where the editor marks it
    std::uint32_t english;
    std::uint32_t turkish;
  };
  const Case cases[] = {
      {"CURON = 0;\nEND;\n", Severity::Error, 1, 1, 1},
      // The Turkish entry names the first END line, the English one the second.
      {"END;\nEND;\n", Severity::Error, 2, 2, 1},
      // English names the line after the program, Turkish its last line.
      {"INT 1,1;\nSTOP;\nEND;\n", Severity::Error, 3, 4, 3},
      {"IFINP 2 = 1 GO L;\nL: IFINP 2 = 0 GO L;\nEND;\n", Severity::Warning, 2, 2, 2},
      {"  \n", Severity::Warning, 0, 0, 0},
  };
  for (const auto& c : cases) {
    const auto r = CompileText(c.program);
    ASSERT_EQ(r.diagnostics.size(), 1u) << c.program << r.messages;
    const Diagnostic& d = r.diagnostics[0];
    EXPECT_EQ(d.severity, c.severity) << c.program;
    EXPECT_EQ(d.line, c.line) << c.program;
    EXPECT_EQ(d.listed.english, c.english) << c.program;
    EXPECT_EQ(d.listed.turkish, c.turkish) << c.program;
  }
}

TEST(Diagnostics, TheLanguageOnlyChangesTheText) {
  const std::string program =
      "SPEED = 0;\nVRB 30 = 1;\nIFINP 1 = 1 GO X;\nX: IFINP 1 = 1 GO X;\nEND;\n";
  const auto en = CompileText(program, Language::English);
  const auto tr = CompileText(program, Language::Turkish);
  ASSERT_EQ(en.diagnostics.size(), tr.diagnostics.size());
  for (std::size_t i = 0; i < en.diagnostics.size(); ++i) {
    EXPECT_EQ(en.diagnostics[i].line, tr.diagnostics[i].line);
    EXPECT_EQ(en.diagnostics[i].detail.english, tr.diagnostics[i].detail.english);
    EXPECT_EQ(en.diagnostics[i].form, tr.diagnostics[i].form);
  }
  // The run's text is the renderer's, in the run's language.
  EXPECT_EQ(RenderMessages(tr.diagnostics, tr.stamp, Language::Turkish).text, tr.messages);
  EXPECT_EQ(RenderMessages(tr.diagnostics, tr.stamp, Language::English).text, en.messages);
}

TEST(Diagnostics, ArgumentFillsTheMessageInBothLanguages) {
  const auto r = CompileText("IFINP 4 = 1 GO L;\nL: IFINP 4 = 0 GO L;\nEND;\n");
  ASSERT_EQ(r.diagnostics.size(), 1u);
  const Diagnostic& d = r.diagnostics[0];
  EXPECT_EQ(RenderEntry(d, Language::English),
            "* Warning: Line 2.\n  ---> Input-4 already used!\n");
  EXPECT_EQ(RenderEntry(d, Language::Turkish),
            "* Uyarı: 2 .satır:\n  ---> Input-4 önceden kullanıldı!\n");
  EXPECT_EQ(RenderDetail(d, Language::English), "Input-4 already used!");
}

// Every row of the rendered list maps to the number its header names, in the language it
// was rendered in; detail lines, banner and totals map to nothing.
TEST(RenderedRows, HeadersMapToTheirNumbers) {
  const auto r = CompileText("END;\nCURON = 0;\nEND;\n");
  for (const Language language : {Language::English, Language::Turkish}) {
    const RenderedMessages rendered = RenderMessages(r.diagnostics, r.stamp, language);
    const auto rows = Lines(rendered.text);
    ASSERT_EQ(rows.size(), rendered.rowLines.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const bool header = rows[i].starts_with("* Error") || rows[i].starts_with("* Hata");
      EXPECT_EQ(rendered.rowLines[i] != 0, header) << rows[i];
    }
  }
  // Second END named as line 3 in English and as line 1 in Turkish.
  const auto english = RenderMessages(r.diagnostics, r.stamp, Language::English).rowLines;
  const auto turkish = RenderMessages(r.diagnostics, r.stamp, Language::Turkish).rowLines;
  EXPECT_EQ(english[3], 3u);
  EXPECT_EQ(turkish[3], 1u);
}

TEST(RenderedRows, EmptyProgramHasNoLineToSelect) {
  const auto r = CompileText("");
  const RenderedMessages rendered = RenderMessages(r.diagnostics, r.stamp, Language::Turkish);
  ASSERT_EQ(Lines(rendered.text).size(), rendered.rowLines.size());
  for (const auto line : rendered.rowLines) EXPECT_EQ(line, 0u);
}

TEST(LineCode, EveryLineItsAddressAndLength) {
  // INT emits its jump and head without an address line of its own; RET with a label too.
  const auto r =
      CompileText("L: CURON = 5;\n; note\nINT 1,1;\nRET L;\nIFINP 2 = 1 GO L;\nEND;\nTAIL:\n");
  ASSERT_TRUE(r.programValid) << r.messages;
  const std::vector<std::pair<std::uint32_t, std::uint32_t>> expected = {
      {0, 3}, {3, 0}, {3, 5}, {8, 2}, {10, 6}, {16, 1}, {17, 0}};
  ASSERT_EQ(r.lineCode.size(), expected.size());
  std::uint32_t total = 0;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (expected[i].second != 0) {
      EXPECT_EQ(r.lineCode[i].address, expected[i].first) << i + 1;
    }
    EXPECT_EQ(r.lineCode[i].length, expected[i].second) << i + 1;
    total += r.lineCode[i].length;
  }
  EXPECT_EQ(total, r.code.length);
}

TEST(LineCode, NoneAfterAFailedRun) {
  EXPECT_TRUE(CompileText("CURON = 5;\nSPEED = 0;\nEND;\n").lineCode.empty());
  EXPECT_TRUE(CompileText("").lineCode.empty());
}

TEST(Keywords, EveryListedKeywordIsACommand) {
  ASSERT_EQ(KeywordNames().size(), 34u);
  for (const std::string_view keyword : KeywordNames()) {
    const auto r = CompileText(std::string(keyword) + ";\nEND;\n");
    EXPECT_EQ(r.messages.find("Unrecognized command!"), std::string::npos) << keyword;
  }
  EXPECT_NE(CompileText("SPEEDY;\nEND;\n").messages.find("Unrecognized command!"),
            std::string::npos);
}

}  // namespace
}  // namespace kivra::compiler::test
