#pragma once

// Misbehaviour on request, so that the tool's retries, time-outs and resynchronisation
// can be tried against the simulated driver: the N-th reply of a kind is dropped,
// garbled, sent with a wrong letter, split in two parts or sent late.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace kivra::sim {

enum class ReplyKind : std::uint8_t {
  Ack,            // 06h
  Status,         // 's'
  Parameters,     // 'A'
  MotorSettings,  // 't'
  ServiceValues,  // 'i'
  MemoryValue,    // 'E'
  ProgramName,    // 'n'
};

enum class FaultAction : std::uint8_t {
  Drop,         // not sent at all
  Garble,       // one byte in the middle inverted, so the checksum fails
  WrongLetter,  // another reply's letter with a matching checksum; 15h for an acknowledgement
  Split,        // first half, a pause, then the rest
  Delay,        // sent whole, but late
};

struct FaultRule {
  ReplyKind kind = ReplyKind::Ack;
  FaultAction action = FaultAction::Drop;
  std::uint32_t nth = 1;    // counted from the rule being added, 1 = the next reply of the kind
  std::uint32_t count = 1;  // consecutive replies of the kind the action applies to
};

// The reply letter of a kind; the acknowledgement has none and gives 06h.
std::uint8_t ReplyLetter(ReplyKind kind);
std::string_view ReplyKindName(ReplyKind kind);
// "ack", "status", "params", "settings", "service", "memory", "name", or the reply's
// letter itself ("s", "A", "t", "i", "E", "n").
std::optional<ReplyKind> ParseReplyKind(std::string_view text);

std::string_view FaultActionName(FaultAction action);
// "drop", "garble", "wrong-letter", "split", "delay".
std::optional<FaultAction> ParseFaultAction(std::string_view text);

// The rules in the order they were added. Every reply of a kind counts towards every
// rule of that kind that is still waiting for its N-th reply; a reply gets the action of
// the first rule that has reached it, and rules that have spent their count are removed.
class FaultPlan {
 public:
  void Add(const FaultRule& rule);
  void Clear() { rules_.clear(); }
  bool Empty() const { return rules_.empty(); }

  std::optional<FaultAction> Take(ReplyKind kind);

 private:
  struct Pending {
    ReplyKind kind;
    FaultAction action;
    std::uint32_t skip;
    std::uint32_t left;
  };
  std::vector<Pending> rules_;
};

}  // namespace kivra::sim
