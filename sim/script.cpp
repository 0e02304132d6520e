#include "sim/script.h"

#include "common/code_image.h"
#include "compiler/opcodes.h"

namespace kivra::sim {
namespace {

using compiler::Code;
using compiler::EndMarker;
using compiler::InstructionLength;
using compiler::Op;

// After a long pause (no one asked for the state for hours) the walk does not replay
// every missed step; it carries on from where this many steps have brought it.
constexpr long long kMaxCatchUpSteps = 100000;

std::uint8_t At(std::span<const std::uint8_t> code, std::size_t i) {
  return i < code.size() ? code[i] : EndMarker;
}

std::size_t JumpTarget(std::span<const std::uint8_t> code, std::size_t jump) {
  return static_cast<std::size_t>(At(code, jump + 1)) << 8 | At(code, jump + 2);
}

}  // namespace

void ScriptWalker::Start(TimePoint now) {
  if (running_) return;
  running_ = true;
  address_ = 0;
  lastStep_ = now;
}

void ScriptWalker::Advance(std::span<const std::uint8_t> code, std::uint8_t inputs, TimePoint now) {
  if (!running_ || step_.count() <= 0 || now < lastStep_) return;
  long long due = (now - lastStep_) / step_;
  if (due > kMaxCatchUpSteps) {
    lastStep_ = now - step_ * kMaxCatchUpSteps;
    due = kMaxCatchUpSteps;
  }
  for (; due > 0 && running_; --due) {
    lastStep_ += step_;
    const auto next = NextAddress(code, address_, inputs);
    if (next) {
      address_ = *next;
    } else {
      running_ = false;
    }
  }
}

std::optional<std::uint16_t> ScriptWalker::NextAddress(std::span<const std::uint8_t> code,
                                                       std::uint16_t address, std::uint8_t inputs) {
  const std::uint8_t op = At(code, address);
  const compiler::Instruction* instruction = compiler::FindInstruction(op);
  std::size_t next = 0;
  if (op == EndMarker) return std::nullopt;
  if (op == Code(Op::Jump)) {
    next = JumpTarget(code, address);
  } else if (instruction != nullptr && instruction->test) {
    const std::size_t jump = address + InstructionLength(code, address);
    bool taken = false;
    if (op == Code(Op::Ifinp)) {
      const unsigned input = At(code, address + 1u);
      const unsigned level = At(code, address + 2u);
      taken = input >= 1 && input <= 6 && ((inputs >> (input - 1)) & 1u) == (level != 0 ? 1u : 0u);
    }
    if (At(code, jump) != Code(Op::Jump)) {
      next = jump;  // a test without its jump: nothing to decide
    } else {
      next = taken ? JumpTarget(code, jump) : jump + InstructionLength(code, jump);
    }
  } else {
    next = address + InstructionLength(code, address);
  }
  if (next >= CodeCapacity) return std::nullopt;
  return static_cast<std::uint16_t>(next);
}

}  // namespace kivra::sim
