// One line per case: the bytes a command compiles to, or the one error it gives, with
// the Turkish header form of that error.

#include <gtest/gtest.h>

#include "compiler/opcodes.h"
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
    // The listing, the simulated driver and the debugger measure instructions with the
    // instruction table: walked with it, the code must be instructions that statements
    // emit, each test followed by its jump, one of them listed under the line's keyword.
    std::size_t a = 0;
    bool keywordListed = false;
    while (a + 1 < r.code.length) {
      const Instruction* in = FindInstruction(r.code.bytes[a]);
      ASSERT_TRUE(in && !in->statement.empty()) << c.line << ": no instruction at " << a;
      if (in->test) {
        EXPECT_EQ(r.code.bytes[a + in->length], Code(Op::Jump))
            << c.line << ": a test without its jump";
      }
      keywordListed = keywordListed || KeywordOf(in->statement) == KeywordOf(c.line);
      a += InstructionLength(r.code.bytes, a);
    }
    EXPECT_EQ(a, r.code.length - 1) << c.line << ": instruction lengths do not tile the code";
    EXPECT_TRUE(keywordListed) << c.line
                               << ": the table lists none of its instructions under its keyword";
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
      {"CURON = 1000;", "02 03 E8"},
      {"CURON = 1;", "02 00 01"},
      {"MICROS = 16;", "03 10"},
      {"MICROS = 25;", "03 19"},
      {"MICROS = +1;", "03 01"},
      {"SPEED = 15000;", "04 3A 98"},
      {"SPEED = V25;", "0D 19"},
      {"SPEED = V 1 ;", "0D 01"},
      {"ACCEL = 9999;", "05 27 0F"},
      {"ACCEL = V1;", "38 01"},
      {"INITV = 0;", "06 00 00"},
      {"INITV = 15000;", "06 3A 98"},
      {"DISP = 2000000000;", "07 77 35 94 00"},
      {"DISP = 0;", "07 00 00 00 00"},
      {"DISP = V3;", "29 03"},
      {"LOCATE 70000;", "34 00 01 11 70"},
      {"LOCATE V1;", "35 01"},
      {"LOCATE 4294967295;", "34 FF FF FF FF"},
      {"LOCATE 4294967296;", "34 00 00 00 00"},
      {"LOCATE -2;", "34 FF FF FF FE"},
      {"DIR = 0;", "08 00"},
      {"DIR = 1;", "08 01"},
      {"CUROFF = 0;", "0A 00"},
      {"CUROFF = 100;", "0A 64"},
  });
}

