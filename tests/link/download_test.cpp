// The download: frames and offsets, progress, five attempts per frame, and its endings.

#include <gtest/gtest.h>

#include <functional>

#include "link/engine.h"
#include "tests/link/fakes.h"

namespace kivra::link {
namespace {

using testing::Rig;
using testing::StatusFrame;

CodeImage Image(std::uint32_t length) {
  CodeImage image;
  image.bytes.fill(0xFF);
  for (std::uint32_t i = 0; i + 1 < length; ++i)
    image.bytes[i] = static_cast<std::uint8_t>(i * 31 + 7);
  image.length = length;
  return image;
}

VectorTable Vectors() {
  VectorTable v;
  for (std::size_t i = 0; i < v.size(); ++i) v[i] = static_cast<std::uint8_t>(0xA0 + i);
  return v;
}

// Drives a download to its end. `answer(k, frame)` says whether the driver acknowledges the
// k-th frame sent (0-based); unacknowledged frames time out. Returns every frame sent.
struct Sent {
  std::vector<Frame> frames;
  int ticks = 0;
};
Sent Download(Rig& r, const CodeImage& image, const std::function<bool(int, const Frame&)>& answer,
              std::string_view path = "C:\\PRG\\MOTOR.KV3") {
  r.PollOnce();
  r.engine.Download({true, image, Vectors(), std::string(path)});
  Sent run;
  while (r.engine.Progress().download == DownloadResult::Running && run.ticks < 20000) {
    r.Tick();
    ++run.ticks;
    for (auto& f : r.port.TakeFrames()) {
      if (answer(static_cast<int>(run.frames.size()), f)) r.port.Receive({AckByte});
      run.frames.push_back(std::move(f));
    }
  }
  return run;
}

TEST(Download, FullCodeMemoryArrivesByteExact) {
  Rig r;
  const auto image = Image(CodeCapacity);
  const Sent run = Download(r, image, [](int, const Frame&) { return true; });
  ASSERT_EQ(r.engine.Progress().download, DownloadResult::Succeeded);

  // Begin, 82 data frames, vector, name.
  ASSERT_EQ(run.frames.size(), 1u + 82u + 2u);
  EXPECT_EQ(run.frames.front(), CommandFrame('P', 0));
  std::vector<std::uint8_t> stored(CodeCapacity, 0);
  for (std::size_t k = 0; k < 82; ++k) {
    const Frame& f = run.frames[1 + k];
    const std::size_t n = k < 81 ? 25 : 2048 - 81 * 25;
    ASSERT_EQ(f.size(), n + 5) << k;
    ASSERT_EQ(f[1], 'P');
    const std::size_t offset = f[2] * 256u + f[3];
    EXPECT_EQ(offset, 25 * k);
    EXPECT_EQ(Xor(f), 0);
    std::copy(f.begin() + 4, f.end() - 1, stored.begin() + offset);
  }
  EXPECT_TRUE(std::equal(stored.begin(), stored.end(), image.bytes.begin()));
  EXPECT_EQ(run.frames[83], VectorFrame(2048, Vectors()));
  EXPECT_EQ(run.frames[84], NameFrame("MOTOR.KV3"));

  // Three ticks per data frame, and back to polling at the end.
  EXPECT_LE(run.ticks, 3 * 85 + 3);
  EXPECT_FALSE(r.seen.progressVisible);
  EXPECT_EQ(r.seen.ProgressPosition(), 0u);
  EXPECT_TRUE(r.seen.notices.empty());
  EXPECT_EQ(r.seen.downloads.back().result, DownloadResult::Succeeded);
  r.Tick();
  EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('s', 0)});
}

TEST(Download, ChunkSizesAndProgress) {
  struct Case {
    std::uint32_t length;
    std::vector<std::size_t> frameSizes;  // data frames
  };
  const Case cases[] = {{1, {6}}, {24, {29}}, {25, {30}}, {26, {30, 6}}, {51, {30, 30, 6}}};
  for (const auto& c : cases) {
    Rig r;
    const Sent run = Download(r, Image(c.length), [](int, const Frame&) { return true; });
    std::vector<std::size_t> sizes;
    for (const auto& f : run.frames)
      if (f[1] == 'P' && f.size() != 8) sizes.push_back(f.size());
    EXPECT_EQ(sizes, c.frameSizes) << c.length;
    EXPECT_EQ(r.seen.progressMax, c.length + 21) << c.length;
    // Position: each chunk's offset, then past the maximum for the vector and name frames.
    std::vector<std::uint32_t> expected = {0};
    for (std::uint32_t off = 0; off < c.length; off += 25) expected.push_back(off);
    expected.push_back(c.length + 35);
    expected.push_back(c.length + 35 + 12);
    expected.push_back(0);
    EXPECT_EQ(r.seen.positions, expected) << c.length;
  }
}

TEST(Download, IntervalsPaceTheFrames) {
  Rig r;
  Download(r, Image(30), [](int, const Frame&) { return true; });
  r.Tick();
  EXPECT_EQ(r.timer.changes,
            (std::vector<int>{25, 100, 150, 100, 150, 100, 150, 100, 250, 100, 25}));
}

