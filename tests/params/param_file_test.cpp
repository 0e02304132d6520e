// The parameter file: what loads, what is refused and where, and what a driver's set
// looks like written out.

#include "params/param_file.h"

#include <gtest/gtest.h>

namespace kivra::params {
namespace {

std::size_t At(std::string_view name) {
  return *ItemByName(name);
}

TEST(ParamFile, GoodFilesLoad) {
  struct Case {
    const char* what;
    std::string text;
    std::vector<std::pair<const char*, std::int64_t>> values;
  };
  const Case cases[] = {
      {"LF", "format = 1\nspeed = 1200\nprm9 = 1000\n", {{"speed", 1200}, {"prm9", 1000}}},
      {"CR LF and blanks around everything",
       "  format=1\r\n\tspeed\t=  15000 \r\n\r\nprm25 = -5\r\n",
       {{"speed", 15000}, {"prm25", -5}}},
      {"CR CR LF, as the program files have it", "format = 1\r\r\nramp = 0\r\r\n", {{"ramp", 0}}},
      {"no line break at the end", "format = 1\nmicrostep = 25", {{"microstep", 25}}},
      {"comments in UTF-8 and a byte order mark",
       "\xEF\xBB\xBF# Ayarlar: hız ve akım\nformat = 1\n# şişe\nhold-current = 100\n",
       {{"hold-current", 100}}},
      {"comments in code page 1254",
       "# Ayarlar: h\xFDz \xFE\xF0\nformat = 1\nrun-current = 0\n",
       {{"run-current", 0}}},
      {"direction as a letter in either case, or a number",
       "format = 1\ndirection = r\n",
       {{"direction", 1}}},
      {"direction as a number", "format = 1\ndirection = 0\n", {{"direction", 0}}},
      {"names in any case",
       "format = 1\nSPEED = 5\nPrm21 = 2147483647\n",
       {{"speed", 5}, {"prm21", 2147483647}}},
      {"16-bit parameters from 0 to 65535, 32-bit ones any 32-bit integer",
       "format = 1\nprm9 = 0\nprm20 = 65535\nprm21 = -2147483648\n",
       {{"prm9", 0}, {"prm20", 65535}, {"prm21", -2147483648LL}}},
      {"header only", "# empty\nformat = 1\nfirmware = 1.2\nprogram = HOMING.KV3\n", {}},
      {"service values at their bounds",
       "format = 1\nservice1 = 70\nservice2 = 100\n",
       {{"service1", 70}, {"service2", 100}}},
  };
  for (const Case& c : cases) {
    const ParsedFile f = ParseParameterFile(c.text);
    ASSERT_FALSE(f.error) << c.what << ": " << Describe(*f.error, Language::English);
    EXPECT_EQ(f.set.Count(), c.values.size()) << c.what;
    for (const auto& [name, value] : c.values)
      EXPECT_EQ(f.set.values[At(name)], value) << c.what << " " << name;
  }
}

TEST(ParamFile, HeaderCarriesFirmwareAndProgram) {
  const ParsedFile f = ParseParameterFile("format = 1\nfirmware = 2.5\nprogram =  MOTOR 2.KV3 \n");
  ASSERT_FALSE(f.error);
  EXPECT_EQ(f.set.firmware, 25);
  EXPECT_EQ(f.set.programName, "MOTOR 2.KV3");
  const ParsedFile turkish = ParseParameterFile(
      "format = 1\nprogram = \xDE\xDD"
      "FT.KV3\n");
  ASSERT_FALSE(turkish.error);
  EXPECT_EQ(turkish.set.programName, "ŞİFT.KV3");
}

TEST(ParamFile, BadFilesAreRefusedWithTheirLine) {
  struct Case {
    const char* what;
    std::string text;
    FileProblem problem;
    int line;
    int firstLine = 0;
  };
  const Case cases[] = {
      {"empty", "", FileProblem::NotParameterFile, 1},
      {"comments only", "# a\n# b\n", FileProblem::NotParameterFile, 2},
      {"a program file", "CURON;\nEND;\n", FileProblem::NotParameterFile, 1},
      {"values before the format", "# x\nspeed = 5\nformat = 1\n", FileProblem::NotParameterFile,
       2},
      {"format not a number", "format = one\n", FileProblem::NotParameterFile, 1},
      {"a newer format", "format = 2\nspeed = 5\n", FileProblem::NewerFormat, 1},
      {"no equals sign", "format = 1\nspeed 1200\n", FileProblem::NoEquals, 2},
      {"unknown name", "format = 1\n\nsped = 1200\n", FileProblem::UnknownName, 3},
      {"the displacement is no setting of a set", "format = 1\ndisplacement = 5\n",
       FileProblem::UnknownName, 2},
      {"Prm 8 is not written by the tool", "format = 1\nprm8 = 5\n", FileProblem::UnknownName, 2},
      {"speed 0", "format = 1\nspeed = 0\n", FileProblem::BadValue, 2},
      {"speed 15001", "format = 1\nspeed = 15001\n", FileProblem::BadValue, 2},
      {"start speed 9", "format = 1\nstart-speed = 9\n", FileProblem::BadValue, 2},
      {"micro-step 3", "format = 1\nmicrostep = 3\n", FileProblem::BadValue, 2},
      {"holding current -1 fails the unsigned bound", "format = 1\nhold-current = -1\n",
       FileProblem::BadValue, 2},
      {"service value 69", "format = 1\nservice1 = 69\n", FileProblem::BadValue, 2},
      {"direction X", "format = 1\ndirection = X\n", FileProblem::BadValue, 2},
      {"direction 2", "format = 1\ndirection = 2\n", FileProblem::BadValue, 2},
      {"an empty value", "format = 1\nprm9 =\n", FileProblem::BadValue, 2},
      {"hexadecimal", "format = 1\nprm9 = 0x10\n", FileProblem::BadValue, 2},
      {"beyond 32 bits", "format = 1\nprm21 = 2147483648\n", FileProblem::BadValue, 2},
      {"a comment behind a value", "format = 1\nspeed = 1200 # fast\n", FileProblem::BadValue, 2},
      {"firmware not a version", "format = 1\nfirmware = 12\n", FileProblem::BadValue, 2},
      {"duplicate value", "format = 1\nspeed = 5\nramp = 1\nSpeed = 6\n", FileProblem::Duplicate, 4,
       2},
      {"duplicate format", "# x\nformat = 1\nformat = 1\n", FileProblem::Duplicate, 3, 2},
      {"duplicate program", "format = 1\nprogram = A\nprogram = B\n", FileProblem::Duplicate, 3, 2},
      {"the first fault counts", "format = 1\nsped = 1\nspeed = 0\n", FileProblem::UnknownName, 2},
  };
  for (const Case& c : cases) {
    const ParsedFile f = ParseParameterFile(c.text);
    ASSERT_TRUE(f.error) << c.what;
    EXPECT_EQ(f.error->problem, c.problem) << c.what;
    EXPECT_EQ(f.error->line, c.line) << c.what;
    EXPECT_EQ(f.error->firstLine, c.firstLine) << c.what;
  }
}

TEST(ParamFile, RefusalsSayWhyInBothLanguages) {
  struct Case {
    std::string text;
    const char* english;
    const char* turkish;
  };
  const Case cases[] = {
      {"format = 1\nspeed = 0\n", "line 2: speed = 0: invalid value, expected 1..15000",
       "satır 2: speed = 0: geçersiz değer, beklenen 1..15000"},
      {"format = 1\nmicrostep = 3\n",
       "line 2: microstep = 3: invalid value, expected 1, 2, 4, 5, 8, 10, 16, 25",
       "satır 2: microstep = 3: geçersiz değer, beklenen 1, 2, 4, 5, 8, 10, 16, 25"},
      {"format = 1\nprm21 = x\n", "line 2: prm21 = x: invalid value, expected a 32-bit integer",
       "satır 2: prm21 = x: geçersiz değer, beklenen 32 bitlik bir tam sayı"},
      {"format = 1\nprm9 = -1\n", "line 2: prm9 = -1: invalid value, expected 0..65535",
       "satır 2: prm9 = -1: geçersiz değer, beklenen 0..65535"},
      {"format = 1\nsped = 1\n", "line 2: unknown name \"sped\"",
       "satır 2: bilinmeyen ad \"sped\""},
      {"format = 1\nramp = 1\nramp = 2\n", "line 3: ramp given again (first on line 2)",
       "satır 3: ramp yeniden verilmiş (ilki satır 2)"},
      {"speed = 1\n", "line 1: not a parameter file (one begins with \"format = 1\")",
       "satır 1: parametre dosyası değil (\"format = 1\" ile başlar)"},
  };
  for (const Case& c : cases) {
    const ParsedFile f = ParseParameterFile(c.text);
    ASSERT_TRUE(f.error) << c.text;
    EXPECT_EQ(Describe(*f.error, Language::English), c.english);
    EXPECT_EQ(Describe(*f.error, Language::Turkish), c.turkish);
  }
}

TEST(ParamFile, DriverSetWrittenOutLoadsAsItWas) {
  DriverReadings r;
  r.settings = link::MotorSettings{1200, 800, 40, 16, 500, 50, 0, -7, 1, 65535};
  r.parameters.emplace();
  for (std::size_t i = 0; i < 12; ++i)
    r.parameters->prm9to20[i] = static_cast<std::uint16_t>(65535 - i);
  r.parameters->prm21to25 = {-2147483647 - 1, -1, 0, 1, 2147483647};
  r.service = link::ServiceValues{70, 100};
  r.programName = "ŞİFT 2.KV3";
  r.firmware = 17;
  const ParameterSet set = FromReadings(r);
  const std::string text = FormatParameterFile(set);
  EXPECT_TRUE(text.starts_with(
      "# Kivra-PS parameter set\nformat = 1\nfirmware = 1.7\nprogram = ŞİFT 2.KV3\n"))
      << text;
  EXPECT_NE(text.find("\ndirection = L\n"), std::string::npos);
  EXPECT_EQ(text.find("displacement"), std::string::npos);
  const ParsedFile back = ParseParameterFile(text);
  ASSERT_FALSE(back.error) << Describe(*back.error, Language::English);
  EXPECT_EQ(back.set, set);
  EXPECT_EQ(back.set.Count(), kItemCount);
}

TEST(ParamFile, ValuesTheChecksRefuseAreKeptAsComments) {
  // A fresh driver may report what the window would never send.
  DriverReadings r;
  r.settings = link::MotorSettings{0, 500, 50, 3, 1000, 100, 1, 0, 0, 1};
  r.service = link::ServiceValues{0, 100};
  const ParameterSet set = FromReadings(r);
  EXPECT_EQ(RefusedValues(set),
            (std::vector<std::size_t>{At("speed"), At("microstep"), At("service1")}));
  const std::string text = FormatParameterFile(set);
  EXPECT_NE(text.find("# speed = 0  (refused on loading: not 1..15000)\n"), std::string::npos)
      << text;
  const ParsedFile back = ParseParameterFile(text);
  ASSERT_FALSE(back.error) << Describe(*back.error, Language::English);
  EXPECT_FALSE(back.set.values[At("speed")]);
  EXPECT_FALSE(back.set.values[At("microstep")]);
  EXPECT_EQ(back.set.values[At("ramp")], 1000);
  EXPECT_EQ(back.set.values[At("service2")], 100);
}

TEST(ParamFile, ProgramNameStaysOnItsLine) {
  ParameterSet set;
  set.programName = "A\nspeed = 1\r";
  const ParsedFile back = ParseParameterFile(FormatParameterFile(set));
  ASSERT_FALSE(back.error);
  EXPECT_EQ(back.set.programName, "A?speed = 1?");
  EXPECT_EQ(back.set.Count(), 0u);
}

// The names are the file format: files written by one station are read by another.
TEST(ParamSet, ItemNamesInFileOrder) {
  std::string names;
  for (const Item& item : Items()) names += std::string(item.name) + " ";
  EXPECT_EQ(names,
            "speed run-current hold-current microstep ramp start-speed direction "
            "speed-mode speed-coefficient prm9 prm10 prm11 prm12 prm13 prm14 prm15 prm16 prm17 "
            "prm18 prm19 prm20 prm21 prm22 prm23 prm24 prm25 service1 service2 ");
}

TEST(ParamSet, CompareListsOnlyWhatTheFileHolds) {
  ParameterSet file, driver;
  file.values[At("speed")] = 1200;
  file.values[At("prm12")] = -1;
  file.values[At("service1")] = 90;
  driver.values[At("speed")] = 1200;
  driver.values[At("prm12")] = 65535;  // -1 went out as 32 bits; the driver reports 16
  driver.values[At("ramp")] = 7;       // not in the file: not compared
  const auto d = Compare(file, driver);
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[0].item, At("prm12"));
  EXPECT_EQ(d[0].file, -1);
  EXPECT_EQ(d[0].driver, 65535);
  EXPECT_EQ(d[1].item, At("service1"));
  EXPECT_FALSE(d[1].driver);  // not read
  EXPECT_EQ(Missing(file).size(), kItemCount - 3);
}

}  // namespace
}  // namespace kivra::params
