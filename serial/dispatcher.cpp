#include "serial/dispatcher.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "serial/errors.h"

namespace kivra::serial {

Dispatcher::Dispatcher(std::unique_ptr<Device> device, std::size_t outSize, std::size_t logSize,
                       bool logging)
    : device_(std::move(device)),
      openedAt_(std::chrono::steady_clock::now()),
      log_(logSize, logging),
      rx_(InBufferSize),
      tx_(outSize) {}

Dispatcher::~Dispatcher() {
  Shutdown();
}

void Dispatcher::Start() {
  for (const Device::Refusal& r : device_->Refusals()) {
    LogEvent("Line", r.what, static_cast<std::uint32_t>(r.error));
  }
  eventThread_ = std::thread([this] { EventLoop(); });
  dispatchThread_ = std::thread([this] { DispatchLoop(); });
  outputThread_ = std::thread([this] { OutputLoop(); });
}

void Dispatcher::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  stop_ = true;
  device_->Interrupt();
  // Passing through each lock after setting the flag means every waiter either sees it
  // before it sleeps or is asleep and gets the notification.
  { std::lock_guard lock(rxMu_); }
  rxSpace_.notify_all();
  { std::lock_guard lock(txMu_); }
  txPending_.notify_all();
  { std::lock_guard lock(evMu_); }
  evArrived_.notify_all();
  evHandled_.notify_all();
  for (std::thread* t : {&outputThread_, &eventThread_, &dispatchThread_}) {
    if (t->joinable()) t->join();
  }
  device_->Purge(true, true);
  device_->Close();
}

std::size_t Dispatcher::InBufferUsed() const {
  std::lock_guard lock(rxMu_);
  return rx_.Used();
}

void Dispatcher::GetBlock(std::span<std::uint8_t> out) {
  bool wasFull;
  {
    std::lock_guard lock(rxMu_);
    if (rx_.Used() < out.size()) throw EBufferIsEmpty();
    wasFull = rx_.Full();
    rx_.Read(out);
    DropArrivals(out.size());
  }
  if (wasFull && !out.empty()) rxSpace_.notify_all();
}

void Dispatcher::DropArrivals(std::size_t count) {
  while (count > 0 && !arrivals_.empty()) {
    Arrival& a = arrivals_.front();
    const std::size_t n = std::min(count, a.count);
    a.count -= n;
    count -= n;
    if (a.count == 0) arrivals_.pop_front();
  }
}

void Dispatcher::TakeArrived(std::vector<std::uint8_t>& bytes, std::vector<MonoTime>& times,
                             std::size_t max) {
  bool wasFull;
  std::size_t n;
  {
    std::lock_guard lock(rxMu_);
    n = std::min(max, rx_.Used());
    if (n == 0) return;
    wasFull = rx_.Full();
    const std::size_t start = bytes.size();
    bytes.resize(start + n);
    rx_.Read({bytes.data() + start, n});
    std::size_t left = n;
    for (auto it = arrivals_.begin(); left > 0 && it != arrivals_.end(); ++it) {
      const std::size_t k = std::min(left, it->count);
      times.insert(times.end(), k, it->at);
      left -= k;
    }
    DropArrivals(n);
  }
  if (wasFull) rxSpace_.notify_all();
}

void Dispatcher::CollectReceived() {
  if (!lost_) MoveReceived();
}

void Dispatcher::PutChar(std::uint8_t c) {
  {
    std::lock_guard lock(txMu_);
    if (tx_.Full()) throw EOutputBufferTooSmall();
    tx_.Write({&c, 1});
  }
  txPending_.notify_one();
}

std::uint64_t Dispatcher::PutBlock(std::span<const std::uint8_t> block) {
  std::uint64_t ticket;
  {
    std::lock_guard lock(txMu_);
    if (tx_.Free() < block.size()) throw EOutputBufferTooSmall();
    tx_.Write(block);
    queued_ += block.size();
    ticket = queued_;
  }
  if (!block.empty()) txPending_.notify_one();
  return ticket;
}

std::optional<MonoTime> Dispatcher::LeftAt(std::uint64_t ticket) const {
  std::lock_guard lock(txMu_);
  if (ticket > written_) {
    // The write under way counts: an answer may arrive before the output thread has
    // noted that the write returned.
    if (writing_ && writing_->end >= ticket) return writing_->at;
    return std::nullopt;
  }
  for (const Write& w : writes_)
    if (w.end >= ticket) return w.at;
  // Older than every write kept: long gone.
  return writes_.empty() ? MonoTime{0} : writes_.front().at;
}

void Dispatcher::FlushInBuffer() {
  std::lock_guard readLock(readMu_);
  if (!lost_) device_->Purge(true, false);
  std::size_t discarded;
  bool wasFull;
  {
    std::lock_guard lock(rxMu_);
    discarded = rx_.Used();
    wasFull = rx_.Full();
    rx_.Clear();
    arrivals_.clear();
  }
  if (wasFull) rxSpace_.notify_all();
  if (discarded > 0) LogEvent("User", "Flush input", static_cast<std::uint32_t>(discarded));
}

void Dispatcher::LogEvent(const char* type, const char* subtype, std::uint32_t value,
                          std::span<const std::uint8_t> data) {
  log_.Add(type, subtype, NowMs(), value, data);
}

