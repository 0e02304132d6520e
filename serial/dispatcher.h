#pragma once

// The machinery behind an open port: the reception ring that the dispatch thread fills,
// the output ring that the output thread drains, the event log, and the three threads.
//
//   event thread     waits until the device is readable, hands the event to the dispatch
//                    thread and waits until it has been handled
//   dispatch thread  moves what the system has received into the reception ring, on each
//                    event and at least every 50 ms as a safety net
//   output thread    writes the output ring to the device whenever it holds bytes
//
// The user's thread only copies into and out of the rings under their locks, so it never
// waits for the line. A device that disappears (hang-up, I/O error) is noticed by the
// threads: they log a line error and stop touching it, pending output is dropped from
// then on, and every operation keeps working without blocking.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <thread>

#include "serial/byte_ring.h"
#include "serial/device.h"
#include "serial/event_log.h"

namespace kivra::serial {

class Dispatcher {
 public:
  static constexpr std::chrono::milliseconds DispatchInterval{50};

  Dispatcher(std::unique_ptr<Device> device, std::size_t outSize, std::size_t logSize,
             bool logging);
  ~Dispatcher();

  Dispatcher(const Dispatcher&) = delete;
  Dispatcher& operator=(const Dispatcher&) = delete;

  // Starts the event, dispatch and output threads, in that order.
  void Start();

  // Ends the threads at once (nothing waits out a timer), discards the output not yet
  // written and the input waiting in the system, and releases the device.
  void Shutdown();

  std::size_t InBufferUsed() const;
  // Copies exactly out.size() bytes and removes them; raises EBufferIsEmpty, removing
  // nothing, when fewer are waiting.
  void GetBlock(std::span<std::uint8_t> out);
  // Raises EOutputBufferTooSmall, dropping the byte, when the output ring is full.
  void PutChar(std::uint8_t c);
  // All of `block` or, raising EOutputBufferTooSmall, none of it.
  void PutBlock(std::span<const std::uint8_t> block);
  void FlushInBuffer();

  bool DeviceLost() const { return lost_; }
  Device& device() { return *device_; }
  EventLog& Log() { return log_; }

  // Logs with the time since the port opened.
  void LogEvent(const char* type, const char* subtype, std::uint32_t value,
                std::span<const std::uint8_t> data = {});

 private:
  void EventLoop();
  void DispatchLoop();
  void OutputLoop();

  void MoveReceived();
  void CheckLineStatus();
  void MarkLost(const char* subtype, int error);
  std::uint32_t NowMs() const;

  std::unique_ptr<Device> device_;
  const std::chrono::steady_clock::time_point openedAt_;
  EventLog log_;

  std::atomic<bool> stop_{false};
  std::atomic<bool> lost_{false};
  bool shutDown_ = false;

  // One transfer out of the system's receive queue at a time, so that a flush cannot fall
  // between a read and the copy of its bytes into the ring. Taken before rxMu_.
  std::mutex readMu_;
  mutable std::mutex rxMu_;
  std::condition_variable rxSpace_;  // the event thread waits here while the ring is full
  ByteRing rx_;

  std::mutex txMu_;
  std::condition_variable txPending_;
  ByteRing tx_;

  // The event thread and the dispatch thread alternate through this handshake, so at most
  // one event is being handled at a time.
  std::mutex evMu_;
  std::condition_variable evArrived_;
  std::condition_variable evHandled_;
  bool eventPending_ = false;

  std::optional<LineStatus> lastStatus_;  // dispatch thread only

  std::thread eventThread_;
  std::thread dispatchThread_;
  std::thread outputThread_;
};

}  // namespace kivra::serial
