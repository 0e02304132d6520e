#include "common/cp1254.h"

#include <gtest/gtest.h>

namespace kivra {
namespace {

TEST(Cp1254, TurkishLettersBothWays) {
  struct Case {
    std::string bytes;
    std::string utf8;
  };
  const Case cases[] = {
      {"\xD0\xDD\xDE\xF0\xFD\xFE", "ĞİŞğış"},
      {"\xC7\xE7\xD6\xF6\xDC\xFC", "ÇçÖöÜü"},
      {"SPEED = 1200;", "SPEED = 1200;"},
      {"\x80\x99", "€™"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Cp1254ToUtf8(c.bytes), c.utf8);
    EXPECT_EQ(Utf8ToCp1254(c.utf8), c.bytes);
  }
}

TEST(Cp1254, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1254(Cp1254ToUtf8(all)), all);
  EXPECT_TRUE(IsCp1254Representable(Cp1254ToUtf8(all)));
}

TEST(Cp1254, UnrepresentableAndMalformedInputIsReplaced) {
  EXPECT_EQ(Utf8ToCp1254("a\xE2\x82"), "a??");  // each byte of a truncated sequence
  EXPECT_EQ(Utf8ToCp1254("x\xFFy"), "x?y");     // invalid lead byte
  EXPECT_EQ(Utf8ToCp1254("Ž€", '_'), "_\x80");  // Ž has no byte in this page
  EXPECT_FALSE(IsCp1254Representable("日本"));
}

}  // namespace
}  // namespace kivra
