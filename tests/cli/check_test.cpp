// `kivra check`: what it prints, its exit status, and how it reads a program file.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "cli/commands.h"
#include "cli/program_input.h"

namespace kivra::cli {
namespace {

namespace fs = std::filesystem;

compiler::Clock Fixed() {
  return [] { return compiler::Timestamp{"1.02.2025", "13:05:09"}; };
}

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome Check(const Args& args) {
  std::ostringstream out, err;
  const int status = CheckProgram(args, out, err, Fixed());
  return {status, out.str(), err.str()};
}

class CheckCommand : public testing::Test {
 protected:
  std::string Write(const std::string& name, std::string_view bytes) {
    const fs::path p = dir_ / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p.string();
  }
  void SetUp() override {
    dir_ = fs::path(testing::TempDir()) /
           ("kivra_check_" +
            std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

constexpr std::string_view kBannerEn =
    "**** NUVEX ELEKTRONIK LTD. Kivra-PS  Compiler:Ver 1.11   01/2012 **** \n"
    "**** 1.02.2025   13:05:09 **** \n\n";

TEST_F(CheckCommand, ValidProgramPrintsMessagesThenListing) {
  const auto path = Write("ok.kv3", "CURON = 500;\r\nEND;\r\n");
  const auto plain = Check({path});
  EXPECT_EQ(plain.status, 0);
  EXPECT_EQ(plain.out, std::string(kBannerEn) +
                           "\n------------------------------------------\n"
                           "Total error : 0,  Total warning : 0\n");
  EXPECT_EQ(plain.err, "");

  const auto listed = Check({"--listing", path});
  EXPECT_EQ(listed.status, 0);
  EXPECT_EQ(listed.out, plain.out +
                            "Adr  Code      \n000 :02 01 F4\n003 :FF\nVector : \n"
                            "001 :02 00 00 FF FF\n002 :02 00 00 FF FF\n003 :02 00 00 FF FF\n"
                            "004 :02 00 00 FF FF\n005 :02 00 00 FF FF\n006 :02 00 00 FF FF\n");
}

TEST_F(CheckCommand, ErrorsExitOneAndListNothing) {
  const auto path = Write("bad.kv3", "SPEED = 0;\nEND;\n");
  const auto r = Check({path, "--listing", "--lang", "tr"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(
      r.out.ends_with("* Hata : 1.satır:\n  ---> Hız aralığı:1-15000\n"
                      "\n------------------------------------------\n"
                      "Toplam Hata : 1,   Toplam Uyarı : 0\n"))
      << r.out;
}

TEST_F(CheckCommand, WarningsAloneExitZero) {
  EXPECT_EQ(Check({Write("warn.kv3", "L: IFINP 1=1 GO L;\nIFINP 1=0 GO L;\nEND;\n")}).status, 0);
  EXPECT_EQ(Check({Write("empty.kv3", "\r\n  \r\n")}).status, 0);
}

TEST_F(CheckCommand, TextEndsAtTheFirstZeroByte) {
  const std::string bytes = std::string("END;\r\n") + '\0' + "garbage without semicolon\r\n";
  EXPECT_EQ(Check({Write("zero-byte.kv3", bytes)}).status, 0);
}

TEST_F(CheckCommand, Cp1254FileIsReadAsTurkishText) {
  // "; Sürücü" in code page 1254, and a dotless ı (FDh) right behind a keyword.
  EXPECT_EQ(Check({Write("tr.kv3",
                         "; S\xFCr\xFC"
                         "c\xFC\r\nEND;\r\n")})
                .status,
            0);
  const auto r = Check({Write("dotless.kv3", "CURON\xFD = 5;\r\nEND;\r\n")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("Unrecognized command!"), std::string::npos);
}

TEST_F(CheckCommand, UsageAndFileErrorsExitTwo) {
  const auto ok = Write("ok.kv3", "END;\n");
  struct Case {
    Args args;
    std::string_view reason;
  };
  const Case cases[] = {
      {{}, "no program given"},
      {{"--lang"}, "--lang needs en or tr"},
      {{"--lang", "de", ok}, "unknown language 'de'"},
      {{"--verbose", ok}, "unknown option '--verbose'"},
      {{ok, ok}, "more than one program given"},
      {{(dir_ / "missing.kv3").string()}, "missing.kv3: there is no such file"},
      {{dir_.string()}, ": this is a folder, not a file"},
  };
  for (const auto& c : cases) {
    const auto r = Check(c.args);
    EXPECT_EQ(r.status, 2) << testing::PrintToString(c.args);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
    EXPECT_EQ(r.err.rfind("kivra check: ", 0), 0u) << r.err;
  }
}

TEST_F(CheckCommand, FilesThatAreNoProgramsAreRefusedUnread) {
  const auto big = Write("big.kv3", "END;\n");
  fs::resize_file(big, 64 * 1024 * 1024);
  struct Case {
    Args args;
    std::string err;
  };
  std::vector<Case> cases = {
      {{big}, "kivra check: " + big + ": too large: a program file holds at most 1 MB\n"},
      {{"--lang", "tr", big},
       "kivra check: " + big + ": çok büyük: bir program dosyası en çok 1 MB olabilir\n"},
  };
#ifndef _WIN32
  // Devices and pipes as POSIX systems name them.
  const fs::path fifo = dir_ / "fifo.kv3";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  cases.push_back({{"/dev/zero"}, "kivra check: /dev/zero: this is a device, not a file\n"});
  cases.push_back(
      {{"--lang", "tr", "/dev/zero"}, "kivra check: /dev/zero: bu bir aygıt, dosya değil\n"});
  cases.push_back(
      {{fifo.string()}, "kivra check: " + fifo.string() + ": this is a pipe (FIFO), not a file\n"});
#endif
  for (const auto& c : cases) {
    const auto r = Check(c.args);
    EXPECT_EQ(r.status, 2) << testing::PrintToString(c.args);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
  }
}

TEST_F(CheckCommand, OptionsInAnyOrder) {
  const auto path = Write("ok.kv3", "END;\n");
  EXPECT_NE(Check({"--lang=tr", path}).out.find("Kivra-PS  Derleyici:Ver"), std::string::npos);
  EXPECT_EQ(Check({path, "--lang", "en"}).status, 0);
  EXPECT_EQ(Check({"--", path}).status, 0);
  EXPECT_EQ(Check({"--help"}).status, 0);
}

TEST(ProgramLines, ReadAsTheEditorReadsThem) {
  EXPECT_EQ(ProgramLines(""), std::vector<std::string>{});
  EXPECT_EQ(ProgramLines(std::string_view("\0END;", 5)), std::vector<std::string>{});
  EXPECT_EQ(ProgramLines("A;\r\nB;\r\r\nC;"), (std::vector<std::string>{"A;", "B;", "C;"}));
  EXPECT_EQ(ProgramLines("\xFD\xDE;\n"), std::vector<std::string>{"ıŞ;"});
}

}  // namespace
}  // namespace kivra::cli
