// Feeds arbitrary driver replies, in arbitrary pieces, to the link engine between ticks,
// with the user pressing buttons in between, and checks what the rest of the system
// relies on: the engine stays within its state table, every frame it sends is whole and
// has a good checksum, and the reply decoders read nothing past the bytes they were given.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "link/engine.h"
#include "tests/link/fakes.h"

namespace {

using namespace kivra::link;

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const std::uint8_t> input(data, size);
  // The decoders on their own, on exactly the bytes given.
  (void)DecodeStatus(input);
  (void)DecodeMotorSettings(input);
  (void)DecodeParameterBlock(input);
  (void)DecodeServiceValues(input);
  (void)DecodeProgramName(input);

  testing::Rig r;
  r.window.texts["Edit23"] = "100";
  r.window.texts["Edit3"] = "7";
  r.window.texts["Edit4"] = "1";
  kivra::CodeImage image;
  image.bytes.fill(0xFF);
  image.length = 40;
  // Each piece starts with a byte: low 5 bits the piece's length, high 3 bits what the
  // user does before the tick.
  while (!input.empty()) {
    const std::uint8_t head = input[0];
    input = input.subspan(1);
    switch (head >> 5) {
      case 1: r.engine.Request(state::ReadSettings); break;
      case 2: r.engine.Request(state::Speed); break;
      case 3: r.engine.Request(state::ReadParameters); break;
      case 4: r.engine.PressMemoryRead(); break;
      case 5: r.engine.StartDownload(true, image, {}, "F.KV3"); break;
      case 6: r.engine.PressMove(); break;
      default: break;
    }
    const std::size_t n = std::min<std::size_t>(head & 0x1F, input.size());
    r.port.Receive({input.begin(), input.begin() + n});
    input = input.subspan(n);
    r.engine.Tick();
    const auto s = r.engine.Variables().linkState;
    Require(s >= 1 && s <= 60);
    for (const auto& f : r.port.TakeFrames()) {
      Require(f.size() == f[0] && f.size() <= FrameCapacity);
      Require(Xor(f) == 0);
    }
  }
  return 0;
}
