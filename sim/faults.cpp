#include "sim/faults.h"

#include <algorithm>
#include <array>

#include "common/driver_protocol.h"

namespace kivra::sim {
namespace {

struct KindRow {
  ReplyKind kind;
  std::uint8_t letter;
  std::string_view name;
};

constexpr std::array<KindRow, 7> kKinds = {{
    {ReplyKind::Ack, 0x06, "ack"},
    {ReplyKind::Status, protocol::code::Status, "status"},
    {ReplyKind::Parameters, protocol::code::ReadParameters, "params"},
    {ReplyKind::MotorSettings, protocol::code::ReadSettings, "settings"},
    {ReplyKind::ServiceValues, protocol::code::ReadService, "service"},
    {ReplyKind::MemoryValue, protocol::code::MemoryRead, "memory"},
    {ReplyKind::ProgramName, protocol::code::ReadProgramName, "name"},
}};

struct ActionRow {
  FaultAction action;
  std::string_view name;
};

constexpr std::array<ActionRow, 5> kActions = {{
    {FaultAction::Drop, "drop"},
    {FaultAction::Garble, "garble"},
    {FaultAction::WrongLetter, "wrong-letter"},
    {FaultAction::Split, "split"},
    {FaultAction::Delay, "delay"},
}};

const KindRow& RowOf(ReplyKind kind) {
  return *std::find_if(kKinds.begin(), kKinds.end(),
                       [&](const KindRow& r) { return r.kind == kind; });
}

}  // namespace

std::uint8_t ReplyLetter(ReplyKind kind) {
  return RowOf(kind).letter;
}

std::string_view ReplyKindName(ReplyKind kind) {
  return RowOf(kind).name;
}

std::optional<ReplyKind> ParseReplyKind(std::string_view text) {
  for (const auto& row : kKinds) {
    const bool isLetter = text.size() == 1 && row.kind != ReplyKind::Ack &&
                          static_cast<std::uint8_t>(text[0]) == row.letter;
    if (text == row.name || isLetter) return row.kind;
  }
  return std::nullopt;
}

std::string_view FaultActionName(FaultAction action) {
  return std::find_if(kActions.begin(), kActions.end(),
                      [&](const ActionRow& r) { return r.action == action; })
      ->name;
}

std::optional<FaultAction> ParseFaultAction(std::string_view text) {
  for (const auto& row : kActions) {
    if (text == row.name) return row.action;
  }
  return std::nullopt;
}

void FaultPlan::Add(const FaultRule& rule) {
  if (rule.count == 0) return;
  rules_.push_back({rule.kind, rule.action, rule.nth > 0 ? rule.nth - 1 : 0, rule.count});
}

std::optional<FaultAction> FaultPlan::Take(ReplyKind kind) {
  std::optional<FaultAction> action;
  for (auto& rule : rules_) {
    if (rule.kind != kind) continue;
    if (rule.skip > 0) {
      --rule.skip;
    } else if (!action) {
      action = rule.action;
      --rule.left;
    }
  }
  std::erase_if(rules_, [](const Pending& r) { return r.left == 0; });
  return action;
}

}  // namespace kivra::sim