TEST(DriveSetup, Failures) {
  ExpectFailures({
      {"CURON = 0;", "Current range:1-1000 ", "Akım aralığı:1-1000", 'A'},
      {"CURON = 1001;", "Current range:1-1000 ", "Akım aralığı:1-1000", 'A'},
      {"CURON = -1;", "Current range:1-1000 ", "Akım aralığı:1-1000", 'A'},
      {"CURON 500;", "Missing (=) ", "(=) bekleniyor!", 'A'},
      {"CURON = 0x10;", kNumber, kSayi, 'A'},
      {"MICROS = 3;", "Allowed microsteps:1,2,4,5,8,10,16,25 ",
       "Mikrostep:1,2,4,5,8,10,16,25 olabilir!", 'B'},
      {"MICROS = -16;", "Allowed microsteps:1,2,4,5,8,10,16,25 ",
       "Mikrostep:1,2,4,5,8,10,16,25 olabilir!", 'B'},
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
      {"DISP = 2000000001;", "Displacement range:0-2000000000 ",
       "Yer değiştirme aralığı:0-2000000000", 'A'},
      {"DISP = -1;", "Displacement range:0-2000000000 ", "Yer değiştirme aralığı:0-2000000000",
       'A'},
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

namespace kivra::compiler::test {
namespace {

TEST(Variables, Encodings) {
  ExpectEncodings({
      {"VRB 1 = 1000;", "0E 01 03 E8"},
      {"VRB 1 = 70000;", "0E 01 11 70"},
      {"VRB 1 = 0;", "0E 01 00 00"},
      {"VRB 25=65535;", "0E 19 FF FF"},
      {"VRB 2 = I4;", "18 02 04"},
      {"VRB 2 = A2;", "20 02 02"},
      {"VRB 2 = B1;", "36 02 01"},
      {"VRB 2 = S8;", "2A 02 08"},
      {"VRB 2 = P25;", "2B 02 19"},
      {"VRB 2 = V3;", "39 02 03"},
      {"VRB 2 = T32;", "31 02 20"},
      {"VRB 2 = Q;", "2D 02"},
      {"VRB 2 = W;", "3A 02"},
      {"VRB 2 = X;", "33 02"},
      {"VRB 2 = X 5;", "33 02"},     // nothing after Q, W or X is looked at
      {"VRB 2 = QV7;", "39 02 07"},  // V comes before Q in the order of the letters
      {"VRB 3 = V1 + 5;", "2F 03 01 01 00 00 00 00 00 05"},
      {"VRB 3 = 9999 * T2;", "2F 03 00 00 00 27 0F 02 03 02"},
      {"VRB 3 = A1 / P2;", "2F 03 04 01 03 02 02"},
      {"VRB 3 = 7 - 9;", "2F 03 00 00 00 00 07 01 00 00 00 00 09"},
      {"VRB 3 = 4294967295 + 1;", "2F 03 00 FF FF FF FF 00 00 00 00 00 01"},
      {"VRB 3 = V1 + -1;", "2F 03 01 01 00 00 FF FF FF FF"},  // `+` is found first
      {"VRB 3 = TV2 + 1;", "2F 03 01 02 00 00 00 00 00 01"},  // V outranks T wherever it stands
      {"VRB 3 = A2 - 1;", "2F 03 04 02 01 00 00 00 00 01"},
  });
}

TEST(Variables, Failures) {
  ExpectFailures({
      {"VRB 1 1000;", "Missing (=) !", "(=) bekleniyor!", 'B'},
      {"VRB 26 = 1;", "Variable nr range:1-25 ", "Değişken no :1-25 olabilir!", 'B'},
      {"VRB X = 1;", kNumber, kSayi, 'B'},
      {"VRB 1 = 12A;", kNumber, kSayi, 'A'},  // a letter anywhere decides the form
      {"VRB 1 = 1K;", kNumber, kSayi, 'B'},
      {"VRB 1 = -5;", kNumber, kSayi, 'B'},
      {"VRB 1 = V1 + V2 + V3;", kNumber, kSayi, 'A'},
      {"VRB 2 = V26;", "Variable range:1-25", "degisken no:1-25 olabilir", 'A'},
      {"VRB 2 = P0;", "Parameter range:1-25", "Parametre no:1-25 olabilir", 'A'},
      {"VRB 2 = T33;", "Table nr range:1-32", "Tablo no:1-32 olabilir", 'A'},
      {"VRB 2 = A3;", "Analog Ch. nr:1-2", "Analog kanal no:1-2 olabilir", 'A'},
      {"VRB 2 = B0;", "Analog Ch. nr:1-2", "Analog kanal no:1-2 olabilir", 'A'},
      {"VRB 2 = S9;", "Dip switch no range:1-8", "Ayar anahtar no:1-8 olabilir", 'A'},
      {"VRB 2 = I7;", "Input mask range:1-6", "Giriş maske:1-6 olabilir", 'A'},
      {"VRB 2 = Ix;", kNumber, kSayi, 'A'},
      {"VRB 3 = T33 + 1;", "Table index range:1-32", "Tablo no:1-32 olabilir", 'A'},
      {"VRB 3 = V1 + V99;", "Variable range:1-25", "degisken no:1-25 olabilir", 'A'},
      {"VRB 3 = 1 + ;", kNumber, kSayi, 'B'},
  });
}

TEST(Variables, LengthOfWhatFailedLinesLeave) {
  // The target error leaves only the opcode; an operand error leaves opcode and target.
  EXPECT_EQ(CompileText("VRB 26 = 1;\nEND;").code.length, 1u);
  EXPECT_EQ(CompileText("VRB 2 = V26;\nEND;").code.length, 2u);
}

TEST(Variables, NoErrorSoFarRule) {
  // After an error anywhere before, the two-operand form stops after its left operand:
  // V99 on line 2 is never looked at, so only line 1 is reported.
  auto r = CompileText("SPEED = 0;\nVRB 3 = V1 + V99;\nEND;\n");
  EXPECT_EQ(Entries(r), "* Error : Line 1.\n  ---> Speed range:1-15000\n");
  // A label error on the same line counts too.
  r = CompileText("A B: VRB 3 = V1 + V99;\nEND;\n");
  EXPECT_EQ(Entries(r), "* Error : Line 1.\n  ---> Label syntax uncorrect!\n");
  // An error in the left operand ends the line as well.
  r = CompileText("VRB 3 = V0 + V99;\nEND;\n");
  EXPECT_EQ(Entries(r), "* Error : Line 1.\n  ---> Variable range:1-25\n");
  // The single-operand forms are checked whatever came before.
  r = CompileText("SPEED = 0;\nVRB 3 = V99;\nEND;\n");
  EXPECT_EQ(r.errorCount, 2);
}

TEST(Variables, InputMaskMarksInputsAsUsed) {
  const auto r = CompileText("L: VRB 2 = I4;\nIFINP 4 = 1 GO L;\nIFINP 5 = 1 GO L;\nEND;\n");
  EXPECT_TRUE(r.programValid);
  EXPECT_EQ(Entries(r), "* Warning: Line 2.\n  ---> Input-4 already used!\n");
}

TEST(Counters, Encodings) {
  ExpectEncodings({
      {"VRBINC 3,100;", "0F 03 00 64"},
      {"VRBDEC 20,65535;", "10 14 FF FF"},
      {"VRBINC 3,70000;", "0F 03 11 70"},
      {"VRBINC 3,-1;", "0F 03 FF FF"},
      {"VRBINC 25, 1 ;", "0F 19 00 01"},  // up to 25 although the message says 20
      {"VRBDEC 21,1;", "10 15 00 01"},
      {"PRM 5=1000;", "11 05 03 E8"},
      {"PRM 5 = V7 ;", "2C 05 07"},
      {"prm 5=v7;", "2C 05 07"},
      {"PRM 25 = -1;", "11 19 FF FF"},
      {"DELAY=15000000;", "12 E4 E1 C0"},
      {"DELAY = 0;", "12 00 00 00"},
      {"DELAY=P3;", "22 03"},
      {"DELAY=V25;", "27 19"},
      {"WAIT;", "13"},
      {"WAIT 5;", "13"},
      {"WAIS;", "14"},
      {"MOVE;", "15"},
      {"RUN;", "16"},
      {"STOP;", "17"},
  });
}

TEST(Counters, Failures) {
  ExpectFailures({
      {"VRBINC 26,5;", "Variable nr range:1-20", "Değişken no :1-20 olabilir!", 'B'},
      {"VRBINC 0,5;", "Variable nr range:1-20", "Değişken no :1-20 olabilir!", 'B'},
      {"VRBDEC 26,5;", "Variable nr range:1-20 ", "Değişken no :1-20 olabilir!", 'B'},
      {"VRBINC 3;", "Missing (,) !", "(,) bekleniyor!", 'B'},
      {"VRBDEC 3 5;", "Missing (,) !", "(,) bekleniyor!", 'B'},
      {"VRBINC 3,x;", kNumber, kSayi, 'B'},
      {"VRBINC3,1;", "Unrecognized command!", "Tanımlanamayan komut!", 'A'},
      {"PRM 26=1;", "Parameter range:1-25 ", "Parametre no :1-25 olabilir!", 'B'},
      {"PRM 5 1;", "Missing (=) !", "(=) bekleniyor!", 'B'},
      {"PRM 5=V30;", "Variable range:1-25", "Değişken no:1-25 olabilir", 'A'},
      {"PRM 5=Vx;", kNumber, kSayi, 'A'},
      {"PRM 5=1x;", kNumber, kSayi, 'B'},
      {"DELAY=15000001;", "Delay range:0-15000000", "Zaman aralığı:0-15000000", 'A'},
      {"DELAY=-1;", "Delay range:0-15000000", "Zaman aralığı:0-15000000", 'A'},
      {"DELAY=4294967296;", "Delay range:0-15000000", "Zaman aralığı:0-15000000", 'A'},
      {"DELAY P3;", "Missing (=) !", "(=) bekleniyor!", 'A'},
      {"DELAY=P26;", "Parameter nr range:1-25 ", "Parametre no:1-25 olabilir", 'A'},
      {"DELAY=V0;", "Variable nr range:1-25 ", "Değişken no:1-25 olabilir", 'A'},
      {"DELAY=1 s;", kNumber, kSayi, 'A'},
  });
  EXPECT_EQ(CompileText("DELAY P3;\nEND;").code.length, 0u);
}

TEST(Tables, Encodings) {
  ExpectEncodings({
      {"TABLE 1=4000000000;", "19 01 EE 6B 28 00"},
      {"TABLE 2=1000;", "19 02 00 00 03 E8"},
      {"TABLE 32=0;", "19 20 00 00 00 00"},
      {"TABLE 2=P5;", "2E 02 05"},
      {"TABLE 2 = V25 ;", "30 02 19"},
      {"MOVT 7;", "1B 07"},
      {"MOVT V3;", "1C 03"},
      {"MOVT 32 ;", "1B 20"},
      {"REFPOS;", "1A"},
      {"REFPOS now;", "1A"},
  });
}

TEST(Tables, Failures) {
  ExpectFailures({
      {"TABLE 1=4000000001;", "Table value range:0-4000000000", "Tablo degeri:0-4000000000", 'B'},
      {"TABLE 1=-1;", "Table value range:0-4000000000", "Tablo degeri:0-4000000000", 'B'},
      {"TABLE 33=5;", "Table index range:1-32", "Tablo no :1-32 olabilir!", 'B'},
      {"TABLE 0=5;", "Table index range:1-32", "Tablo no :1-32 olabilir!", 'B'},
      {"TABLE 3 5;", "Missing (=)", "(=) bekleniyor!", 'B'},
      {"TABLE 2=P26;", "Parameter nr range:1-25", "Parametre no :1-25 olabilir!", 'B'},
      {"TABLE 2=V0;", "Variable nr range:1-25", "degisken no :1-25 olabilir!", 'B'},
      {"TABLE 2=1e9;", kNumber, kSayi, 'B'},
      {"TABLE x=1;", kNumber, kSayi, 'B'},
      {"MOVT 33;", "Table index range:1-32", "Tablo Indisi:1-32 olabilir", 'A'},
      {"MOVT 0;", "Table index range:1-32", "Tablo Indisi:1-32 olabilir", 'A'},
      {"MOVT V0;", "Variable nr. range:1-25 ", "Değişken No:1-25 olabilir", 'A'},
      {"MOVT Vx;", kNumber, kSayi, 'A'},
      {"MOVT x;", kNumber, kSayi, 'B'},
  });
  // TABLE checks its index before it emits anything.
  EXPECT_EQ(CompileText("TABLE 33=5;\nEND;").code.length, 0u);
}

TEST(Limits, Encodings) {
  ExpectEncodings({
      {"ENBINT 6;", "24 06"},
      {"DISINT 1;", "25 01"},
      {"LIM 5=1000;", "1F 05 03 E8"},
      {"LIM 20 = 65535 ;", "1F 14 FF FF"},
      {"LIM 22=4294967295;", "37 16 FF FF FF FF"},
      {"LIM 21=0;", "37 15 00 00 00 00"},
      {"SPAN 25=65535;", "21 19 FF FF"},
      {"OUT 2=1;", "23 02 01"},
      {"OUT 1 = 0 ;", "23 01 00"},
      {"FILTER 20=250;", "26 14 FA"},
      {"FILTER 1=0;", "26 01 00"},
  });
}

TEST(Limits, ValuesThatOnlyWarn) {
  struct Case {
    std::string_view line, bytes, english, turkish;
  };
  const Case cases[] = {
      {"LIM 5=65536;", "1F 05 00 00", "Value range:0-65535", "Sayı > 65535 "},
      {"LIM 5=-1;", "1F 05 FF FF", "Value range:0-65535", "Sayı > 65535 "},
      {"SPAN 1=70000;", "21 01 11 70", "Value range:0-65535", "Sayı > 65535 "},
      {"LIM 22=4294967296;", "37 16 00 00 00 00", "Value range:0-4294967295", "Sayı > 4294967295 "},
      {"LIM 22=-1;", "37 16 FF FF FF FF", "Value range:0-4294967295", "Sayı > 4294967295 "},
  };
  for (const auto& c : cases) {
    const std::string program = std::string(c.line) + "\nEND;\n";
    const auto en = CompileText(program);
    EXPECT_TRUE(en.programValid) << c.line;
    EXPECT_EQ(Hex(en.code, 0, en.code.length - 1), c.bytes) << c.line;
    EXPECT_EQ(Entries(en), "* Warning: Line 1.\n  ---> " + std::string(c.english) + "\n");
    EXPECT_EQ(Entries(CompileText(program, Language::Turkish)),
              "* Uyarı: 1 .satır:\n  ---> " + std::string(c.turkish) + "\n");
  }
}

TEST(Limits, Failures) {
  ExpectFailures({
      {"ENBINT 7;", "Input number range:1-6", "Giriş No:1-6 olabilir.", 'A'},
      {"DISINT 0;", "Input number range:1-6", "Giriş No:1-6 olabilir.", 'A'},
      {"ENBINT x;", kNumber, kSayi, 'B'},
      {"LIM 0=5;", "Variable nr range:21-25 ", "Değişken no :21-25 olabilir!", 'B'},
      {"LIM 26=5;", "Variable nr range:21-25 ", "Değişken no :21-25 olabilir!", 'B'},
      {"LIM 5 5;", "Missing (=) ", "(=) bekleniyor!", 'B'},
      {"LIM 5=x;", kNumber, kSayi, 'B'},
      {"LIM 22=99999999999999999999;", kNumber, kSayi, 'B'},
      {"SPAN 26=1;", "Variable nr range:1-25 ", "Değişken no :1-25 olabilir!", 'B'},
      {"SPAN 1 1;", "Missing (=) ", "(=) bekleniyor!", 'B'},
      {"OUT 0=1;", "Output number:1-2", "ÇIKIŞ no :1-2 olabilir!", 'B'},
      {"OUT 3=1;", "Output number:1-2", "ÇIKIŞ no :1-2 olabilir!", 'B'},
      {"OUT 1=2;", "Output value:0-1", "ÇIKIŞ değeri :0-1 olabilir!", 'B'},
      {"OUT 1;", "Missing (=) ", "(=) bekleniyor!", 'B'},
      {"FILTER 21=5;", "Variable nr range:1-20", "Değişken no :1-20 olabilir!", 'B'},
      {"FILTER 1=251;", "Value range:0-250", "Sayı > 250 ", 'B'},
      {"FILTER 1 5;", "Missing (=) ", "(=) bekleniyor!", 'B'},
  });
  EXPECT_EQ(CompileText("LIM 26=5;\nEND;").code.length, 0u);
}

}  // namespace
}  // namespace kivra::compiler::test

namespace kivra::compiler::test {
namespace {

std::string Record(const CompileResult& r, int input) {
  CodeImage rec;
  std::copy_n(&r.vectorTable[(input - 1) * VectorRecordSize], VectorRecordSize, rec.bytes.begin());
  rec.length = VectorRecordSize;
  return Hex(rec);
}

TEST(Interrupts, RoutineIsSkippedAndFoundThroughTheVectorTable) {
  // INT at address 10: a jump over the routine to 20, the routine's head at 13.
  const auto r = CompileText(
      "CURON = 5;\nSPEED = 5;\nDIR = 1;\nSTOP;\nWAIT;\nINT 3,1;\nOUT 1=1;\nRET;\nEND;\n");
  ASSERT_TRUE(r.programValid) << r.messages;
  EXPECT_EQ(Hex(r.code, 10), "09 00 14 1D 31 23 01 01 1E 03 FF");
  EXPECT_EQ(Record(r, 3), "01 00 0D FF FF");
  for (int input : {1, 2, 4, 5, 6}) EXPECT_EQ(Record(r, input), "02 00 00 FF FF");
  // Neither the jump nor the routine's head carry a line; the RET does.
  for (std::uint32_t a = 10; a < 15; ++a) EXPECT_EQ(r.addressLines[a], 0u) << a;
  EXPECT_EQ(r.addressLines[15], 7u);
  EXPECT_EQ(r.addressLines[18], 8u);
}

TEST(Interrupts, ReturnToALabel) {
  const auto r = CompileText("LOOP: WAIT;\nINT 3,1;\nOUT 1=1;\nRET LOOP;\nEND;\n");
  ASSERT_TRUE(r.programValid) << r.messages;
  EXPECT_EQ(Hex(r.code), "13 09 00 0B 1D 31 23 01 01 1E 03 FF");
  EXPECT_EQ(Record(r, 3), "01 00 04 00 00");
  EXPECT_EQ(r.addressLines[9], 0u);  // a RET with a label carries no line
}

TEST(Interrupts, LabelOnTheIntLineNamesTheJump) {
  const auto r = CompileText("WAIT;\nALARM: INT 2,0;\nRET;\nJUMP ALARM;\nEND;\n");
  ASSERT_TRUE(r.programValid) << r.messages;
  EXPECT_EQ(Hex(r.code, 8), "09 00 01 FF");
}

TEST(Interrupts, ManyReturnLabelsLaterOneWins) {
  // More routines with return labels than inputs: every RET is kept, in order, and the
  // last routine of an input decides its record.
  std::string text = "A: WAIT;\nB: WAIT;\n";
  for (int i = 0; i < 20; ++i)
    text += "INT " + std::to_string(1 + i % 6) + ",1;\nRET " + (i < 18 ? "A" : "B") + ";\n";
  text += "END;\n";
  const auto r = CompileText(text);
  ASSERT_TRUE(r.programValid) << Entries(r);
  // Routine i (from 0) has its head at 5 + 7i.
  EXPECT_EQ(Record(r, 1), "01 00 83 00 01");  // routine 18 at 131, back to B
  EXPECT_EQ(Record(r, 2), "01 00 8A 00 01");  // routine 19 at 138, back to B
  EXPECT_EQ(Record(r, 3), "01 00 67 00 00");  // routine 14 at 103, back to A
}

TEST(Interrupts, OpenRoutineAtTheEnd) {
  auto r = CompileText("INT 3,1;\nOUT 1=1;\nEND;\n");
  EXPECT_EQ(Entries(r), "* Error : Line 4.\n  ---> Missing RET command!\n");
  r = CompileText("INT 3,1;\nOUT 1=1;\nEND;\n", Language::Turkish);
  EXPECT_EQ(Entries(r), "* Hata : 3.satır:\n  ---> RET komutu bulunamadı!\n");
  // Other errors first: then there is no word about the missing RET.
  r = CompileText("INT 3,1;\nOUT 3=1;\nEND;\n");
  EXPECT_EQ(r.errorCount, 1);
}

TEST(Interrupts, BookkeepingErrors) {
  // INT with an error opens nothing, so its RET is unexpected; a RET whose label holds a
  // colon leaves the routine open.
  auto r = CompileText("INT 7,1;\nRET;\nEND;\n");
  EXPECT_EQ(Entries(r),
            "* Error : Line 1.\n  ---> Input number range:1-6\n"
            "* Error : Line 2.\n  ---> Unexpected RET command!\n");
  r = CompileText("INT 3,1;\nL1: RET A:B;\nINT 4,0;\nRET;\nEND;\n");
  EXPECT_EQ(Entries(r),
            "* Error : Line 2.\n  ---> Label syntax error!\n"
            "* Error : Line 3.\n  ---> New INT command unless finished previous !\n");
  // An INT input counts as tested.
  r = CompileText("L: INT 3,1;\nRET;\nIFINP 3 = 0 GO L;\nEND;\n");
  EXPECT_EQ(Entries(r), "* Warning: Line 3.\n  ---> Input-3 already used!\n");
}

TEST(Interrupts, MissingReturnLabelsWaitForTheJumps) {
  auto r = CompileText("INT 1,1;\nRET NOWHERE;\nJUMP ELSEWHERE;\nEND;\n");
  EXPECT_EQ(Entries(r), "* Error : Line 3.\n  ---> Missing label!\n");
  r = CompileText("INT 1,1;\nRET NOWHERE;\nEND;\n");
  EXPECT_EQ(Entries(r), "* Error : Line 2.\n  ---> Missing label!\n");
}

}  // namespace
}  // namespace kivra::compiler::test
