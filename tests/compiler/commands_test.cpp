// One line per case: the bytes a command compiles to, or the one error it gives, with
// the Turkish header form of that error.

#include <gtest/gtest.h>

#include "test_support.h"

namespace kivra::compiler::test {
namespace {

struct Encoding {
  std::string_view line;
  std::string_view bytes;  // without the end marker
};

struct Failure {
  std::string_view line;
  std::string_view english;
  std::string_view turkish;
  char form;  // 'A': "N.satır:", 'B': "N .satır:"
};

void ExpectEncodings(std::initializer_list<Encoding> cases) {
  for (const auto& c : cases) {
    const auto r = CompileText(std::string(c.line) + "\nEND;\n");
    EXPECT_TRUE(r.programValid) << c.line << "\n" << Entries(r);
    EXPECT_EQ(Hex(r.code, 0, r.code.length - 1), c.bytes) << c.line;
  }
}

void ExpectFailures(std::initializer_list<Failure> cases) {
  for (const auto& c : cases) {
    const std::string program = std::string(c.line) + "\nEND;\n";
    EXPECT_EQ(Entries(CompileText(program, Language::English)),
              "* Error : Line 1.\n  ---> " + std::string(c.english) + "\n")
        << c.line;
    EXPECT_EQ(Entries(CompileText(program, Language::Turkish)),
              std::string(c.form == 'A' ? "* Hata : 1.satır:\n" : "* Hata : 1 .satır:\n") +
                  "  ---> " + std::string(c.turkish) + "\n")
        << c.line;
  }
}

constexpr std::string_view kNumber = "Number expected!";
constexpr std::string_view kSayi = "Sayısal deger bekleniyor!";

TEST(DriveSetup, Encodings) {
  ExpectEncodings({
      {"CURON = 1000;", "02 03 E8"},        {"CURON = 1;", "02 00 01"},
      {"MICROS = 16;", "03 10"},            {"MICROS = 25;", "03 19"},
      {"MICROS = +1;", "03 01"},            {"SPEED = 15000;", "04 3A 98"},
      {"SPEED = V25;", "0D 19"},            {"SPEED = V 1 ;", "0D 01"},
      {"ACCEL = 9999;", "05 27 0F"},        {"ACCEL = V1;", "38 01"},
      {"INITV = 0;", "06 00 00"},           {"INITV = 15000;", "06 3A 98"},
      {"DISP = 2000000000;", "07 77 35 94 00"}, {"DISP = 0;", "07 00 00 00 00"},
      {"DISP = V3;", "29 03"},              {"LOCATE 70000;", "34 00 01 11 70"},
      {"LOCATE V1;", "35 01"},              {"LOCATE 4294967295;", "34 FF FF FF FF"},
      {"LOCATE 4294967296;", "34 00 00 00 00"}, {"LOCATE -2;", "34 FF FF FF FE"},
      {"DIR = 0;", "08 00"},                {"DIR = 1;", "08 01"},
      {"CUROFF = 0;", "0A 00"},             {"CUROFF = 100;", "0A 64"},
  });
}

TEST(DriveSetup, Failures) {
  ExpectFailures({
      {"CURON = 0;", "Current range:1-1000 ", "Akım aralığı:1-1000", 'A'},
      {"CURON = 1001;", "Current range:1-1000 ", "Akım aralığı:1-1000", 'A'},
      {"CURON = -1;", "Current range:1-1000 ", "Akım aralığı:1-1000", 'A'},
      {"CURON 500;", "Missing (=) ", "(=) bekleniyor!", 'A'},
      {"CURON = 0x10;", kNumber, kSayi, 'A'},
      {"MICROS = 3;", "Allowed microsteps:1,2,4,5,8,10,16,25 ", "Mikrostep:1,2,4,5,8,10,16,25 olabilir!", 'B'},
      {"MICROS = -16;", "Allowed microsteps:1,2,4,5,8,10,16,25 ", "Mikrostep:1,2,4,5,8,10,16,25 olabilir!", 'B'},
      {"MICROS 4;", "Missing (=) ", "(=) bekleniyor!", 'B'},
      {"MICROS = ;", kNumber, kSayi, 'B'},
      {"SPEED = 0;", "Speed range:1-15000", "Hız aralığı:1-15000", 'A'},
      {"SPEED = 15001;", "Speed range:1-15000", "Hız aralığı:1-15000", 'A'},
      {"SPEED=-5;", "Speed range:1-15000", "Hız aralığı:1-15000", 'A'},
      {"SPEED=12A0;", kNumber, kSayi, 'A'},
      {"SPEED = V26;", "Variable nr range:1-25", "Değişken no:1-25 olabilir", 'A'},
      {"SPEED = V0;", "Variable nr range:1-25", "Değişken no:1-25 olabilir", 'A'},
      {"SPEED 10;", "Missing (=) ", "(=) bekleniyor!", 'A'},
      {"ACCEL = 0;", "Acceleration range:1-9999 ", "Hızlanma Katsayısı aralığı:1-9999", 'A'},
      {"ACCEL = V;", kNumber, kSayi, 'A'},
      {"INITV = 15001;", "Initial speed range:0-15000 ", "Kalkış Hızı aralığı:0-15000", 'A'},
      {"DISP = 2000000001;", "Displacement range:0-2000000000 ", "Yer değiştirme aralığı:0-2000000000", 'A'},
      {"DISP = -1;", "Displacement range:0-2000000000 ", "Yer değiştirme aralığı:0-2000000000", 'A'},
      {"DISP = 99999999999999999999;", kNumber, kSayi, 'A'},
      {"DISP 5;", "Missing (=) !", "(=) bekleniyor!", 'A'},
      {"DISP = V99;", "Variable nr range:1-25", "Değişken no:1-25 olabilir", 'A'},
      {"LOCATE=5;", "Missing parameter !", "parametre bekleniyor!", 'A'},
      {"LOCATE = 5;", kNumber, kSayi, 'A'},
      {"LOCATE V26;", "Variable nr range:1-25", "Değişken no:1-25 olabilir", 'A'},
      {"DIR = 2;", "Direction range:0-1", "Donus yonu:0,1 olabilir!", 'B'},
      {"DIR 1;", "Missing (=) ", "(=) bekleniyor!", 'B'},
      {"DIR = one;", kNumber, kSayi, 'B'},
      {"CUROFF = 101;", "Current ratio %:0-100", "Akım Oranı %:0-100 olabilir", 'A'},
  });
}

TEST(DriveSetup, MissingEqualsStillCountsTheOpcode) {
  // CURON emits its opcode before it looks at the operand; SPEED does not.
  EXPECT_EQ(CompileText("CURON 500;\nEND;").code.length, 1u);
  EXPECT_EQ(CompileText("SPEED 500;\nEND;").code.length, 0u);
}

TEST(Jumps, Encodings) {
  // Each case starts at address 0 with the label L, so the targets read 00 00.
  ExpectEncodings({
      {"L: JUMP L;", "09 00 00"},
      {"L: IFINP 3 = 1 GO L;", "0B 03 01 09 00 00"},
      {"L: IFINP 6=0 GO L;", "0B 06 00 09 00 00"},
      {"L: IFVRB 2 < 100 GO L;", "0C 02 03 00 64 09 00 00"},
      {"L: IFVRB 2 > V7 GO L;", "32 02 02 07 09 00 00"},
      {"L: IFVRB 25 = V1 GO L;", "32 19 01 01 09 00 00"},
      {"L: IFVRB 2 = 70000 GO L;", "0C 02 01 11 70 09 00 00"},
      {"L: IFVRB 2 = -1 GO L;", "0C 02 01 FF FF 09 00 00"},
      {"GOAL: IFVRB 1 = 5 GO GOAL;", "0C 01 01 00 05 09 00 00"},
      {"VL: IFVRB 1 = 5 GO VL;", "0C 01 01 00 05 09 00 00"},  // the V after GO is the label's
  });
}

TEST(Jumps, Failures) {
  ExpectFailures({
      {"JUMP;", "Missing label!", "Etiket Bulunamadı!", 'A'},
      {"L: JUMP A:B;", "Label syntax error!", "Hatalı etiket!", 'A'},
      {"IFINP 7 = 1 GO L;", "Input number range:1-6", "Giriş no :1-6 olabilir!", 'B'},
      {"IFINP 0 = 1 GO L;", "Input number range:1-6", "Giriş no :1-6 olabilir!", 'B'},
      {"IFINP 3 1 GO L;", "Missing (=) !", "(=) bekleniyor!", 'B'},
      {"IFINP 3 = 2 GO L;", "Input value range:0-1", "Giriş seviyesi :0-1 olabilir!", 'B'},
      {"IFINP 3 = -1 GO L;", "Input value range:0-1", "Giriş seviyesi :0-1 olabilir!", 'B'},
      {"IFINP 3 = 1 L;", "Missing (GO) statement !", "(GO) ifadesi eksik!", 'B'},
      {"IFINP 3 = 1 GO ;", "Label missing!", "Etiket eksik!", 'A'},
      {"IFINP 3 = X GO L;", kNumber, kSayi, 'B'},
      {"IFVRB 0 = 5 GO L;", "Variable nr range:1-25 ", "Değişken no :1-25 olabilir!", 'B'},
      {"IFVRB 2 = V30 GO L;", "Variable nr range:1-25 ", "Değişken no :1-25 olabilir!", 'B'},
      {"IFVRB 2 5 GO L;", "Missing (=) or (<) or (>) !", "(=,<,>) bekleniyor!", 'B'},
      {"IFVRB 2 = 5 L;", "Missing (GO) statement !", "(GO) ifadesi bekleniyor!", 'B'},
      {"IFVRB 2 = 5 GO;", "Label missing!", "Etiket eksik!", 'A'},
      {"L: IFVRB 2 = 5 GO X:Y;", "Label syntax error!", "Hatalı etiket!", 'A'},
      {"IFVRB 2 = 1E3 GO L;", kNumber, kSayi, 'B'},
      {"IFVRB 2 <= 5 GO L;", kNumber, kSayi, 'B'},  // `=` wins: the variable reads "2 <"
      {"IFVRB X = 5 GO L;", kNumber, kSayi, 'B'},
  });
}

TEST(Jumps, WhatAFailedTestLeavesBehind) {
  // Only the number form emits its test before it has seen GO.
  EXPECT_EQ(CompileText("IFVRB 2 = 5 L;\nEND;").code.length, 3u);
  EXPECT_EQ(CompileText("IFVRB 2 = V5 L;\nEND;").code.length, 0u);
  EXPECT_EQ(CompileText("IFVRB 0 = 5 GO L;\nEND;").code.length, 0u);
}

TEST(Jumps, InputUsedTwiceWarns) {
  const auto r = CompileText("L: IFINP 3 = 1 GO L;\nIFINP 3 = 0 GO L;\nEND;\n");
  EXPECT_TRUE(r.programValid);
  EXPECT_EQ(r.warningCount, 1);
  EXPECT_EQ(Entries(r), "* Warning: Line 2.\n  ---> Input-3 already used!\n");
  const auto tr = CompileText("L: IFINP 3 = 1 GO L;\nIFINP 3 = 0 GO L;\nEND;\n", Language::Turkish);
  EXPECT_EQ(Entries(tr), "* Uyarı: 2 .satır:\n  ---> Input-3 önceden kullanıldı!\n");
}

}  // namespace
}  // namespace kivra::compiler::test
