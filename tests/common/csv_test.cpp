// CSV cells: quoted when they must be, and text that a spreadsheet cannot take for a formula.

#include "common/csv.h"

#include <gtest/gtest.h>

namespace kivra::csv {
namespace {

TEST(Csv, TextCellsNeverStartAFormula) {
  const struct {
    std::string_view text;
    std::string_view cell;
  } cases[] = {
      {"=1+1.KV3", "'=1+1.KV3"},
      {"+49 30 1234", "'+49 30 1234"},
      {"-5", "'-5"},
      {"@SUM(A1:A2)", "'@SUM(A1:A2)"},
      {"\tHOMING.KV3", "'\tHOMING.KV3"},
      {"\r=1", "\"'\r=1\""},
      {"=HYPERLINK(\"x\",\"y\")", "\"'=HYPERLINK(\"\"x\"\",\"\"y\"\")\""},
      {"HOMING.KV3", "HOMING.KV3"},
      {"a=b-c", "a=b-c"},
      {"/dev/ttyUSB0", "/dev/ttyUSB0"},
      {"download: the driver does not answer", "download: the driver does not answer"},
      {"a,b", "\"a,b\""},
      {"two\nlines", "\"two\nlines\""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(TextField(c.text), c.cell) << c.text;
}

TEST(Csv, NumbersStayNumbers) {
  EXPECT_EQ(Field("-42"), "-42");
  EXPECT_EQ(Field("11.80"), "11.80");
  EXPECT_EQ(Field("1,5"), "\"1,5\"");
  EXPECT_EQ(Field("say \"hi\""), "\"say \"\"hi\"\"\"");
}

}  // namespace
}  // namespace kivra::csv
