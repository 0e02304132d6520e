#pragma once

// A fixed-size ring of bytes: the reception and output buffers of an open port. It does no
// locking of its own; the dispatcher guards each ring with its lock.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kivra::serial {

class ByteRing {
 public:
  explicit ByteRing(std::size_t capacity);

  std::size_t Capacity() const { return buf_.size(); }
  std::size_t Used() const;
  std::size_t Free() const { return Capacity() - Used(); }
  bool Empty() const { return head_ == tail_ && !full_; }
  bool Full() const { return full_; }

  // Appends as much of `data` as fits; returns how much that was.
  std::size_t Write(std::span<const std::uint8_t> data);

  // Takes up to out.size() bytes, oldest first; returns how many.
  std::size_t Read(std::span<std::uint8_t> out);

  // The oldest waiting bytes up to the end of the storage, without removing them; Drop
  // removes them once they have been used.
  std::span<const std::uint8_t> Front() const;
  void Drop(std::size_t count);

  void Clear();

 private:
  std::vector<std::uint8_t> buf_;
  std::size_t head_ = 0;  // next byte written here
  std::size_t tail_ = 0;  // oldest byte
  bool full_ = false;     // head_ == tail_ means full, not empty
};

}  // namespace kivra::serial
