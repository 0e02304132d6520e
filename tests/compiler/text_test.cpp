// The editor's line list and the number conversion that every operand goes through.

#include <gtest/gtest.h>

#include "compiler/compile.h"
#include "compiler/operands.h"

namespace kivra::compiler {
namespace {

TEST(SplitLines, SeparatorsAsTheEditorSeesThem) {
  struct Case {
    std::string_view text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"\n", {""}},
      {"END;", {"END;"}},
      {"A;\nEND;\n", {"A;", "END;"}},
      {"A;\r\nEND;\r\n", {"A;", "END;"}},
      {"A;\r\r\nEND;", {"A;", "END;"}},
      {"A;\n\n", {"A;", ""}},
      {"A;\r\r\r\nB", {"A;\r", "B"}},  // only up to two CRs belong to the break
      {"A;\rB;", {"A;\rB;"}},          // a lone CR is no line break
      {"\r\n\r\n", {"", ""}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SplitLines(c.text), c.lines) << testing::PrintToString(c.text);
}

TEST(Numbers, SignedDecimalDigitsOnly) {
  struct Case {
    std::string_view text;
    std::optional<std::int32_t> value;
  };
  const Case cases[] = {
      {"0", 0},
      {"+5", 5},
      {"-5", -5},
      {"007", 7},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", {}},
      {"-2147483649", {}},
      {"", {}},
      {"-", {}},
      {"+", {}},
      {"0x10", {}},
      {"$10", {}},
      {"1 0", {}},
      {"12A0", {}},
      {"--1", {}},
      {"+-1", {}},
      {"1e3", {}},
      {"١", {}},  // a non-ASCII digit is no digit
  };
  for (const auto& c : cases) EXPECT_EQ(ToInt32(c.text), c.value) << c.text;
}

TEST(Numbers, SixtyFourBitRange) {
  EXPECT_EQ(ToInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(ToInt64("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(ToInt64("9223372036854775808"), std::nullopt);
  EXPECT_EQ(ToInt64("-9223372036854775809"), std::nullopt);
  EXPECT_EQ(ToInt64("99999999999999999999999"), std::nullopt);
  EXPECT_EQ(ToInt64("4294967296"), 4294967296LL);
}

TEST(NormalizeLine, AsciiUpperCaseAndTabs) {
  // ı (C4 B1 in UTF-8, FD in code page 1254) and i with a dot must stay what they are.
  std::string s = "speed\xC4\xB1\t\xFD i\xCC\x87 z";
  NormalizeLine(s);
  EXPECT_EQ(s, "SPEED\xC4\xB1 \xFD I\xCC\x87 Z");
}

}  // namespace
}  // namespace kivra::compiler
