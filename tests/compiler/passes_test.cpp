// The compile driver: banner and totals, the END; rules of the first pass, labels and
// their resolution, the code memory limit and what a run hands back.

#include <gtest/gtest.h>

#include "compiler/messages.h"
#include "test_support.h"

namespace kivra::compiler::test {
namespace {

std::string Repeat(std::string_view line, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += line;
  return s;
}

TEST(Run, BannerAndTotalsInBothLanguages) {
  const auto en = CompileText("END;\n", Language::English);
  EXPECT_EQ(en.messages,
            "**** NUVEX ELEKTRONIK LTD. Kivra-PS  Compiler:Ver 1.11   01/2012 **** \n"
            "**** 24.06.2024   09:41:07 **** \n\n"
            "\n------------------------------------------\n"
            "Total error : 0,  Total warning : 0\n");
  EXPECT_EQ(TotalsLine(en.errorCount, en.warningCount, Language::English),
            "Total error : 0,  Total warning : 0");

  const auto tr = CompileText("CURON = 0;\nEND;\n", Language::Turkish);
  EXPECT_EQ(tr.messages,
            "**** NUVEX ELEKTRONIK LTD. Kivra-PS  Derleyici:Ver 1.11   01/2012 **** \n"
            "**** 24.06.2024   09:41:07 **** \n\n"
            "* Hata : 1.satır:\n  ---> Akım aralığı:1-1000\n"
            "\n------------------------------------------\n"
            "Toplam Hata : 1,   Toplam Uyarı : 0\n");
  EXPECT_EQ(TotalsLine(tr.errorCount, tr.warningCount, Language::Turkish),
            "Toplam Hata : 1,   Toplam Uyarı : 0");
}

TEST(Run, EndAloneIsTheSmallestProgram) {
  const auto r = CompileText("END;");
  EXPECT_TRUE(r.programValid);
  EXPECT_EQ(r.code.length, 1u);
  EXPECT_EQ(r.code.bytes[0], 0xFF);
  EXPECT_TRUE(r.countersSet);
  EXPECT_EQ(r.codeUsed, 1u);
  EXPECT_EQ(r.codeRemaining, 2047u);
  EXPECT_EQ(r.addressLines[0], 1u);  // the END line owns the end marker
}

TEST(Run, EmptyProgramLeavesTheCountersAlone) {
  for (const char* text : {"", "   \n\n\t \n", "\r\n\r\n"}) {
    const auto r = CompileText(text);
    EXPECT_FALSE(r.programValid);
    EXPECT_FALSE(r.countersSet);
    EXPECT_EQ(r.warningCount, 1);
    EXPECT_EQ(r.errorCount, 0);
    EXPECT_EQ(Entries(r), "* Warning : No valid command!\n");
  }
}

TEST(Run, FailedRunHandsBackNothingUsable) {
  const auto r = CompileText("CURON = 5;\nSPEED = 0;\nEND;\n");
  EXPECT_FALSE(r.programValid);
  EXPECT_TRUE(r.countersSet);
  EXPECT_EQ(r.codeUsed, 0u);
  EXPECT_EQ(r.codeRemaining, 2048u);
  EXPECT_TRUE(r.listingText.empty());
}

TEST(Run, EveryRunStartsAfresh) {
  // Pure function: a failed run between two good ones changes nothing.
  const auto first = CompileText("L: CURON = 5;\nJUMP L;\nEND;\n");
  CompileText("L: CURON = 5;\nL: JUMP X;\nEND;\n");
  const auto again = CompileText("L: CURON = 5;\nJUMP L;\nEND;\n");
  EXPECT_EQ(first.messages, again.messages);
  EXPECT_EQ(first.code.bytes, again.code.bytes);
  EXPECT_EQ(first.listingText, again.listingText);
}

TEST(CheckPass, EndRules) {
  struct Case {
    std::string_view text;
    std::string_view entries;
  };
  const Case cases[] = {
      {"END",
       "* Error : Line 1.\n  ---> (;) expected!\n* Error : Line 1.\n  ---> No valid (END;) "
       "command!\n"},
      {"LOOP: END;", "* Error : Line 1.\n  ---> No valid (END;) command!\n"},
      {"END;\nCURON = 5;", "* Error : Line 2.\n  ---> No valid (END;) command!\n"},
      {"END;\n; comment\nTAIL:\n\n", ""},
      {"END;\nTAIL: CURON = 5", ""},  // a label line without `;` is a label-only line
      {" end ; done", ""},
      {"CURON = 5;", "* Error : Line 1.\n  ---> No valid (END;) command!\n"},
      {"END;\nEND;", "* Error : Line 2.\n  ---> too many (END;) command!\n"},
      {"\tEND\t;\t", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Entries(CompileText(c.text)), c.entries) << c.text;
}

TEST(CheckPass, TurkishNamesTheFirstEndLine) {
  const auto r = CompileText("END;\nCURON = 5;\nEND;\n", Language::Turkish);
  EXPECT_EQ(Entries(r),
            "* Hata : 1.satır:\n  ---> Birden fazla (END;) bulundu!\n"
            "* Hata : 3.satır:\n  ---> Geçerli program sonu (END;) bulunamadı!\n");
}

TEST(CheckPass, ErrorsStopTheRunBeforeCode) {
  // Without the first pass's error, line 2 would be reported too.
  const auto r = CompileText("CURON = 5\nSPEED = 0;\nEND;");
  EXPECT_EQ(r.errorCount, 1);
}

TEST(Labels, ForwardReferenceIsResolved) {
  const auto r = CompileText("JUMP AHEAD;\nCURON = 5;\nAHEAD:\nEND;\n");
  ASSERT_TRUE(r.programValid) << r.messages;
  EXPECT_EQ(Hex(r.code), "09 00 06 02 00 05 FF");
}

TEST(Labels, LabelOnlyLineNamesTheNextCommand) {
  const auto r = CompileText("CURON = 5;\nNEXT:\n\n; nothing\nSPEED = 10;\nJUMP next;\nEND;\n");
  ASSERT_TRUE(r.programValid) << r.messages;
  EXPECT_EQ(Hex(r.code, 6), "09 00 03 FF");
}

TEST(Labels, LabelLineWithoutSemicolonIgnoresItsCommand) {
  const auto r = CompileText("LOOP: CURON = 5\nJUMP LOOP;\nEND;\n");
  ASSERT_TRUE(r.programValid) << r.messages;
  EXPECT_EQ(Hex(r.code), "09 00 00 FF");
}

TEST(Labels, ColonInTheCommentMakesNoLabel) {
  const auto r = CompileText("speed=1200 ; comment with : colon\nEND;\n");
  ASSERT_TRUE(r.programValid) << r.messages;
  EXPECT_EQ(Hex(r.code), "04 04 B0 FF");
}

TEST(Labels, ThousandsOfLabelsAndReferences) {
  // The tables grow: only the code memory limits a program.
  std::string text;
  for (int i = 0; i < 600; ++i) text += "L" + std::to_string(i) + ":\n";
  for (int i = 0; i < 600; ++i) text += "JUMP L" + std::to_string(599 - i) + ";\n";
  text += "END;\n";
  const auto r = CompileText(text);
  ASSERT_TRUE(r.programValid) << Entries(r);
  EXPECT_EQ(r.code.length, 1801u);
}

TEST(Labels, EveryMissingReferenceIsReportedAtItsLine) {
  const auto r = CompileText("JUMP A;\nJUMP B;\nJUMP A;\nEND;\n");
  EXPECT_EQ(Entries(r),
            "* Error : Line 1.\n  ---> Missing label!\n"
            "* Error : Line 2.\n  ---> Missing label!\n"
            "* Error : Line 3.\n  ---> Missing label!\n");
}

TEST(Keywords, TurkishLettersNeverBecomeKeywordLetters) {
  // "İNITV" (cp1254 DD) and "CURONı" must not be taken for INITV and CURON.
  for (const char* line :
       {"\xC4\xB0NITV = 5;", "\xDDNITV = 5;", "CURON\xC4\xB1 = 5;", "d\xC4\xB1r = 1;"}) {
    const auto r = CompileText(std::string(line) + "\nEND;\n");
    EXPECT_EQ(Entries(r), "* Error : Line 1.\n  ---> Unrecognized command!\n") << line;
  }
}

TEST(Keywords, KeywordEndsAtBlankSemicolonOrEquals) {
  struct Case {
    std::string_view line;
    std::string_view code;
  };
  const Case cases[] = {
      {"SPEED=1200;", "04 04 B0"},         {"SPEED = 1200;", "04 04 B0"},
      {"SPEED =1200;", "04 04 B0"},        {"SPEED= 1200;", "04 04 B0"},
      {"\tSPEED\t=\t1200\t;", "04 04 B0"},
  };
  for (const auto& c : cases) {
    const auto r = CompileText(std::string(c.line) + "\nEND;\n");
    EXPECT_EQ(Hex(r.code, 0, r.code.length - 1), c.code) << c.line << Entries(r);
  }
  // No blank between keyword and operand: the keyword is the whole word.
  EXPECT_EQ(Entries(CompileText("JUMPX;\nEND;")),
            "* Error : Line 1.\n  ---> Unrecognized command!\n");
  // An empty keyword (a lone `;` or `= 5;`) produces nothing at all.
  EXPECT_TRUE(CompileText(";\n= 5;\nEND;\n").programValid);
}

TEST(Memory, ExactlyFullCompiles) {
  // 409 five-byte DISPs and one DIR: 2047 bytes, the end marker makes 2048.
  const auto r = CompileText(Repeat("DISP = 7;\n", 409) + "DIR = 1;\nEND;\n");
  ASSERT_TRUE(r.programValid) << Entries(r);
  EXPECT_EQ(r.code.length, 2048u);
  EXPECT_EQ(r.codeRemaining, 0u);
  EXPECT_EQ(r.code.bytes[2047], 0xFF);
  EXPECT_EQ(r.addressLines[2047], 411u);
  EXPECT_TRUE(r.listingText.find("\n2047 :FF\n") != std::string::npos);
}

TEST(Memory, ReportedAfterEveryLineOnceFull) {
  // Line 410 reaches 2050 bytes; every line after it reports again, blank ones included.
  const auto r = CompileText(Repeat("DISP = 7;\n", 410) + "\n; comment\nEND;\nTAIL:\n");
  std::string expected;
  for (int line = 410; line <= 414; ++line) {
    expected += "* Error : Line " + std::to_string(line) + ".\n  ---> Program memory full!\n";
  }
  EXPECT_EQ(Entries(r), expected);
  EXPECT_FALSE(r.programValid);
  EXPECT_LE(r.code.length, CodeCapacity);
}

TEST(Memory, NothingIsStoredPastTheEnd) {
  // Thousands of lines past the end: no byte or address line beyond the image, and no crash.
  const auto r = CompileText(Repeat("L: DISP = 7;\n", 3000) + "END;\n");
  EXPECT_FALSE(r.programValid);
  EXPECT_EQ(r.code.length, CodeCapacity);
  EXPECT_EQ(r.code.bytes[2045], 0x07);
}

TEST(AddressLines, OpcodesOnlyAndNotTheJumpAfterATest) {
  const auto r = CompileText("L:\nCURON = 5;\nIFINP 2 = 1 GO L;\nIFVRB 1 = 2 GO L;\nEND;\n");
  ASSERT_TRUE(r.programValid) << r.messages;
  // CURON at 0, IFINP at 3 (its jump at 6), IFVRB at 9 (its jump at 14), END at 17.
  for (std::uint32_t a = 0; a < 20; ++a) {
    const std::uint32_t expected = a == 0 ? 2 : a == 3 ? 3 : a == 9 ? 4 : a == 17 ? 5 : 0;
    EXPECT_EQ(r.addressLines[a], expected) << "address " << a;
  }
}

}  // namespace
}  // namespace kivra::compiler::test

namespace kivra::compiler::test {
namespace {

TEST(BadInput, HugeAndManyLines) {
  // A megabyte line without a statement end, then one with a command buried in blanks.
  std::vector<std::string> lines = {std::string(1 << 20, 'A'),
                                    std::string(1 << 20, ' ') + "END;" + std::string(1 << 20, ' ')};
  auto r = Compile(lines, Language::English, FixedClock());
  EXPECT_EQ(Entries(r), "* Error : Line 1.\n  ---> (;) expected!\n");

  // A hundred thousand lines of labels and jumps run far past the code memory.
  lines.clear();
  for (int i = 0; i < 100000; ++i)
    lines.push_back("L" + std::to_string(i) + ": JUMP L" + std::to_string(i / 2) + ";");
  lines.push_back("END;");
  r = Compile(lines, Language::Turkish, FixedClock());
  EXPECT_FALSE(r.programValid);
  EXPECT_EQ(r.errorCount, 100001 - 682);  // memory is full after line 683 (683 * 3 = 2049)
  EXPECT_EQ(r.code.length, CodeCapacity);
}

TEST(BadInput, ControlAndHighBytes) {
  std::string binary;
  for (int b = 1; b < 256; ++b) binary += static_cast<char>(b);
  const auto r = CompileText(binary + "\n" + binary + ";\nEND;\n");
  EXPECT_FALSE(r.programValid);
  EXPECT_GT(r.errorCount, 0);
}

}  // namespace
}  // namespace kivra::compiler::test
