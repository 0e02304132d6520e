// Feeds arbitrary driver replies to the link engine between ticks, in arbitrary pieces or
// one byte per tick as a real line delivers them, with the user pressing buttons in
// between, and checks what the rest of the system relies on: the engine stays within its
// state table, every frame it sends is whole and has a good checksum, the reply decoders
// read nothing past the bytes they were given, no status reply is accepted that did not
// arrive whole and valid, and no exchange counts as acknowledged without a 06h that
// arrived after its frame went out.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "link/engine.h"
#include "link/event_text.h"
#include "link/line_feed.h"
#include "tests/link/fakes.h"

namespace {

using namespace kivra::link;
using kivra::Language;

void Require(bool condition) {
  if (!condition) std::abort();
}

// Whether `status` is what some whole, valid status reply among `bytes` says.
bool ArrivedWhole(const std::vector<std::uint8_t>& bytes, const StatusReply& status) {
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    const std::size_t length = bytes[at];
    if (length < 12 || at + length > bytes.size()) continue;
    const std::span<const std::uint8_t> frame(bytes.data() + at, length);
    if (!IsValidReply(frame, 's')) continue;
    const auto decoded = DecodeStatus(frame);
    if (decoded && decoded->io == status.io && decoded->analog1 == status.analog1 &&
        decoded->analog2 == status.analog2 && decoded->mode == status.mode &&
        decoded->temperature == status.temperature && decoded->firmware == status.firmware &&
        decoded->address == status.address) {
      return true;
    }
  }
  return false;
}

// The inspector's rows of the engine's frames, worded as the inspector and its files word
// them; no row holds more bytes than a frame or the feed's bound.
struct Rows final : FrameListener {
  void OnFrame(const LineEvent& e) override {
    Require(e.bytes.size() <= LineFeed::kMaxPending);
    (void)EventLine(e, Language::English);
    (void)EventCsvRow(e, Language::Turkish);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const std::uint8_t> input(data, size);
  // The decoders on their own, on exactly the bytes given.
  (void)DecodeStatus(input);
  (void)DecodeMotorSettings(input);
  (void)DecodeParameterBlock(input);
  (void)DecodeServiceValues(input);
  (void)DecodeMemoryValue(input);
  (void)DecodeProgramName(input);

  testing::Rig r;
  LineFeed feed(r.clock);
  Rows rows;
  feed.AddListener(&rows);
  r.engine.AddObserver(feed);
  kivra::CodeImage image;
  image.bytes.fill(0xFF);
  image.length = 40;
  std::vector<std::uint8_t> fed;  // every byte the driver sent, in order
  std::size_t fedAtLastSend = 0;
  std::uint64_t statuses = r.engine.Progress().statusCount;

  const auto tick = [&] {
    const ExchangeOutcome before = r.engine.Progress().exchange.outcome;
    r.Tick();
    const auto s = static_cast<int>(r.engine.Variables().linkState);
    Require(s >= 1 && s <= 60);
    bool sent = false;
    for (const auto& f : r.port.TakeFrames()) {
      Require(f.size() == f[0] && f.size() <= FrameCapacity);
      Require(Xor(f) == 0);
      sent = true;
    }
    if (before == ExchangeOutcome::Running &&
        r.engine.Progress().exchange.outcome == ExchangeOutcome::Acknowledged) {
      // Only by a 06h or a reply that came after the frame went out.
      Require(fed.size() > fedAtLastSend);
    }
    // What was waiting when a frame went out is not its answer.
    if (sent) fedAtLastSend = fed.size();
    if (r.engine.Progress().statusCount != statuses) {
      statuses = r.engine.Progress().statusCount;
      Require(ArrivedWhole(fed, r.engine.Progress().lastStatus));
    }
  };

  // Each piece starts with a byte: the high 3 bits what the user does before it, bit 4
  // whether the piece comes one byte per tick, the low 4 bits its length (1 to 31).
  while (!input.empty()) {
    const std::uint8_t head = input[0];
    input = input.subspan(1);
    switch (head >> 5) {
      case 1:
        r.engine.Read(Answer::MotorSettings);
        break;
      case 2:
        r.engine.WriteSetting(Setting::Speed, 100);
        break;
      case 3:
        r.engine.Read(Answer::ParamBlock);
        break;
      case 4:
        r.engine.ReadMemory(7);
        break;
      case 5:
        r.engine.Download({true, image, {}, "F.KV3"});
        break;
      case 6:
        r.engine.Move();
        break;
      default:
        break;
    }
    const std::size_t n = std::min<std::size_t>((head & 0x0F) * 2u + 1u, input.size());
    const auto piece = input.first(n);
    input = input.subspan(n);
    if (head & 0x10) {
      for (const std::uint8_t b : piece) {
        r.port.Receive({b});
        fed.push_back(b);
        tick();
      }
    } else {
      r.port.Receive({piece.begin(), piece.end()});
      fed.insert(fed.end(), piece.begin(), piece.end());
      tick();
    }
  }
  return 0;
}
