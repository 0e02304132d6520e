#include "link/reply_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace kivra::link {
namespace {

using Bytes = std::vector<std::uint8_t>;
using K = ReplyEventKind;

constexpr MonoTime kLeft = 100'000;  // the request left at 100 ms
constexpr MonoTime kBefore = 90'000;
constexpr MonoTime kAfter = 110'000;
constexpr MonoTime kNow = 200'000;

Bytes Frame(char letter, Bytes payload) {
  Bytes f{static_cast<std::uint8_t>(payload.size() + 3), static_cast<std::uint8_t>(letter)};
  f.insert(f.end(), payload.begin(), payload.end());
  std::uint8_t x = 0;
  for (auto b : f) x ^= b;
  f.push_back(x);
  return f;
}

// A status reply of `length` bytes, inputs in byte 2.
Bytes Status(std::size_t length = 16, std::uint8_t inputs = 0) {
  Bytes payload(length - 3, 0);
  payload[0] = inputs;
  return Frame('s', payload);
}

Bytes Broken(Bytes f, std::size_t at = 4) {
  f[at] ^= 0x40;
  return f;
}

struct Piece {
  Bytes bytes;
  MonoTime at;
};

struct Event {
  K kind;
  std::size_t length;
  bool after;
  bool operator==(const Event&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Event& e) {
  return os << static_cast<int>(e.kind) << "/" << e.length << (e.after ? "/after" : "/before");
}

Awaited Reply(char letter) {
  return {Awaited::Kind::Reply, static_cast<std::uint8_t>(letter), kLeft, kNow, false};
}
Awaited Ack(bool nameReplyMayFollow = false) {
  return {Awaited::Kind::Ack, 0, kLeft, kNow, nameReplyMayFollow};
}

TEST(ReplyReader, JudgesEachPieceByWhatItIsAndWhenItCame) {
  Bytes name3 = Frame('n', {'A', 'B', 'C'});  // 06h 'n' A B C checksum
  Bytes fakeStart{0xC8, 'n', 0x01};           // a stray length byte 200 and a letter
  Bytes longLength = Status();
  longLength[0] = 40;  // a damaged length byte that would swallow the next reply
  const Bytes status = Status();
  struct Case {
    const char* what;
    std::vector<Piece> pieces;
    Awaited awaited;
    std::vector<Event> events;
  };
  const Case cases[] = {
      {"the answer", {{Status(), kAfter}}, Reply('s'), {{K::Answer, 16, true}}},
      {"the answer, the moment the request left",
       {{Status(), kLeft}},
       Reply('s'),
       {{K::Answer, 16, true}}},
      {"a reply that came before its request left",
       {{Status(), kBefore}},
       Reply('s'),
       {{K::Late, 16, false}}},
      {"a late reply, then the answer",
       {{Status(), kBefore}, {Status(16, 1), kAfter}},
       Reply('s'),
       {{K::Late, 16, false}, {K::Answer, 16, true}}},
      {"two answers to one request",
       {{Status(), kAfter}, {Status(16, 1), kAfter}},
       Reply('s'),
       {{K::Answer, 16, true}, {K::Answer, 16, true}}},
      {"a request still queued: nothing can answer it",
       {{Status(), kAfter}},
       {Awaited::Kind::Reply, 's', std::nullopt, kNow, false},
       {{K::Late, 16, false}}},
      {"a reply whose first byte came before the request left",
       {{Bytes(status.begin(), status.begin() + 3), kBefore},
        {Bytes(status.begin() + 3, status.end()), kAfter}},
       Reply('s'),
       {{K::Late, 16, false}}},
      {"status replies of any length from 12 to 64",
       {{Status(12), kAfter}, {Status(17), kAfter}, {Status(40), kAfter}, {Status(64), kAfter}},
       Reply('s'),
       {{K::Answer, 12, true},
        {K::Answer, 17, true},
        {K::Answer, 40, true},
        {K::Answer, 64, true}}},
      {"a reply to another request",
       {{Frame('t', Bytes(20, 0)), kAfter}},
       Reply('s'),
       {{K::WrongLetter, 23, true}}},
      {"a broken reply", {{Broken(Status()), kAfter}}, Reply('s'), {{K::BadChecksum, 16, true}}},
      {"a broken reply from before is garbage",
       {{Broken(Status()), kBefore}},
       Reply('s'),
       {{K::Garbage, 16, false}}},
      {"a damaged length byte does not swallow the answer behind it",
       {{longLength, kAfter}, {Status(16, 1), kAfter}, {Bytes(30, 0), kAfter}},
       Reply('s'),
       {{K::BadChecksum, 16, true}, {K::Answer, 16, true}, {K::Garbage, 30, true}}},
      {"a stray start of a long frame does not swallow the answer",
       {{fakeStart, kBefore}, {Status(16, 1), kAfter}},
       Reply('s'),
       {{K::Garbage, 3, false}, {K::Answer, 16, true}}},
      {"noise: bytes that form no frame",
       {{{0x55, 0x55, 0x00, 0xFF, 0x01}, kAfter}},
       Reply('s'),
       {{K::Garbage, 5, true}}},
      {"a frame with a letter no reply has is noise (its last byte may yet start one)",
       {{Frame('q', {1, 2}), kAfter}},
       Reply('s'),
       {{K::Garbage, 4, true}, {K::Partial, 1, true}}},
      {"half a reply waits for its rest",
       {{Bytes(status.begin(), status.begin() + 9), kAfter}},
       Reply('s'),
       {{K::Partial, 9, true}}},
      {"a lone length byte waits", {{{0x10}, kAfter}}, Reply('s'), {{K::Partial, 1, true}}},
      {"the acknowledgement", {{{0x06}, kAfter}}, Ack(), {{K::Ack, 1, true}}},
      {"an acknowledgement from before",
       {{{0x06}, kBefore}, {{0x06}, kAfter}},
       Ack(),
       {{K::Late, 1, false}, {K::Ack, 1, true}}},
      {"a second acknowledgement answers nothing",
       {{{0x06, 0x06}, kAfter}},
       Ack(),
       {{K::Ack, 1, true}, {K::Late, 1, true}}},
      {"late replies and noise before the acknowledgement",
       {{Status(), kAfter}, {{0x00, 0x55}, kAfter}, {{0x06}, kAfter}},
       Ack(),
       {{K::Late, 16, true}, {K::Garbage, 2, true}, {K::Ack, 1, true}}},
      {"15h: the driver refused", {{{0x15}, kAfter}}, Ack(), {{K::Refused, 1, true}}},
      {"15h for a reply, when it stays alone",
       {{{0x15}, kAfter}},
       Reply('A'),
       {{K::Refused, 1, true}}},
      {"15h from before is noise", {{{0x15}, kBefore}}, Ack(), {{K::Garbage, 1, false}}},
      {"a late name reply of three characters is no acknowledgement",
       {{name3, kAfter}},
       Ack(true),
       {{K::Late, 6, true}}},
      {"its first byte alone waits for the next while a name reply may come",
       {{{0x06}, kNow - 1000}},
       Ack(true),
       {{K::Partial, 1, true}}},
      {"a 06h alone that is no longer fresh is the acknowledgement",
       {{{0x06}, kNow - 10'000}},
       Ack(true),
       {{K::Ack, 1, true}}},
      {"a 15h alone that just came may start a 21-byte status reply",
       {{{0x15}, kNow - 1000}},
       Reply('s'),
       {{K::Partial, 1, true}}},
      {"which it is", {{Status(21), kAfter}}, Reply('s'), {{K::Answer, 21, true}}},
  };
  for (const Case& c : cases) {
    Bytes bytes;
    std::vector<MonoTime> times;
    for (const Piece& p : c.pieces) {
      bytes.insert(bytes.end(), p.bytes.begin(), p.bytes.end());
      times.insert(times.end(), p.bytes.size(), p.at);
    }
    const ReplyReading r = ReadReplies(bytes, times, c.awaited);
    std::vector<Event> got;
    for (const ReplyEvent& e : r.events) got.push_back({e.kind, e.length, e.afterRequest});
    EXPECT_EQ(got, c.events) << c.what;
  }
}

// Whatever the bytes: the events follow each other without a gap, a partial frame comes
// last and is all that is not consumed, and no event reaches past the bytes.
TEST(ReplyReader, EveryByteIsJudgedOnceOrWaits) {
  std::mt19937 random(7);
  const Awaited kinds[] = {Reply('s'),
                           Reply('n'),
                           Ack(),
                           Ack(true),
                           {Awaited::Kind::Nothing, 0, std::nullopt, kNow, false}};
  for (int round = 0; round < 2000; ++round) {
    Bytes bytes;
    std::vector<MonoTime> times;
    const int parts = 1 + static_cast<int>(random() % 6);
    for (int p = 0; p < parts; ++p) {
      Bytes piece;
      switch (random() % 5) {
        case 0:
          piece = Status(12 + random() % 53, static_cast<std::uint8_t>(random()));
          break;
        case 1:
          piece = Broken(Status(), 2 + random() % 13);
          break;
        case 2:
          piece = {0x06};
          break;
        default:
          piece.resize(random() % 20);
          for (auto& b : piece) b = static_cast<std::uint8_t>(random());
      }
      if (random() % 4 == 0 && !piece.empty()) piece.resize(random() % piece.size());
      const MonoTime at = random() % 2 ? kBefore : kAfter;
      bytes.insert(bytes.end(), piece.begin(), piece.end());
      times.insert(times.end(), piece.size(), at);
    }
    const ReplyReading r = ReadReplies(bytes, times, kinds[round % std::size(kinds)]);
    std::size_t at = 0;
    for (std::size_t i = 0; i < r.events.size(); ++i) {
      const ReplyEvent& e = r.events[i];
      ASSERT_EQ(e.offset, at) << round;
      ASSERT_GT(e.length, 0u) << round;
      if (e.kind == K::Partial) {
        ASSERT_EQ(i + 1, r.events.size()) << round;
      } else {
        at += e.length;
      }
    }
    ASSERT_EQ(at, r.consumed) << round;
    const bool partial = !r.events.empty() && r.events.back().kind == K::Partial;
    const std::size_t waiting = partial ? r.events.back().length : 0;
    ASSERT_EQ(r.consumed + waiting, bytes.size()) << round;
  }
}

}  // namespace
}  // namespace kivra::link
