#include "sim/frame.h"

#include <gtest/gtest.h>

namespace kivra::sim {
namespace {

using namespace std::chrono_literals;

const Bytes kStatusRequest = {0x08, 0x4B, 0x73, 0x00, 0x00, 0x00, 0x00, 0x30};
const Bytes kSpeedRequest = {0x08, 0x4B, 0x56, 0x00, 0x00, 0x04, 0xB0, 0xA1};

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST(Frame, BuildsTheToolsFramesByteForByte) {
  EXPECT_EQ(BuildFrame('K', Bytes{0x73, 0, 0, 0, 0}), kStatusRequest);
  EXPECT_EQ(BuildFrame('K', Bytes{0x6B, 0x00, 0x00, 0x03, 0xE8, 0x08}),
            (Bytes{0x09, 0x4B, 0x6B, 0x00, 0x00, 0x03, 0xE8, 0x08, 0xCA}));
  EXPECT_EQ(BuildFrame('P', Bytes{0x00, 0x19, 0xFF}), (Bytes{0x06, 0x50, 0x00, 0x19, 0xFF, 0xB0}));
  EXPECT_EQ(Xor(kSpeedRequest), 0);
}

TEST(Frame, OnlyTheToolsFrameShapesCanStartAFrame) {
  struct Case {
    std::uint8_t length;
    std::uint8_t letter;
    bool ok;
  };
  const Case cases[] = {
      {8, 'K', true},  {9, 'K', true},   {10, 'K', false},  {7, 'K', false}, {6, 'P', true},
      {30, 'P', true}, {5, 'P', false},  {31, 'P', false},  {35, 'V', true}, {34, 'V', false},
      {3, 'N', true},  {250, 'N', true}, {251, 'N', false}, {8, 's', false}, {8, 0x06, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CanStartFrame(c.length, c.letter), c.ok) << int(c.length) << " " << char(c.letter);
  }
}

struct Chunk {
  Bytes bytes;
  std::chrono::milliseconds at;
};

struct ReaderCase {
  const char* name;
  std::vector<Chunk> chunks;
  std::vector<Bytes> frames;
  std::size_t discarded;
};

TEST(FrameReader, FindsFramesAndResynchronises) {
  Bytes longName = {250, 'N'};
  longName.resize(249, 'A');
  longName.push_back(Xor(longName));
  const Bytes badChecksum = {0x08, 0x4B, 0x73, 0x00, 0x00, 0x00, 0x00, 0x31};
  const Bytes swallowing = {0x20, 'N'};  // looks like the start of a 32-byte name frame

  const ReaderCase cases[] = {
      {"whole frame", {{kStatusRequest, 0ms}}, {kStatusRequest}, 0},
      {"two frames in one read",
       {{Cat({kStatusRequest, kSpeedRequest}), 0ms}},
       {kStatusRequest, kSpeedRequest},
       0},
      {"frame split over reads",
       {{Bytes(kStatusRequest.begin(), kStatusRequest.begin() + 3), 0ms},
        {Bytes(kStatusRequest.begin() + 3, kStatusRequest.end()), 20ms}},
       {kStatusRequest},
       0},
      {"garbage before a frame",
       {{Cat({{0x00, 0xFF, 0x13}, kStatusRequest}), 0ms}},
       {kStatusRequest},
       3},
      {"bad checksum, then a good frame",
       {{Cat({badChecksum, kSpeedRequest}), 0ms}},
       {kSpeedRequest},
       8},
      {"unknown letter (the last byte may still start a frame)",
       {{{0x08, 'Z', 0, 0, 0, 0, 0, 0x52}, 0ms}},
       {},
       7},
      {"longest name frame", {{longName, 0ms}}, {longName}, 0},
      {"stale half frame given up after the gap",
       {{Bytes(kSpeedRequest.begin(), kSpeedRequest.begin() + 4), 0ms}, {kStatusRequest, 150ms}},
       {kStatusRequest},
       4},
      {"a false start swallows a frame; found again after the gap",
       {{Cat({swallowing, kStatusRequest}), 0ms}, {kSpeedRequest, 150ms}},
       {kStatusRequest, kSpeedRequest},
       2},
      {"a false start is left when its checksum fails",
       {{Cat({swallowing, kStatusRequest, Bytes(22, 0x00), kSpeedRequest}), 0ms}},
       {kStatusRequest, kSpeedRequest},
       24},
  };
  for (const auto& c : cases) {
    FrameReader reader(100ms);
    FrameReader::Result result;
    for (const auto& chunk : c.chunks) reader.Push(chunk.bytes, TimePoint{} + chunk.at, result);
    EXPECT_EQ(result.frames, c.frames) << c.name;
    EXPECT_EQ(result.discarded.size(), c.discarded) << c.name;
  }
}

TEST(FrameReader, AnyByteSequenceLeavesAtMostOneFrameLengthPending) {
  FrameReader reader(100ms);
  FrameReader::Result result;
  std::uint32_t seed = 12345;
  for (int i = 0; i < 20000; ++i) {
    seed = seed * 1103515245u + 12345u;
    const std::uint8_t b = static_cast<std::uint8_t>(seed >> 16);
    reader.Push(std::span(&b, 1), TimePoint{} + std::chrono::microseconds(i), result);
    ASSERT_LT(reader.Pending(), MaxFrameLength);
  }
  for (const auto& f : result.frames) {
    EXPECT_EQ(f.size(), f[0]);
    EXPECT_EQ(Xor(f), 0);
  }
}

}  // namespace
}  // namespace kivra::sim