// Every frame of the download may lose up to four acknowledgements; a fifth ends it.
TEST(Download, FourLostAcknowledgementsOfAnyFrameContinueFiveEndIt) {
  const auto image = Image(60);  // begin, 3 data frames, vector, name
  const int frameCount = 6;
  for (int victim = 0; victim < frameCount; ++victim) {
    for (int losses : {4, 5}) {
      // The scripted driver loses `losses` acknowledgements of the victim frame.
      Rig s;
      int distinct = -1;
      Frame last;
      int lost = 0;
      const Sent got = Download(s, image, [&](int, const Frame& f) {
        if (f != last) {
          ++distinct;
          last = f;
        }
        if (distinct == victim && lost < losses) {
          ++lost;
          return false;
        }
        return true;
      });
      if (losses == 4) {
        EXPECT_EQ(s.engine.Progress().download, DownloadResult::Succeeded) << victim;
        EXPECT_EQ(got.frames.size(), static_cast<std::size_t>(frameCount + 4)) << victim;
        EXPECT_TRUE(s.seen.notices.empty()) << victim;
      } else {
        EXPECT_EQ(s.engine.Progress().download, DownloadResult::Failed) << victim;
        EXPECT_EQ(got.frames.size(), static_cast<std::size_t>(victim + 5)) << victim;
        EXPECT_EQ(s.seen.NoticeKinds(), std::vector<Notice>{Notice::DownloadError}) << victim;
        EXPECT_FALSE(s.seen.progressVisible);
        EXPECT_FALSE(s.v().connected);
        // Data, vector and name failures also empty the bar; the begin frame's does not.
        if (victim > 0) {
          EXPECT_EQ(s.seen.ProgressPosition(), 0u) << victim;
        } else {
          EXPECT_FALSE(s.seen.downloads.back().resetBar);
        }
        s.Tick();
        EXPECT_EQ(s.port.TakeFrames(), std::vector<Frame>{CommandFrame('s', 0)}) << victim;
      }
    }
  }
}

TEST(Download, WrongAcknowledgementCountsAsLost) {
  Rig r;
  r.PollOnce();
  r.engine.Download({true, Image(10), Vectors(), "a.kv3"});
  for (int i = 0; i < 40 && r.engine.Progress().download == DownloadResult::Running; ++i) {
    r.Tick();
    if (!r.port.TakeFrames().empty()) r.port.Receive({0x15});
  }
  EXPECT_EQ(r.engine.Progress().download, DownloadResult::Failed);
}

TEST(Download, RefusedWithoutValidProgramOrOpenPort) {
  struct Case {
    bool valid;
    bool linkOn;
    bool waitingForDevice;
    Notice notice;
  };
  const Case cases[] = {
      {false, true, false, Notice::NoValidProgram},
      {false, false, false, Notice::NoValidProgram},
      // A clean check and no port: the user is told what is missing.
      {true, false, false, Notice::DownloadNoPort},
      {true, false, true, Notice::DownloadWaitsForPort},
  };
  for (const auto& c : cases) {
    Rig r;
    if (!c.linkOn) r.engine.SetLinkEnabled(false);
    if (c.waitingForDevice) r.engine.SetLinkEnabled(false, true);
    r.engine.Download({c.valid, Image(10), Vectors(), "a.kv3"});
    r.Tick(5);
    EXPECT_EQ(r.seen.NoticeKinds(), std::vector<Notice>{c.notice});
    EXPECT_EQ(r.engine.Progress().download, DownloadResult::None);
    EXPECT_TRUE(r.seen.downloads.empty());
    for (const auto& f : r.port.TakeFrames()) EXPECT_EQ(f, CommandFrame('s', 0));
  }
}

// A second press of the download button while one runs is ignored: no error, and the
// running download neither restarts nor stops.
TEST(Download, SecondPressWhileItRunsChangesNothing) {
  Rig r;
  const auto image = Image(60);
  int presses = 0;
  const Sent run = Download(r, image, [&](int k, const Frame&) {
    if (k == 2 && presses++ == 0) r.engine.Download({true, Image(10), Vectors(), "other.kv3"});
    return true;
  });
  EXPECT_EQ(presses, 1);
  EXPECT_EQ(r.engine.Progress().download, DownloadResult::Succeeded);
  EXPECT_TRUE(r.seen.notices.empty());
  ASSERT_EQ(run.frames.size(), 1u + 3u + 2u);  // begin, 25 + 25 + 10 code bytes, vector, name
  EXPECT_EQ(run.frames[3][0], 10u + 5u);
  EXPECT_EQ(run.frames[4][2], 0);  // the vector frame carries 60, the first program's length
  EXPECT_EQ(run.frames[4][3], 60);
}

TEST(Download, AnotherRequestAbandonsItLoudlyAndGoesOutAtOnce) {
  Rig r;
  r.PollOnce();
  r.engine.Download({true, Image(100), Vectors(), "a.kv3"});
  for (int i = 0; i < 7; ++i) {
    r.Tick();
    if (!r.port.TakeFrames().empty()) r.port.Receive({AckByte});
  }
  ASSERT_EQ(r.engine.Progress().download, DownloadResult::Running);
  r.engine.Stop();  // Motor STOP
  EXPECT_EQ(r.engine.Progress().download, DownloadResult::Failed);
  EXPECT_EQ(r.seen.NoticeKinds(), std::vector<Notice>{Notice::DownloadError});
  EXPECT_FALSE(r.seen.progressVisible);
  r.port.incoming.clear();
  r.Tick();
  EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('S', 0)});
}

TEST(Download, SendsTheImageItWasStartedWith) {
  Rig r;
  auto image = Image(30);
  r.PollOnce();
  r.engine.Download({true, image, Vectors(), "a.kv3"});
  image.bytes.fill(0);  // checked again meanwhile
  std::vector<Frame> frames;
  for (int i = 0; i < 40 && r.engine.Progress().download == DownloadResult::Running; ++i) {
    r.Tick();
    for (auto& f : r.port.TakeFrames()) {
      frames.push_back(f);
      r.port.Receive({AckByte});
    }
  }
  ASSERT_GE(frames.size(), 2u);
  EXPECT_EQ(frames[1][4], Image(30).bytes[0]);
}

}  // namespace
}  // namespace kivra::link
