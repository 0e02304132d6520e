// The frame decoder on any bytes: nothing crashes. How received bytes are cut into frames
// is the reply reader's (fuzzed on its own); the rows made of the engine's frames are
// fuzzed with the engine.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "link/decode.h"
#include "link/event_text.h"

namespace {

using namespace kivra::link;
using kivra::Language;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  for (Direction d : {Direction::Sent, Direction::Received}) {
    const DecodedFrame f = DecodeFrame(bytes, d);
    (void)DescribeFrame(f, Language::English);
    (void)DescribeFrame(f, Language::Turkish);
    LineEvent e{.direction = d, .bytes = {}};
    e.bytes.assign(bytes.begin(), bytes.end());
    (void)EventLine(e, Language::English);
    (void)EventCsvRow(e, Language::Turkish);
  }
  return 0;
}
