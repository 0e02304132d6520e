#pragma once

// A port that lets the watchers see the line: every frame the link hands to the port and
// every byte it takes from it, cut into frames and judged against what the last frame asked
// for, goes to the listeners as a frame event. The link itself notices nothing: the tap sits
// between it and the real port and changes no byte.

#include <functional>
#include <vector>

#include "link/line_event.h"
#include "link/port.h"

namespace kivra::link {

class FrameTap final : public Port {
 public:
  using Clock = std::function<std::int64_t()>;  // milliseconds since the watch started

  FrameTap(Port& port, Clock clock) : port_(port), clock_(std::move(clock)) {}

  void AddListener(FrameListener* listener) { listeners_.push_back(listener); }
  void RemoveListener(FrameListener* listener);

  void PutChar(std::uint8_t byte) override { port_.PutChar(byte); }
  void PutBlock(std::span<const std::uint8_t> bytes) override;
  std::size_t GetInBufferUsed() override { return port_.GetInBufferUsed(); }
  void GetBlock(std::uint8_t* buffer, std::size_t n) override;
  void FlushInBuffer() override;

 private:
  // What the last frame sent waits for.
  enum class Awaits { Nothing, Ack, Reply };
  void Emit(LineEvent event);
  void Judge(std::span<const std::uint8_t> piece, std::uint8_t reads);
  // The answer to the last frame did not come whole before the next went out.
  void CloseExchange(std::int64_t now);

  Port& port_;
  Clock clock_;
  std::vector<FrameListener*> listeners_;

  std::vector<std::uint8_t> lastSent_;
  std::int64_t sentAt_ = 0;
  std::uint8_t attempt_ = 0;
  bool lastAnswered_ = true;  // the last frame got its answer: the same frame again is new
  Awaits awaits_ = Awaits::Nothing;
  std::uint8_t letter_ = 0;             // of the reply awaited
  std::vector<std::uint8_t> received_;  // the start of a reply still arriving
  std::uint8_t reads_ = 1;              // the reads it came in so far
};

}  // namespace kivra::link
