// The frame decoder and the port tap on any bytes: nothing crashes, every received byte
// ends up in exactly one event, and the split of received bytes tiles them.

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <span>
#include <vector>

#include "link/decode.h"
#include "link/event_text.h"
#include "link/frame_tap.h"

namespace {

using namespace kivra::link;

class Port final : public kivra::link::Port {
 public:
  std::deque<std::uint8_t> incoming;
  void PutChar(std::uint8_t) override {}
  void PutBlock(std::span<const std::uint8_t>) override {}
  std::size_t GetInBufferUsed() override { return incoming.size(); }
  void GetBlock(std::uint8_t* buffer, std::size_t n) override {
    for (std::size_t i = 0; i < n; ++i) {
      buffer[i] = incoming.front();
      incoming.pop_front();
    }
  }
  void FlushInBuffer() override { incoming.clear(); }
};

struct Count final : FrameListener {
  std::size_t received = 0;
  void OnFrame(const LineEvent& e) override {
    if (e.direction == Direction::Received) received += e.bytes.size();
    (void)EventLine(e, true);
    (void)EventCsvRow(e, false);
  }
};

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  for (Direction d : {Direction::Sent, Direction::Received}) {
    const DecodedFrame f = DecodeFrame(bytes, d);
    (void)DescribeFrame(f, true);
    (void)DescribeFrame(f, false);
  }
  for (bool ack : {false, true}) {
    std::size_t at = 0;
    for (const ReceivedPiece& p : SplitReceived(bytes, ack)) {
      Check(p.offset == at && p.length > 0);
      at += p.length;
    }
    Check(at == size);
  }

  // The tap: the first byte of each step says what happens (send a frame, or receive the
  // next n bytes, or flush), the rest of the input is the line's bytes.
  Port port;
  std::int64_t now = 0;
  FrameTap tap(port, [&] { return now; });
  Count count;
  tap.AddListener(&count);
  std::size_t flushed = 0, arrived = 0;
  std::size_t i = 0;
  while (i < size) {
    const std::uint8_t op = data[i++];
    now += op & 0x0F;
    const std::size_t n = std::min<std::size_t>((op >> 4) + 1, size - i);
    switch (op & 0x30) {
      case 0x00:
        tap.PutBlock(CommandFrame(static_cast<std::uint8_t>(op >> 6 ? 's' : 'V'), op));
        break;
      case 0x10: {
        port.incoming.insert(port.incoming.end(), data + i, data + i + n);
        arrived += n;
        std::vector<std::uint8_t> buffer(port.GetInBufferUsed());
        tap.GetBlock(buffer.data(), buffer.size());
        i += n;
        break;
      }
      case 0x20:
        flushed += port.incoming.size();
        tap.FlushInBuffer();
        break;
      default:
        tap.PutBlock(NameFrame("A.KV3"));
        break;
    }
  }
  tap.PutBlock(CommandFrame('s', 0));  // what is left of a reply shows when the next frame goes
  Check(count.received + flushed == arrived);
  return 0;
}
