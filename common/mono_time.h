#pragma once

// Moments on the monotonic clock, in microseconds. The serial component stamps received
// bytes and sent frames with it, and the link judges replies by these stamps: a byte that
// arrived before its request left cannot be the request's answer.

#include <chrono>
#include <cstdint>

namespace kivra {

using MonoTime = std::int64_t;  // microseconds since an unspecified start

inline MonoTime MonoNow() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

inline MonoTime ToMonoTime(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::microseconds>(t.time_since_epoch()).count();
}

}  // namespace kivra
