#include "link/frames.h"

#include <gtest/gtest.h>

#include "link/integer.h"
#include "link/port_selection.h"
#include "tests/link/fakes.h"

namespace kivra::link {
namespace {

using testing::Reply;

TEST(Frames, DriverExamplesByteExact) {
  struct Case {
    const char* what;
    Frame frame;
    Frame expected;
  };
  const std::uint8_t ff = 0xFF;
  const Case cases[] = {
      {"status request", CommandFrame('s', 0), {0x08, 0x4B, 0x73, 0, 0, 0, 0, 0x30}},
      {"displacement -1", CommandFrame('D', 0xFFFFFFFF), {0x08, 0x4B, 0x44, ff, ff, ff, ff, 0x07}},
      {"Prm 9 = 1000",
       ParameterFrame('k', 1000, 8),
       {0x09, 0x4B, 0x6B, 0, 0, 0x03, 0xE8, 0x08, 0xCA}},
      {"data at 25",
       ProgramDataFrame(25, std::vector<std::uint8_t>{ff}),
       {0x06, 0x50, 0x00, 0x19, ff, 0xB0}},
      {"memory write",
       CommandFrame('f', 7 * 65536 + 0x3FFF),
       {0x08, 0x4B, 0x66, 0, 7, 0x3F, ff, 0xE2}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.frame, c.expected) << c.what;
}

TEST(Frames, EveryBuiltFrameHasItsLengthAndAZeroChecksum) {
  VectorTable vectors;
  for (std::size_t i = 0; i < vectors.size(); ++i) vectors[i] = static_cast<std::uint8_t>(i * 7);
  const std::vector<std::uint8_t> code(40, 0x5A);
  const Frame frames[] = {CommandFrame('V', 15000),     ParameterFrame('u', -2, 4),
                          ProgramDataFrame(2000, code), VectorFrame(2048, vectors),
                          NameFrame("MOTOR.KV3"),       NameFrame(std::string(300, 'a'))};
  for (const auto& f : frames) {
    EXPECT_EQ(f[0], f.size());
    EXPECT_LE(f.size(), FrameCapacity);
    EXPECT_EQ(Xor(f), 0);
  }
  // Data frames carry at most 25 code bytes; the vector frame the code length and the table.
  EXPECT_EQ(ProgramDataFrame(0, code).size(), 30u);
  const Frame v = VectorFrame(0x0123, vectors);
  ASSERT_EQ(v.size(), 35u);
  EXPECT_EQ(v[1], 'V');
  EXPECT_EQ(v[2], 0x01);
  EXPECT_EQ(v[3], 0x23);
  EXPECT_TRUE(std::equal(vectors.begin(), vectors.end(), v.begin() + 4));
}

TEST(Frames, NameFrameCarriesOnlyTheFileName) {
  struct Case {
    std::string path;
    std::string name;  // code page 1254 bytes
  };
  const Case cases[] = {
      {"C:\\PRG\\MOTOR.KV3", "MOTOR.KV3"},
      {"/home/ayse/programs/motor.kv3", "motor.kv3"},
      {"  C:\\a/b\\c/MIX.KV3  ", "MIX.KV3"},
      {"DÖNÜŞ.KV3", "D\xD6N\xDC\xDE.KV3"},
      {"plain.kv3", "plain.kv3"},
      {"/dir/", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProgramNameBytes(c.path), c.name) << c.path;
    const Frame f = NameFrame(ProgramNameBytes(c.path));
    EXPECT_EQ(std::string(f.begin() + 2, f.end() - 1), c.name);
  }
  const Frame c = NameFrame(ProgramNameBytes("C:\\PRG\\MOTOR.KV3"));
  EXPECT_EQ(c[0], 0x0C);
  EXPECT_EQ(c[1], 0x4E);
  // A name longer than the frame holds is cut to 247 bytes, filling the 250-byte frame.
  const Frame longName = NameFrame(ProgramNameBytes("/x/" + std::string(400, 'n')));
  EXPECT_EQ(longName.size(), 250u);
  EXPECT_EQ(longName[0], 250);
}

TEST(Frames, RepliesTooShortForTheirFieldsAreNotDecoded) {
  const Frame status = testing::StatusFrame(0x41, 0x05, 0x1234, 7, 8, 30);
  ASSERT_TRUE(IsValidReply(status, 's'));
  const auto s = DecodeStatus(status);
  ASSERT_TRUE(s);
  EXPECT_TRUE(s->Input(1));
  EXPECT_FALSE(s->Input(2));
  EXPECT_TRUE(s->Output(1));
  EXPECT_FALSE(s->Output(2));
  EXPECT_EQ(s->address, 0x1234);
  EXPECT_EQ(s->temperature, 30);

  EXPECT_FALSE(DecodeStatus(Reply('s', {1, 2, 3, 4, 5, 6, 7, 8})));
  EXPECT_FALSE(DecodeMotorSettings(Reply('t', std::vector<std::uint8_t>(19, 0))));
  EXPECT_FALSE(DecodeParameterBlock(Reply('A', std::vector<std::uint8_t>(59, 0))));
  EXPECT_FALSE(DecodeServiceValues(Reply('i', {1})));
  EXPECT_FALSE(IsValidReply(Reply('s', {1, 2}), 't'));
  Frame corrupt = status;
  corrupt[5] ^= 0x10;
  EXPECT_FALSE(IsValidReply(corrupt, 's'));
  EXPECT_FALSE(IsValidReply(Frame{0x06}, 's'));
}

TEST(Frames, ProgramNameReplyIsTrimmed) {
  EXPECT_EQ(DecodeProgramName(Reply('n', {' ', 'M', 0xDE, '.', 'K', 0, '\r'})), "MŞ.K");
  EXPECT_EQ(DecodeProgramName(Reply('n', {})), "");
}

TEST(Integers, BoxTextsAsTheUserTypesThem) {
  struct Case {
    const char* text;
    std::optional<std::int32_t> value;
  };
  const Case cases[] = {
      {"15000", 15000},
      {" 12 ", 12},
      {"-1", -1},
      {"+7", 7},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"2147483648", std::nullopt},
      {"", std::nullopt},
      {"  ", std::nullopt},
      {"12a", std::nullopt},
      {"1 2", std::nullopt},
      {"-", std::nullopt},
      {"0x10", std::nullopt},
      {"99999999999999999999", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseInteger(c.text), c.value) << '"' << c.text << '"';
}

TEST(Integers, MemoryAddressSteps) {
  struct Case {
    const char* box;
    int delta;
    const char* result;
  };
  const Case cases[] = {
      {"5", 1, "6"}, {"16383", 1, "16383"}, {"0", -1, "0"},        {"7", -1, "6"},
      {"x", 1, "0"}, {"", -1, "0"},         {"20000", 1, "16383"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(StepMemoryAddress(c.box, c.delta), c.result) << c.box << ' ' << c.delta;
}

TEST(Integers, PortNames) {
  struct Case {
    const char* text;
    std::optional<PortName> port;
  };
  const Case cases[] = {
      {"1", PortName::Number(1)},
      {"257", PortName::Number(1)},
      {"0", PortName::Number(0)},
      {" 3", PortName::Number(3)},
      {"/dev/ttyUSB0", PortName::Device("/dev/ttyUSB0")},
      {"COM3", std::nullopt},
      {"", std::nullopt},
      {"abc", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParsePortName(c.text), c.port) << c.text;
  EXPECT_EQ(PortName::Device("/dev/ttyUSB0").ToString(), "/dev/ttyUSB0");
  EXPECT_EQ(PortName::Number(12).ToString(), "12");
}

}  // namespace
}  // namespace kivra::link
