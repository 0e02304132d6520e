#include "serial/byte_ring.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace kivra::serial {

ByteRing::ByteRing(std::size_t capacity) : buf_(capacity) {
  if (capacity == 0) throw std::invalid_argument("a ring needs room for at least one byte");
}

std::size_t ByteRing::Used() const {
  if (full_) return Capacity();
  return head_ >= tail_ ? head_ - tail_ : Capacity() - tail_ + head_;
}

std::size_t ByteRing::Write(std::span<const std::uint8_t> data) {
  const std::size_t n = std::min(data.size(), Free());
  std::size_t done = 0;
  while (done < n) {
    const std::size_t run = std::min(n - done, Capacity() - head_);
    std::memcpy(buf_.data() + head_, data.data() + done, run);
    head_ = (head_ + run) % Capacity();
    done += run;
  }
  if (n > 0 && head_ == tail_) full_ = true;
  return n;
}

std::size_t ByteRing::Read(std::span<std::uint8_t> out) {
  std::size_t done = 0;
  while (done < out.size() && !Empty()) {
    const auto run = Front();
    const std::size_t k = std::min(run.size(), out.size() - done);
    std::memcpy(out.data() + done, run.data(), k);
    Drop(k);
    done += k;
  }
  return done;
}

std::span<const std::uint8_t> ByteRing::Front() const {
  if (Empty()) return {};
  const std::size_t end = (head_ > tail_) ? head_ : Capacity();
  return {buf_.data() + tail_, end - tail_};
}

void ByteRing::Drop(std::size_t count) {
  count = std::min(count, Used());
  if (count == 0) return;
  tail_ = (tail_ + count) % Capacity();
  full_ = false;
}

void ByteRing::Clear() {
  head_ = tail_ = 0;
  full_ = false;
}

}  // namespace kivra::serial
