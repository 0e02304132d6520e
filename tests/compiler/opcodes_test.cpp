// The help's page of instruction codes, in both languages, against the instruction table.
// (The command tests hold the table to the bytes the handlers really emit.)

#include "compiler/opcodes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

namespace kivra::compiler::test {
namespace {

struct HelpRow {
  std::string code;
  std::string bytes;
  std::string statement;  // the cell as written, tags included
};

// The text between `open` and `close` from `at` on; `at` moves behind `close`.
std::string Cut(const std::string& text, std::size_t& at, std::string_view open,
                std::string_view close) {
  const auto begin = text.find(open, at);
  const auto end = begin == std::string::npos ? begin : text.find(close, begin + open.size());
  if (end == std::string::npos) {
    at = std::string::npos;
    return {};
  }
  at = end + close.size();
  return text.substr(begin + open.size(), end - begin - open.size());
}

// The rows of the page's table of codes: <tr><td><code>XX</code></td><td>N</td><td>...</td></tr>
std::vector<HelpRow> CodeRows(const std::string& language) {
  std::ifstream in(std::string(KIVRA_HELP_DIR) + "/" + language + "/codes.html", std::ios::binary);
  std::stringstream page;
  page << in.rdbuf();
  std::size_t at = 0;
  const std::string table = Cut(page.str(), at, "<table class=\"codes\"", "</table>");
  std::vector<HelpRow> rows;
  for (at = 0;;) {
    const std::string row = Cut(table, at, "<tr><td><code>", "</tr>");
    if (at == std::string::npos) break;
    std::size_t cell = 0;
    HelpRow r;
    r.code = row.substr(0, row.find("</code>"));
    r.bytes = Cut(row, cell, "<td>", "</td>");
    r.statement = Cut(row, cell, "<td>", "</td>");
    rows.push_back(r);
  }
  return rows;
}

std::string TwoHexDigits(unsigned value) {
  static constexpr char digits[] = "0123456789ABCDEF";
  return {digits[value >> 4 & 0xF], digits[value & 0xF]};
}

TEST(Opcodes, HelpPageShowsTheTable) {
  for (const std::string language : {"en", "tr"}) {
    SCOPED_TRACE(language);
    const auto rows = CodeRows(language);
    ASSERT_EQ(rows.size(), Instructions.size() + 1)
        << "one row per code and one for the end marker";
    for (std::size_t i = 0; i < Instructions.size(); ++i) {
      const Instruction& in = Instructions[i];
      const HelpRow& row = rows[i];
      ASSERT_EQ(row.code, TwoHexDigits(Code(in.code)));
      const std::string bytes = in.length == 0                ? "\u2014"
                                : in.code == Op::VrbOperation ? "7, 10, 13"
                                                              : std::to_string(in.length);
      EXPECT_EQ(row.bytes, bytes) << row.code;
      if (in.statement.empty()) {
        EXPECT_EQ(row.statement.find("<a "), std::string::npos)
            << row.code << ": no statement emits it";
      } else {
        const std::string link =
            "<a href=\"" + KeywordOf(in.statement) + ".html\">" + std::string(in.statement);
        EXPECT_TRUE(row.statement.starts_with(link)) << row.code << ": " << row.statement;
      }
    }
    EXPECT_EQ(rows.back().code, TwoHexDigits(EndMarker));
    EXPECT_EQ(rows.back().bytes, "1");
  }
}

}  // namespace
}  // namespace kivra::compiler::test
