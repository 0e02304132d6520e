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
// waits for the line.
//
// Time stamps: every chunk the dispatch thread moves into the reception ring carries the
// moment it was read from the system, and the output thread notes the moment it handed
// each block to the system. The link judges replies by them: bytes read before a frame
// was handed over cannot be its answer, whenever the user's thread happens to look. A device that
// disappears (hang-up, I/O error) is noticed by the threads: they log a line error and stop
// touching it, pending output is dropped from then on, and every operation keeps working without
// blocking.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <thread>
#include <vector>

#include "common/mono_time.h"
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
  // All of `block` or, raising EOutputBufferTooSmall, none of it. Returns the block's
  // ticket for LeftAt: the count of bytes queued since the port opened, this block's
  // included.
  std::uint64_t PutBlock(std::span<const std::uint8_t> block);
  // When the last byte of the block with `ticket` was handed to the system: the moment the
  // write that carried it began, so that no answer to it can have arrived earlier. Nothing
  // while it waits in the output ring (or was dropped with a lost device).
  std::optional<MonoTime> LeftAt(std::uint64_t ticket) const;
  // Takes up to `max` waiting bytes with the moment each arrived, oldest first, appending
  // them to `bytes` and `times`.
  void TakeArrived(std::vector<std::uint8_t>& bytes, std::vector<MonoTime>& times, std::size_t max);
  // Moves what the system holds into the reception ring now, on the caller's thread,
  // rather than when the dispatch thread next runs: before a frame goes out, whatever
  // came earlier is then stamped as earlier.
  void CollectReceived();
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
  void DropArrivals(std::size_t count);  // under rxMu_
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
  // The ring's bytes in the chunks they arrived in, oldest first; their counts add up to
  // the bytes in the ring.
  struct Arrival {
    std::size_t count;
    MonoTime at;
  };
  std::deque<Arrival> arrivals_;

  mutable std::mutex txMu_;
  std::condition_variable txPending_;
  ByteRing tx_;
  // Bytes queued and bytes handed to the system since the port opened, the write under
  // way (its end and start moment), and the last writes (end, start moment).
  struct Write {
    std::uint64_t end;
    MonoTime at;
  };
  std::uint64_t queued_ = 0;
  std::uint64_t written_ = 0;
  std::optional<Write> writing_;
  std::deque<Write> writes_;
  static constexpr std::size_t kWritesKept = 64;

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
