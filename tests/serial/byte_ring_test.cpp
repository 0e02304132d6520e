#include "serial/byte_ring.h"

#include <gtest/gtest.h>

namespace kivra::serial {
namespace {

std::vector<std::uint8_t> Bytes(std::size_t n, std::uint8_t first) {
  std::vector<std::uint8_t> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>(first + i);
  return v;
}

// Writes and reads of every size, starting from every offset of a small ring, against a
// plain queue: wrap-around, the full flag and partial transfers are all exercised.
TEST(ByteRing, BehavesLikeABoundedQueueFromEveryStartingOffset) {
  constexpr std::size_t kCap = 7;
  for (std::size_t offset = 0; offset < kCap; ++offset) {
    for (std::size_t write = 0; write <= kCap + 2; ++write) {
      for (std::size_t read = 0; read <= kCap + 2; ++read) {
        ByteRing ring(kCap);
        std::vector<std::uint8_t> model;
        // Move the positions to `offset` first.
        ASSERT_EQ(ring.Write(Bytes(offset, 200)), offset);
        std::vector<std::uint8_t> skip(offset);
        ASSERT_EQ(ring.Read(skip), offset);

        const auto in = Bytes(write, 1);
        const std::size_t taken = ring.Write(in);
        EXPECT_EQ(taken, std::min(write, kCap));
        model.assign(in.begin(), in.begin() + static_cast<long>(taken));
        EXPECT_EQ(ring.Used(), model.size());
        EXPECT_EQ(ring.Full(), model.size() == kCap);
        EXPECT_EQ(ring.Empty(), model.empty());
        EXPECT_EQ(ring.Free(), kCap - model.size());

        std::vector<std::uint8_t> out(read);
        const std::size_t got = ring.Read(out);
        EXPECT_EQ(got, std::min(read, model.size()));
        out.resize(got);
        EXPECT_EQ(out,
                  std::vector<std::uint8_t>(model.begin(), model.begin() + static_cast<long>(got)))
            << "offset " << offset << " write " << write << " read " << read;
        EXPECT_EQ(ring.Used(), model.size() - got);
      }
    }
  }
}

TEST(ByteRing, FrontAndDropHandOutContiguousRuns) {
  ByteRing ring(8);
  ring.Write(Bytes(6, 0));
  std::vector<std::uint8_t> skip(5);
  ring.Read(skip);           // tail at 5, one byte waiting
  ring.Write(Bytes(7, 10));  // wraps: 8 bytes waiting, full
  ASSERT_TRUE(ring.Full());
  auto run = ring.Front();  // from the tail to the end of storage
  ASSERT_EQ(run.size(), 3u);
  EXPECT_EQ(run[0], 5);
  EXPECT_EQ(run[1], 10);
  ring.Drop(run.size());
  EXPECT_FALSE(ring.Full());
  run = ring.Front();  // the wrapped part
  ASSERT_EQ(run.size(), 5u);
  EXPECT_EQ(run[0], 12);
  ring.Drop(100);  // never more than is there
  EXPECT_TRUE(ring.Empty());
  EXPECT_TRUE(ring.Front().empty());
  ring.Write(Bytes(8, 0));
  ring.Clear();
  EXPECT_TRUE(ring.Empty());
  EXPECT_EQ(ring.Free(), 8u);
}

}  // namespace
}  // namespace kivra::serial
