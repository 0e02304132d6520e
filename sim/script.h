#pragma once

// The stored program "running": a stand-in for the firmware's interpreter that only
// moves through the code image at a steady pace, so that the tool's script and debug
// displays have something to follow. It executes nothing. Every instruction takes one
// step; plain jumps go to their target; an input test (IFINP) takes its jump when the
// simulated input has the tested level; a variable test (IFVRB) never does, as no
// variables are kept. The end marker is shown for one step, then the
// script stops; so does a jump or a walk that leaves program memory.

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>

#include "sim/frame.h"

namespace kivra::sim {

class ScriptWalker {
 public:
  explicit ScriptWalker(std::chrono::nanoseconds step) : step_(step) {}

  void Start(TimePoint now);
  void Stop() { running_ = false; }

  // Takes the steps that are due by `now`. `inputs` holds inputs 1 to 6 in bits 0 to 5.
  void Advance(std::span<const std::uint8_t> code, std::uint8_t inputs, TimePoint now);

  bool Running() const { return running_; }
  // Address of the instruction being executed (0 while stopped).
  std::uint16_t Address() const { return running_ ? address_ : 0; }

  // Address of the instruction after the one at `address`; none when the program ends.
  static std::optional<std::uint16_t> NextAddress(std::span<const std::uint8_t> code,
                                                  std::uint16_t address, std::uint8_t inputs);

 private:
  std::chrono::nanoseconds step_;
  bool running_ = false;
  std::uint16_t address_ = 0;
  TimePoint lastStep_{};
};

}  // namespace kivra::sim
