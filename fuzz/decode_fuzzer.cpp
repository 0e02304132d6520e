// The frame decoder and the rows of the engine's frames on any bytes: nothing crashes, and
// the split of received bytes tiles them.

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <span>
#include <vector>

#include "link/decode.h"
#include "link/engine.h"
#include "link/event_text.h"
#include "link/line_feed.h"

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

struct Clock final : kivra::link::Clock {
  std::uint64_t now = 0;
  std::uint64_t NowMs() override { return now; }
};

struct Timer final : IntervalTimer {
  void SetInterval(int) override {}
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

  // The engine with the rows of its frames: the first byte of each step says what happens
  // (ticks, or the next n bytes arriving), the rest of the input is the line's bytes.
  Port port;
  Clock clock;
  Timer timer;
  LinkEngine engine(port, timer, &clock);
  LineFeed feed(clock);
  Count count;
  feed.AddListener(&count);
  engine.AddObserver(feed);
  engine.SetLinkEnabled(true);
  std::size_t i = 0;
  while (i < size) {
    const std::uint8_t op = data[i++];
    clock.now += op & 0x0F;
    const std::size_t n = std::min<std::size_t>((op >> 4) + 1, size - i);
    if (op & 0x80) {
      port.incoming.insert(port.incoming.end(), data + i, data + i + n);
      i += n;
    }
    for (int t = (op >> 5) & 3; t >= 0; --t) engine.Tick();
  }
  engine.SetLinkEnabled(false);
  engine.RemoveObserver(feed);
  return 0;
}
