// The reply reader on any bytes and arrival times: nothing crashes, every byte is judged
// once or waits at the end, and what it calls an answer is one: a whole frame of the
// awaited letter with a right checksum (or a 06h where one is awaited) that arrived after
// the request left.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "common/driver_protocol.h"
#include "link/reply_reader.h"

namespace {

using namespace kivra::link;
using kivra::MonoTime;

void Require(bool ok) {
  if (!ok) std::abort();
}

constexpr std::uint8_t kLetters[] = {'s', 't', 'A', 'i', 'E', 'n'};

}  // namespace

// Three header bytes: what is awaited (kind, letter, whether a name reply may follow),
// when the request left, and whether it has; then, for each received byte, the byte and
// the time since the byte before it (in 0.1 ms).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  Awaited awaited;
  awaited.kind = static_cast<Awaited::Kind>(data[0] % 3);
  awaited.letter = kLetters[(data[0] >> 2) % std::size(kLetters)];
  awaited.nameReplyMayFollow = (data[0] & 0x80) != 0;
  if (data[2] & 1) awaited.leftAt = MonoTime{data[1]} * 1000;
  std::vector<std::uint8_t> bytes;
  std::vector<MonoTime> times;
  MonoTime t = 0;
  for (std::size_t i = 3; i + 1 < size; i += 2) {
    bytes.push_back(data[i]);
    t += MonoTime{data[i + 1]} * 100;
    times.push_back(t);
  }
  awaited.now = t + MonoTime{data[2] >> 1} * 100;

  const ReplyReading r = ReadReplies(bytes, times, awaited);
  std::size_t at = 0;
  bool acked = false;
  for (std::size_t i = 0; i < r.events.size(); ++i) {
    const ReplyEvent& e = r.events[i];
    Require(e.offset == at && e.length > 0 && e.offset + e.length <= bytes.size());
    const std::span<const std::uint8_t> piece(bytes.data() + e.offset, e.length);
    const bool after = awaited.leftAt && times[e.offset] >= *awaited.leftAt;
    Require(e.afterRequest == after);
    switch (e.kind) {
      case ReplyEventKind::Answer:
        Require(after && awaited.kind == Awaited::Kind::Reply);
        Require(piece.size() >= 3 && piece[0] == piece.size() && piece[1] == awaited.letter);
        Require(kivra::protocol::Xor(piece) == 0);
        break;
      case ReplyEventKind::Ack:
        Require(after && awaited.kind == Awaited::Kind::Ack && !acked);
        Require(piece.size() == 1 && piece[0] == kivra::protocol::Ack);
        acked = true;
        break;
      case ReplyEventKind::Refused:
        Require(after && piece.size() == 1 && piece[0] == 0x15);
        break;
      case ReplyEventKind::WrongLetter:
        Require(after && piece[0] == piece.size() && kivra::protocol::Xor(piece) == 0);
        break;
      case ReplyEventKind::Partial:
        Require(i + 1 == r.events.size() && e.offset + e.length == bytes.size());
        break;
      default:
        break;
    }
    if (e.kind != ReplyEventKind::Partial) at += e.length;
  }
  Require(at == r.consumed);
  return 0;
}
