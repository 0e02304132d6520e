// Feeds arbitrary bytes, in arbitrary pieces and at arbitrary times, to the simulated
// driver and checks what the tool relies on: every reply is a single acknowledgement or
// a whole frame with a good checksum, never due before it was asked for; nothing from
// the wire grows the driver's buffers or its stored program beyond their bounds.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "sim/driver.h"

namespace {

using namespace kivra::sim;

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Driver driver;
  TimePoint now{};
  std::span<const std::uint8_t> input(data, size);
  // Each piece starts with a byte: low 5 bits the piece's length - 1, high 3 bits the
  // pause before it in steps of 40 ms (so pieces may fall on either side of the gap).
  while (!input.empty()) {
    const std::uint8_t head = input[0];
    input = input.subspan(1);
    now += std::chrono::milliseconds(40 * (head >> 5));
    const std::size_t n = std::min<std::size_t>(input.size(), (head & 0x1F) + 1u);
    Driver::Output out;
    driver.Receive(input.first(n), now, out);
    input = input.subspan(n);
    for (const Transmission& t : out.transmissions) {
      Require(t.due > now && t.start >= now && t.start < t.due);
      if (t.bytes.size() == 1) {
        Require(t.bytes[0] == Ack);
      } else {
        Require(t.bytes.size() >= 3 && t.bytes[0] == t.bytes.size() && Xor(t.bytes) == 0);
      }
    }
    for (const Event& e : out.events) Require(!e.text.empty());
  }
  const DriverState state = driver.State(now);
  Require(driver.Program().code.length <= 2048);
  Require(driver.Program().name.size() <= MaxFrameLength - 3);
  Require(state.scriptAddress < 2048);
  Require(driver.History().size() <= Driver::HistoryLimit);
  return 0;
}