std::uint32_t Dispatcher::NowMs() const {
  const auto elapsed = std::chrono::steady_clock::now() - openedAt_;
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void Dispatcher::EventLoop() {
  for (;;) {
    {
      // While the ring is full the bytes wait in the system's queue; the device stays
      // readable then, and waiting on it would spin.
      std::unique_lock lock(rxMu_);
      rxSpace_.wait(lock, [&] { return stop_ || !rx_.Full(); });
    }
    if (stop_) return;
    const WaitResult r = device_->WaitReadable();
    if (r == WaitResult::Interrupted) return;
    {
      std::unique_lock lock(evMu_);
      eventPending_ = true;
      evArrived_.notify_one();
      evHandled_.wait(lock, [&] { return stop_ || !eventPending_; });
    }
    if (stop_) return;
    if (r == WaitResult::HangUp || lost_) {
      // A hung-up device reports itself readable for ever. Whatever the system still
      // holds is collected by the dispatch thread's periodic pass.
      if (r == WaitResult::HangUp) LogEvent("Line", "Hang-up", 0);
      return;
    }
  }
}

void Dispatcher::DispatchLoop() {
  std::unique_lock lock(evMu_);
  for (;;) {
    const auto wake = [&] { return stop_ || eventPending_; };
    if (lost_) {
      evArrived_.wait(lock, wake);  // nothing to collect any more
    } else {
      evArrived_.wait_for(lock, DispatchInterval, wake);
    }
    if (stop_) return;
    const bool handling = eventPending_;
    lock.unlock();
    if (!lost_) {
      MoveReceived();
      CheckLineStatus();
    }
    lock.lock();
    if (handling) {
      eventPending_ = false;
      evHandled_.notify_one();
    }
  }
}

void Dispatcher::MoveReceived() {
  std::lock_guard readLock(readMu_);
  std::uint8_t buf[InBufferSize];
  for (;;) {
    std::size_t room;
    {
      std::lock_guard lock(rxMu_);
      room = rx_.Free();
    }
    if (room == 0) return;
    const IoResult r = device_->Read({buf, room});
    if (r.status == IoStatus::WouldBlock) return;
    if (r.status == IoStatus::Gone) {
      MarkLost("Read failed", r.error);
      return;
    }
    const MonoTime at = MonoNow();
    {
      // Only one reader adds to the ring at a time (readMu_), so the room measured above
      // is still there.
      std::lock_guard lock(rxMu_);
      rx_.Write({buf, r.count});
      if (r.count > 0) arrivals_.push_back({r.count, at});
    }
    LogEvent("Data", "Read", static_cast<std::uint32_t>(r.count), {buf, r.count});
  }
}

void Dispatcher::CheckLineStatus() {
  const std::optional<LineStatus> now = device_->Status();
  if (!now) return;
  if (lastStatus_) {
    const LineStatus& before = *lastStatus_;
    if (now->modemBits != before.modemBits) LogEvent("Modem", "Lines", now->modemBits);
    const auto count = [&](const char* what, std::uint32_t was, std::uint32_t is) {
      if (is != was) LogEvent("Line", what, is - was);
    };
    count("Framing", before.framingErrors, now->framingErrors);
    count("Parity", before.parityErrors, now->parityErrors);
    count("Overrun", before.overruns, now->overruns);
    count("Break", before.breaks, now->breaks);
  }
  lastStatus_ = now;
}

void Dispatcher::MarkLost(const char* subtype, int error) {
  if (lost_.exchange(true)) return;
  LogEvent("Line", subtype, static_cast<std::uint32_t>(error));
  // The output thread drops what is queued from now on.
  { std::lock_guard lock(txMu_); }
  txPending_.notify_all();
}

void Dispatcher::OutputLoop() {
  std::vector<std::uint8_t> chunk(tx_.Capacity());
  for (;;) {
    std::size_t n = 0;
    bool dropped = false;
    {
      std::unique_lock lock(txMu_);
      txPending_.wait(lock, [&] { return stop_ || !tx_.Empty(); });
      if (stop_) return;
      const auto front = tx_.Front();
      n = front.size();
      std::memcpy(chunk.data(), front.data(), n);
      if (lost_) {
        tx_.Drop(n);
        dropped = true;
      } else {
        // Noted before the write begins: a device that answers within a millisecond may
        // be heard before the write returns.
        writing_ = Write{written_ + n, MonoNow()};
      }
    }
    if (dropped) {
      LogEvent("Data", "Dropped", static_cast<std::uint32_t>(n), {chunk.data(), n});
      continue;
    }
    const IoResult r = device_->Write({chunk.data(), n});
    if (r.status == IoStatus::Ok) {
      {
        std::lock_guard lock(txMu_);
        tx_.Drop(r.count);
        if (r.count > 0) {
          written_ += r.count;
          writes_.push_back({written_, writing_->at});
          if (writes_.size() > kWritesKept) writes_.pop_front();
        }
        writing_.reset();
      }
      LogEvent("Data", "Write", static_cast<std::uint32_t>(r.count), {chunk.data(), r.count});
    } else if (r.status == IoStatus::WouldBlock) {
      {
        std::lock_guard lock(txMu_);
        writing_.reset();
      }
      if (device_->WaitWritable() == WaitResult::Interrupted) return;
    } else {
      {
        std::lock_guard lock(txMu_);
        writing_.reset();
      }
      MarkLost("Write failed", r.error);
    }
  }
}

}  // namespace kivra::serial
