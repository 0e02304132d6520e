// The instruction table against what it describes: the bytes the handlers really emit,
// and the help's page of instruction codes in both languages.

#include "compiler/opcodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

namespace kivra::compiler::test {
namespace {

std::string KeywordOf(std::string_view statement) {
  return std::string(statement.substr(0, statement.find_first_of(" ;")));
}

// Each program, compiled, is the instructions listed beside it and nothing else.
struct Emitted {
  std::string_view program;
  std::vector<Op> instructions;
};

TEST(Opcodes, HandlersEmitWhatTheTableDescribes) {
  using enum Op;
  const Emitted cases[] = {
      {"CURON = 500;", {Curon}},
      {"MICROS = 4;", {Micros}},
      {"SPEED = 100;", {Speed}},
      {"SPEED = V2;", {SpeedVariable}},
      {"ACCEL = 100;", {Accel}},
      {"ACCEL = V2;", {AccelVariable}},
      {"INITV = 10;", {Initv}},
      {"DISP = 4000;", {Disp}},
      {"DISP = V2;", {DispVariable}},
      {"LOCATE 4000;", {Locate}},
      {"LOCATE V2;", {LocateVariable}},
      {"DIR = 1;", {Dir}},
      {"CUROFF = 50;", {Curoff}},
      {"JUMP L;\nL: WAIT;", {Jump, Wait}},
      {"IFINP 1 = 1 GO L;\nL: WAIT;", {Ifinp, Jump, Wait}},
      {"IFVRB 1 > 300 GO L;\nL: WAIT;", {Ifvrb, Jump, Wait}},
      {"IFVRB 1 = V2 GO L;\nL: WAIT;", {IfvrbVariable, Jump, Wait}},
      {"VRB 1 = 300;", {Vrb}},
      {"VRB 1 = I3;", {VrbInputs}},
      {"VRB 1 = A2;", {VrbAnalog}},
      {"VRB 1 = B2;", {VrbB}},
      {"VRB 1 = S8;", {VrbDipSwitch}},
      {"VRB 1 = P25;", {VrbParameter}},
      {"VRB 1 = V25;", {VrbVariable}},
      {"VRB 1 = T32;", {VrbTable}},
      {"VRB 1 = Q;", {VrbQ}},
      {"VRB 1 = W;", {VrbW}},
      {"VRB 1 = X;", {VrbX}},
      {"VRB 1 = V2 + P3;", {VrbOperation}},
      {"VRB 1 = 70000 * A1;", {VrbOperation}},
      {"VRB 1 = T4 - 70000;", {VrbOperation}},
      {"VRB 1 = 5 / 70000;", {VrbOperation}},
      {"VRBINC 1,2;", {Vrbinc}},
      {"VRBDEC 1,2;", {Vrbdec}},
      {"PRM 1 = 2;", {Prm}},
      {"PRM 1 = V2;", {PrmVariable}},
      {"DELAY = 1000;", {Delay}},
      {"DELAY = P2;", {DelayParameter}},
      {"DELAY = V2;", {DelayVariable}},
      {"WAIT;", {Wait}},
      {"WAIS;", {Wais}},
      {"MOVE;", {Move}},
      {"RUN;", {Run}},
      {"STOP;", {Stop}},
      {"TABLE 1 = 4000000000;", {Table}},
      {"TABLE 1 = P2;", {TableParameter}},
      {"TABLE 1 = V2;", {TableVariable}},
      {"REFPOS;", {Refpos}},
      {"MOVT 32;", {Movt}},
      {"MOVT V2;", {MovtVariable}},
      {"INT 1,1;\nRET;", {Jump, Routine, Ret}},
      {"INT 2,0;\nRET L;\nL: WAIT;", {Jump, Routine, Ret, Wait}},
      {"ENBINT 1;", {Enbint}},
      {"DISINT 1;", {Disint}},
      {"LIM 20 = 65535;", {Lim16}},
      {"LIM 21 = 70000;", {Lim32}},
      {"SPAN 1 = 100;", {Span}},
      {"OUT 2 = 1;", {Out}},
      {"FILTER 1 = 250;", {Filter}},
  };
  std::set<Op> seen;
  for (const auto& c : cases) {
    const auto r = CompileText(std::string(c.program) + "\nEND;\n");
    ASSERT_TRUE(r.programValid) << c.program << "\n" << Entries(r);
    std::vector<Op> found;
    std::size_t a = 0;
    while (a + 1 < r.code.length) {
      const Instruction* in = FindInstruction(r.code.bytes[a]);
      ASSERT_NE(in, nullptr) << c.program << ": no instruction at " << a;
      found.push_back(in->code);
      if (in->test) {
        EXPECT_EQ(r.code.bytes[a + in->length], Code(Op::Jump))
            << c.program << ": a test without its jump";
      }
      a += InstructionLength(r.code.bytes, a);
    }
    EXPECT_EQ(a, r.code.length - 1) << c.program << ": instructions run past the end marker";
    EXPECT_EQ(found, c.instructions) << c.program;
    // The table names the statement: one of its instructions is listed under its keyword.
    EXPECT_TRUE(std::any_of(found.begin(), found.end(), [&](Op op) {
      return KeywordOf(Instructions[Code(op)].statement) == KeywordOf(c.program);
    })) << c.program;
    seen.insert(found.begin(), found.end());
  }
  for (const auto& in : Instructions) {
    if (!in.statement.empty()) {
      EXPECT_TRUE(seen.count(in.code)) << in.statement << " is not tried";
    }
  }
}

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
