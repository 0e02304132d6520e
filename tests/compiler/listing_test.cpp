// The listing measures instructions with the opcode table; the two-operand VRB is the
// one instruction whose length depends on its operand kinds.

#include "compiler/listing.h"

#include <gtest/gtest.h>

#include "compiler/code_image.h"
#include "compiler/opcodes.h"

namespace kivra::compiler {
namespace {

std::string CodeLines(const std::string& listing) {
  const auto begin = listing.find('\n') + 1;
  return listing.substr(begin, listing.find("Vector : \n") - begin);
}

CodeImage Image(std::initializer_list<std::uint8_t> bytes) {
  CodeImage code;
  code.bytes.fill(0xFF);
  std::copy(bytes.begin(), bytes.end(), code.bytes.begin());
  code.length = static_cast<std::uint32_t>(bytes.size()) + 1;
  return code;
}

TEST(Listing, VariableLengthVrbOnOneLine) {
  VectorTable vectors;
  ResetVectorTable(vectors);
  struct Case {
    CodeImage code;
    std::string lines;
  };
  const Case cases[] = {
      // two indexed operands: 7 bytes
      {Image({0x2F, 0x03, 0x04, 0x01, 0x03, 0x02, 0x02}), "000 :2F 03 04 01 03 02 02\n007 :FF\n"},
      // indexed, then a constant: 10 bytes
      {Image({0x2F, 0x03, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x05}),
       "000 :2F 03 01 01 00 00 00 00 00 05\n010 :FF\n"},
      // a constant, then indexed: 10 bytes
      {Image({0x2F, 0x03, 0x00, 0x00, 0x00, 0x27, 0x0F, 0x02, 0x03, 0x02}),
       "000 :2F 03 00 00 00 27 0F 02 03 02\n010 :FF\n"},
      // two constants: 13 bytes
      {Image({0x2F, 0x01, 0x00, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 0x09}),
       "000 :2F 01 00 00 00 00 07 00 00 00 00 00 09\n013 :FF\n"},
      // opcodes no command produces are shown one byte at a time
      {Image({0x00, 0x01, 0x28}), "000 :00\n001 :01\n002 :28\n003 :FF\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(CodeLines(BuildListing(c.code, vectors)), c.lines);
}

TEST(Listing, AddressesPadToThreeDigitsThenGrow) {
  VectorTable vectors;
  ResetVectorTable(vectors);
  CodeImage code;
  code.bytes.fill(0x13);  // WAIT: one byte each
  code.bytes[1500] = 0xFF;
  code.length = 1501;
  const auto listing = BuildListing(code, vectors);
  EXPECT_NE(listing.find("\n009 :13\n010 :13\n"), std::string::npos);
  EXPECT_NE(listing.find("\n099 :13\n100 :13\n"), std::string::npos);
  EXPECT_NE(listing.find("\n999 :13\n1000 :13\n"), std::string::npos);
  EXPECT_NE(listing.find("\n1500 :FF\nVector : \n001 :02 00 00 FF FF\n"), std::string::npos);
  EXPECT_TRUE(listing.ends_with("006 :02 00 00 FF FF\n"));
}

TEST(Listing, InstructionCutByTheEndOfMemoryStaysInside) {
  VectorTable vectors;
  ResetVectorTable(vectors);
  CodeImage code;
  code.bytes.fill(0xFF);
  code.bytes[2046] = 0x07;  // DISP wants five bytes, two remain
  code.length = CodeCapacity;
  const auto listing = BuildListing(code, vectors);
  EXPECT_NE(listing.find("\n2046 :07 FF\nVector"), std::string::npos);
}

}  // namespace
}  // namespace kivra::compiler
