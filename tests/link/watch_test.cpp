// Watching the link: the decoder of every frame kind, the received-bytes splitter, the
// bounded event ring, the health meter, the status records and the rows of the engine's frames.

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/texts.h"
#include "link/decode.h"
#include "link/event_ring.h"
#include "link/event_text.h"
#include "link/health_meter.h"
#include "link/line_feed.h"
#include "link/status_record.h"
#include "tests/link/fakes.h"

namespace kivra::link {
namespace {

using testing::FakePort;
using testing::Reply;
using testing::StatusFrame;

Frame Broken(Frame f) {
  f[f.size() / 2] ^= 0xFF;
  return f;
}

Frame WrongChecksum(Frame f) {
  f.back() ^= 0x01;
  return f;
}

TEST(Decode, EveryFrameKindBothDirections) {
  VectorTable vectors{};
  const std::vector<std::uint8_t> code(25, 0x11);
  std::vector<std::uint8_t> params(60, 0);
  params[16] = 0x03, params[17] = 0xE8;                    // Prm 9 = 1000 at bytes 18-19
  for (std::size_t i = 40; i < 44; ++i) params[i] = 0xFF;  // Prm 21 = -1 at bytes 42-45
  struct Case {
    const char* what;
    Frame bytes;
    Direction direction;
    FrameKind kind;
    bool checksumOk;
    const char* english;
    const char* turkish;
  };
  const auto S = Direction::Sent;
  const auto R = Direction::Received;
  const Case cases[] = {
      {"status request", CommandFrame('s', 0), S, FrameKind::Command, true, "status request",
       "durum sorgusu"},
      {"speed", CommandFrame('V', 1200), S, FrameKind::Command, true, "speed = 1200",
       "motor hızı = 1200"},
      {"negative displacement", CommandFrame('D', 0xFFFFFFFE), S, FrameKind::Command, true,
       "displacement = -2", "yerdeğiştirme = -2"},
      {"direction", CommandFrame('F', 0), S, FrameKind::Command, true, "direction = left",
       "dönüş yönü = sol"},
      {"memory write", CommandFrame('f', 7 * 65536 + 100), S, FrameKind::Command, true,
       "memory write address 100 = 7", "bellek yaz adres 100 = 7"},
      {"unknown code", CommandFrame('Z', 3), S, FrameKind::Command, true, "unknown command 'Z' = 3",
       "bilinmeyen komut 'Z' = 3"},
      {"Prm 9", ParameterFrame('k', 1000, 8), S, FrameKind::Parameter, true, "parameter 9 = 1000",
       "parametre 9 = 1000"},
      {"Prm 25", ParameterFrame('u', -5, 4), S, FrameKind::Parameter, true, "parameter 25 = -5",
       "parametre 25 = -5"},
      {"data", ProgramDataFrame(50, code), S, FrameKind::ProgramData, true,
       "program data: 25 bytes at 50", "program verisi: 25 bayt, adres 50"},
      {"vectors", VectorFrame(300, vectors), S, FrameKind::Vectors, true,
       "vector table, code length 300", "vektör tablosu, kod uzunluğu 300"},
      {"name", NameFrame("MOTOR.KV3"), S, FrameKind::Name, true, "program name: MOTOR.KV3",
       "program adı: MOTOR.KV3"},
      {"broken command", WrongChecksum(CommandFrame('V', 1200)), S, FrameKind::Command, false,
       "speed = 1200 (checksum wrong)", "motor hızı = 1200 (sağlama hatalı)"},
      {"ack", {0x06}, R, FrameKind::Ack, true, "acknowledgement", "onay"},
      {"status", StatusFrame(0x41, 0x05, 10, 12, 200, 31), R, FrameKind::StatusReply, true,
       "status: inputs 100000, outputs 10, analog 12/200, 31 °C, controller, script off, motor "
       "running, "
       "firmware 1.2, address 10",
       "durum: girişler 100000, çıkışlar 10, analog 12/200, 31 °C, kontrolör, script kapalı, motor "
       "dönüyor, "
       "yazılım 1.2, adres 10"},
      {"settings", Reply('t', {0x04, 0xB0, 0,    100,  0,    50,   8, 0, 10, 0,
                               20,   1,    0xFF, 0xFF, 0xFF, 0xFE, 0, 1, 0,  3}),
       R, FrameKind::SettingsReply, true,
       "motor settings: speed 1200, run current 100, hold current 50, micro-step 8, ramp 10, start "
       "speed 20, "
       "direction right, displacement -2, speed mode 1, coefficient 3",
       nullptr},
      {"parameters", Reply('A', params), R, FrameKind::ParameterReply, true, nullptr, nullptr},
      {"service", Reply('i', {80, 90}), R, FrameKind::ServiceReply, true, "service values: 80, 90",
       "servis değerleri: 80, 90"},
      {"memory", Reply('E', {42}), R, FrameKind::MemoryReply, true, "memory value: 42",
       "bellek değeri: 42"},
      {"program name", Reply('n', {' ', 'A', '.', 'K', 'V', '3', 0}), R, FrameKind::NameReply, true,
       "program in the driver: A.KV3", "sürücüdeki program: A.KV3"},
      {"garbled status", Broken(StatusFrame()), R, FrameKind::StatusReply, false, nullptr, nullptr},
      {"wrong letter", Reply('q', {1, 2}), R, FrameKind::Raw, false, "undecodable", "çözülemedi"},
      {"status of the wrong length", Reply('s', {1, 2}), R, FrameKind::Raw, false, nullptr,
       nullptr},
      {"ack where a frame is sent", {0x06}, S, FrameKind::Raw, false, nullptr, nullptr},
      {"length byte disagrees",
       {0x09, 'K', 's', 0, 0, 0, 0, 0x31},
       S,
       FrameKind::Raw,
       false,
       nullptr,
       nullptr},
      {"nothing", {}, R, FrameKind::Raw, false, nullptr, nullptr},
      {"lone 15h", {0x15}, R, FrameKind::Raw, false, "undecodable", "çözülemedi"},
  };
  for (const Case& c : cases) {
    const DecodedFrame d = DecodeFrame(c.bytes, c.direction);
    EXPECT_EQ(d.kind, c.kind) << c.what;
    EXPECT_EQ(d.checksumOk, c.checksumOk) << c.what;
    if (c.english) {
      EXPECT_EQ(DescribeFrame(d, Language::English), c.english) << c.what;
    }
    if (c.turkish) {
      EXPECT_EQ(DescribeFrame(d, Language::Turkish), c.turkish) << c.what;
    }
  }
  const DecodedFrame p = DecodeFrame(Reply('A', params), Direction::Received);
  EXPECT_EQ(p.parameters.prm9to20[0], 1000);
  EXPECT_EQ(p.parameters.prm21to25[0], -1);
  EXPECT_NE(DescribeFrame(p, Language::English).find("9=1000"), std::string::npos);
  EXPECT_NE(DescribeFrame(p, Language::English).find("21=-1"), std::string::npos);
}

TEST(Decode, HexBytes) {
  EXPECT_EQ(HexBytes(CommandFrame('s', 0)), "08 4B 73 00 00 00 00 30");
  EXPECT_EQ(HexBytes({}), "");
}

LineEvent At(std::int64_t ms, std::uint8_t tag = 0) {
  LineEvent e{.timeMs = ms, .bytes = {}};
  e.bytes = {tag};
  return e;
}

TEST(EventRing, KeepsTheLastCapacityEventsAndCountsTheRest) {
  EventRing ring(3);
  for (int i = 0; i < 5; ++i) ring.Push(At(i, static_cast<std::uint8_t>(i)));
  EXPECT_EQ(ring.Size(), 3u);
  EXPECT_EQ(ring.Dropped(), 2u);
  EXPECT_EQ(ring.FirstSequence(), 2u);
  EXPECT_EQ(ring.NextSequence(), 5u);
  for (std::size_t i = 0; i < 3; ++i)
    EXPECT_EQ(ring.At(i).timeMs, static_cast<std::int64_t>(i + 2));
  EXPECT_EQ(ring.Find(1), nullptr);
  EXPECT_EQ(ring.Find(5), nullptr);
  ASSERT_NE(ring.Find(4), nullptr);
  EXPECT_EQ(ring.Find(4)->bytes, std::vector<std::uint8_t>{4});

  ring.Clear();
  EXPECT_EQ(ring.Size(), 0u);
  EXPECT_EQ(ring.Dropped(), 0u);
  ring.Push(At(9));
  EXPECT_EQ(ring.FirstSequence(), 5u) << "sequence numbers go on after a clear";
  EXPECT_EQ(ring.At(0).timeMs, 9);
}

TEST(EventRing, DefaultBoundHolds) {
  EventRing ring;
  EXPECT_EQ(ring.Capacity(), 100'000u);
  for (int i = 0; i < 100'010; ++i) ring.Push(At(i));
  EXPECT_EQ(ring.Size(), 100'000u);
  EXPECT_EQ(ring.Dropped(), 10u);
  EXPECT_EQ(ring.At(0).timeMs, 10);
}

LineEvent Judged(std::int64_t ms, FrameOutcome outcome, bool status = true) {
  LineEvent e{.timeMs = ms, .direction = Direction::Received, .outcome = outcome, .bytes = {}};
  e.bytes = status ? StatusFrame() : Frame{0x06};
  return e;
}

TEST(HealthMeter, RateAndFailedShareOverTheLastTenSeconds) {
  HealthMeter meter;
  EXPECT_EQ(meter.Read(0).statusPerSecond, 0);
  // 13 status replies a second for 20 s, one failed exchange in every 13 during the last 5 s.
  int inWindow = 0, failedInWindow = 0;  // the last ten seconds, in 100 ms steps
  for (int ms = 0; ms < 20'000; ms += 77) {
    const bool fail = ms >= 15'000 && (ms / 77) % 13 == 0;
    meter.Add(Judged(ms, fail ? FrameOutcome::Failed : FrameOutcome::Accepted));
    if (ms >= 10'100) ++inWindow, failedInWindow += fail;
  }
  meter.Add(
      Judged(19'990, FrameOutcome::Accepted, false));  // an acknowledgement: an exchange, no status
  meter.Add(LineEvent{.timeMs = 19'990, .outcome = FrameOutcome::Sent, .bytes = {}});  // not judged
  const HealthReading r = meter.Read(20'000);
  EXPECT_NEAR(r.statusPerSecond, 12.4, 0.3);
  EXPECT_EQ(r.exchanges, inWindow + 1);
  EXPECT_EQ(r.failed, failedInWindow);
  EXPECT_GT(failedInWindow, 3);
  EXPECT_NEAR(r.failedShare, static_cast<double>(failedInWindow) / (inWindow + 1), 1e-9);

  // Silence: the window empties, the rate falls to 0.
  EXPECT_EQ(meter.Read(30'100).exchanges, 0);
  EXPECT_EQ(meter.Read(30'100).statusPerSecond, 0);
  EXPECT_EQ(meter.Read(30'100).failedShare, 0);
}

TEST(HealthMeter, ShortRunsAreRatedOverTheTimeThereWas) {
  HealthMeter meter;
  for (int ms = 1000; ms < 3000; ms += 100) meter.Add(Judged(ms, FrameOutcome::Accepted));
  EXPECT_NEAR(meter.Read(3000).statusPerSecond, 10.0, 0.01);
  meter.Clear();
  EXPECT_EQ(meter.Read(3000).exchanges, 0);
}

StatusSample Sample(std::int64_t ms) {
  StatusReply s;
  s.io = 0x81;  // input 1, output 2
  s.analog1 = 12;
  s.analog2 = 255;
  s.mode = 0x05;
  s.temperature = 31;
  s.firmware = 12;
  s.address = 300;
  return {ms, 1'796'700'000'123 + ms, s};
}

TEST(StatusRecord, CsvAndJsonRows) {
  EXPECT_EQ(CsvHeader(),
            "time_ms,wall_time,event,input1,input2,input3,input4,input5,input6,output1,output2,"
            "analog1,analog2,"
            "temperature,controller_mode,script_running,motor_running,firmware,address\n");
  EXPECT_EQ(CsvRow(Sample(40)),
            "40,2026-12-08T03:20:00.163Z,status,1,0,0,0,0,0,0,1,12,255,31,1,0,1,1.2,300\n");
  EXPECT_EQ(CsvGap(50, 1'796'700'000'000), "50,2026-12-08T03:20:00.000Z,gap,,,,,,,,,,,,,,,,\n");
  EXPECT_EQ(JsonRow(Sample(40)),
            "{\"time_ms\":40,\"wall_time\":\"2026-12-08T03:20:00.163Z\",\"event\":\"status\","
            "\"input1\":1,"
            "\"input2\":0,\"input3\":0,\"input4\":0,\"input5\":0,\"input6\":0,\"output1\":0,"
            "\"output2\":1,"
            "\"analog1\":12,\"analog2\":255,\"temperature\":31,\"controller_mode\":1,\"script_"
            "running\":0,"
            "\"motor_running\":1,\"firmware\":1.2,\"address\":300}\n");
  EXPECT_EQ(JsonGap(50, 0),
            "{\"time_ms\":50,\"wall_time\":\"1970-01-01T00:00:00.000Z\",\"event\":\"gap\"}\n");
  // Every row has as many columns as the header.
  const auto columns = [](const std::string& s) { return std::count(s.begin(), s.end(), ',') + 1; };
  EXPECT_EQ(columns(CsvRow(Sample(0))), columns(CsvHeader()));
  EXPECT_EQ(columns(CsvGap(0, 0)), columns(CsvHeader()));
}

struct MemoryWriter final : LineWriter {
  std::string text;
  int failAfter = -1;  // writes that succeed before every further one fails
  bool Write(std::string_view t) override {
    if (failAfter == 0) return false;
    if (failAfter > 0) --failAfter;
    text += t;
    return true;
  }
};

TEST(StatusRecord, OneGapPerOutageAndRecordingGoesOn) {
  MemoryWriter w;
  StatusRecorder r(w, RecordFormat::Csv);
  ASSERT_TRUE(r.Start());
  EXPECT_TRUE(r.Record(Sample(0)));
  EXPECT_TRUE(r.Gap(100, 0));
  EXPECT_TRUE(r.Gap(200, 0));  // the same outage
  EXPECT_TRUE(r.Record(Sample(3000)));
  EXPECT_TRUE(r.Gap(4000, 0));
  EXPECT_EQ(r.Records(), 2u);
  EXPECT_EQ(r.Gaps(), 2u);
  std::istringstream lines(w.text);
  std::vector<std::string> events;
  for (std::string line; std::getline(lines, line);)
    events.push_back(line.substr(line.find(',', line.find(',') + 1) + 1, 3));
  EXPECT_EQ(events, (std::vector<std::string>{"eve", "sta", "gap", "sta", "gap"}));
}

TEST(StatusRecord, AFailedWriteStopsTheRecordingAndKeepsWhatWasWritten) {
  for (int n = 0; n < 4; ++n) {
    MemoryWriter w;
    w.failAfter = n;
    StatusRecorder r(w, RecordFormat::Csv);
    bool ok = r.Start();
    for (int i = 0; i < 3 && ok; ++i) ok = r.Record(Sample(i));
    EXPECT_FALSE(ok) << n;
    EXPECT_TRUE(r.Stopped()) << n;
    const std::string written = w.text;
    EXPECT_FALSE(r.Record(Sample(9))) << n;
    EXPECT_FALSE(r.Gap(9, 0)) << n;
    EXPECT_EQ(w.text, written) << "nothing after the failure, nothing before lost: " << n;
    EXPECT_EQ(static_cast<int>(std::count(written.begin(), written.end(), '\n')), n) << n;
  }
}

TEST(StatusRecord, FileWriterReportsAFullDiskAndAFolderItCannotWrite) {
  FileLineWriter full("/dev/full");
  ASSERT_TRUE(full.Open());
  EXPECT_FALSE(full.Write(CsvHeader()));
  EXPECT_EQ(full.Error(), std::strerror(ENOSPC));

  FileLineWriter missing("/nonexistent-folder/status.csv");
  EXPECT_FALSE(missing.Open());
  EXPECT_FALSE(missing.Write("x"));
  EXPECT_FALSE(missing.Error().empty());

  const auto path = std::filesystem::temp_directory_path() / "kivra_watch_test.csv";
  {
    FileLineWriter file(path.string());
    StatusRecorder r(file, RecordFormat::Csv);
    ASSERT_TRUE(r.Start());
    ASSERT_TRUE(r.Record(Sample(1)));
    // Read back before the writer closes: every record is on disk as soon as it is written.
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), CsvHeader() + CsvRow(Sample(1)));
  }
  std::filesystem::remove(path);
}

#ifndef _WIN32  // a file size limit stands for the full disk only on POSIX systems
TEST(StatusRecord, ARecordTheDiskTakesOnlyInPartIsCutOffAgain) {
  // A file size limit stands for the full disk: the write that crosses it fails (EFBIG).
  const auto path = std::filesystem::temp_directory_path() / "kivra_watch_limit.csv";
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  const std::size_t limit = CsvHeader().size() + 2 * CsvRow(Sample(0)).size() + 10;
  rlimit small = old;
  small.rlim_cur = limit;
  setrlimit(RLIMIT_FSIZE, &small);
  std::uint64_t records = 0;
  {
    FileLineWriter file(path.string());
    StatusRecorder r(file, RecordFormat::Csv);
    bool ok = r.Start();
    for (int i = 0; i < 5 && ok; ++i) ok = r.Record(Sample(i));
    records = r.Records();
    EXPECT_TRUE(r.Stopped());
  }
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(records, 2u);
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), CsvHeader() + CsvRow(Sample(0)) + CsvRow(Sample(1)));
  std::filesystem::remove(path);
}

#endif

// The engine's frame records as rows: a script of records and what the rows must be.
struct FeedRig : FrameListener {
  testing::FakeClock clock;
  LineFeed feed{clock};
  std::vector<LineEvent> rows;
  FeedRig() { feed.AddListener(this); }
  void OnFrame(const LineEvent& e) override { rows.push_back(e); }
};

struct Seen {
  Direction direction;
  FrameOutcome outcome;
  FrameFailure why;
  int number;  // a sent frame's attempt; a received row's reads (0: not checked)
};

TEST(LineFeed, RowsFollowTheEnginesJudgement) {
  const Frame status = StatusFrame();
  const Frame poll = CommandFrame('s', 0);
  const Frame speed = CommandFrame('V', 100);
  const Frame garbage{0xFF, 0x00};
  const Frame head(status.begin(), status.begin() + 5);
  const Frame tail(status.begin() + 5, status.end());
  const auto S = Direction::Sent;
  const auto R = Direction::Received;
  using O = FrameOutcome;
  using W = FrameFailure;
  using E = FrameEvent;
  using F = FrameFailure;
  struct Step {
    E event;
    Frame bytes;
    F why = F::None;
    int attempt = 1;
  };
  struct Case {
    const char* what;
    std::vector<Step> steps;
    std::vector<Seen> seen;
  };
  const Case cases[] = {
      {"accepted status",
       {{E::Sent, poll}, {E::Received, status}, {E::Accepted, status}},
       {{S, O::Sent, W::None, 1}, {R, O::Accepted, W::None, 1}}},
      {"garbage before the status is a row of its own",
       {{E::Sent, poll},
        {E::Received, garbage},
        {E::Received, status},
        {E::PassedOver, garbage, F::Garbage},
        {E::Accepted, status}},
       {{S, O::Sent, W::None, 1}, {R, O::Ignored, W::Garbage, 1}, {R, O::Accepted, W::None, 1}}},
      {"a split reply keeps its reads",
       {{E::Sent, poll}, {E::Received, head}, {E::Received, tail}, {E::Accepted, status}},
       {{S, O::Sent, W::None, 1}, {R, O::Accepted, W::None, 2}}},
      {"garbled status",
       {{E::Sent, poll}, {E::Received, Broken(status)}, {E::Failed, Broken(status), F::Checksum}},
       {{S, O::Sent, W::None, 1}, {R, O::Failed, W::Checksum, 1}}},
      {"no answer, then the retry",
       {{E::Sent, poll}, {E::Failed, {}, F::TimeOut}, {E::Sent, poll, F::None, 2}},
       {{S, O::Sent, W::None, 1}, {R, O::Failed, W::TimeOut, 0}, {S, O::Sent, W::None, 2}}},
      {"half a reply that timed out",
       {{E::Sent, poll}, {E::Received, head}, {E::Failed, head, F::Partial}},
       {{S, O::Sent, W::None, 1}, {R, O::Failed, W::Partial, 1}}},
      {"15h for an acknowledgement",
       {{E::Sent, speed}, {E::Received, {0x15}}, {E::Failed, {0x15}, F::Refused}},
       {{S, O::Sent, W::None, 1}, {R, O::Failed, W::Refused, 1}}},
      {"a late status before the acknowledgement",
       {{E::Sent, speed},
        {E::Received, status},
        {E::Received, {0x06}},
        {E::PassedOver, status},
        {E::Accepted, {0x06}}},
       {{S, O::Sent, W::None, 1}, {R, O::Ignored, W::None, 1}, {R, O::Accepted, W::None, 1}}},
      {"a valid frame no reply has, passed over",
       {{E::Sent, poll},
        {E::Received, Reply('q', {1, 2, 3, 4})},
        {E::Received, status},
        {E::PassedOver, Reply('q', {1, 2, 3, 4}), F::Garbage},
        {E::Accepted, status}},
       {{S, O::Sent, W::None, 1}, {R, O::Ignored, W::Garbage, 1}, {R, O::Accepted, W::None, 1}}},
      {"a flood after the answer shows before the next poll",
       {{E::Sent, poll},
        {E::Received, status},
        {E::Accepted, status},
        {E::Received, status},
        {E::PassedOver, status},
        {E::Sent, poll}},
       {{R, O::Accepted, W::None, 1}, {R, O::Ignored, W::None, 1}, {S, O::Sent, W::None, 1}}},
      {"a reply split across the next poll is one row, passed over: it came before the poll",
       {{E::Sent, poll},
        {E::Received, head},
        {E::Sent, poll, F::None, 2},
        {E::Received, tail},
        {E::PassedOver, status}},
       {{S, O::Sent, W::None, 2}, {R, O::Ignored, W::None, 2}}},
      {"the port refused the frame",
       {{E::Failed, poll, F::PortRefused}},
       {{S, O::Failed, W::PortRefused, 1}}},
      {"a reply too short for its fields",
       {{E::Sent, poll}, {E::Received, Reply('s', {1})}, {E::Failed, Reply('s', {1}), F::TooShort}},
       {{S, O::Sent, W::None, 1}, {R, O::Failed, W::TooShort, 1}}},
  };
  for (const Case& c : cases) {
    FeedRig rig;
    std::size_t came = 0;
    for (const Step& step : c.steps) {
      rig.clock.now += 10;
      FrameRecord r{.event = step.event,
                    .why = step.why,
                    .bytes = step.bytes,
                    .timeMs = rig.clock.now,
                    .attempt = step.attempt,
                    .attempts = 3,
                    .roundTripMs = 10};
      rig.feed.OnFrame(r);
      if (step.event == E::Received) came += step.bytes.size();
    }
    ASSERT_GE(rig.rows.size(), c.seen.size()) << c.what;
    const std::size_t from = rig.rows.size() - c.seen.size();
    for (std::size_t i = 0; i < c.seen.size(); ++i) {
      const LineEvent& e = rig.rows[from + i];
      EXPECT_EQ(e.direction, c.seen[i].direction) << c.what << " row " << i;
      EXPECT_EQ(e.outcome, c.seen[i].outcome) << c.what << " row " << i;
      EXPECT_EQ(e.why, c.seen[i].why) << c.what << " row " << i;
      if (e.direction == Direction::Sent) {
        EXPECT_EQ(e.attempt, c.seen[i].number) << c.what << " row " << i;
      } else if (c.seen[i].number > 0) {
        EXPECT_EQ(e.reads, c.seen[i].number) << c.what << " row " << i;
      }
      if (e.outcome == O::Accepted) {
        EXPECT_EQ(e.roundTripMs, 10) << c.what;
      }
    }
    // Nothing received is lost or shown twice: the received rows hold the bytes that came.
    std::size_t shown = 0;
    for (const LineEvent& e : rig.rows)
      if (e.direction == Direction::Received) shown += e.bytes.size();
    EXPECT_EQ(shown, came) << c.what;
  }
}

TEST(LineFeed, BoundedWhileBytesPileUpAndTheLinkStateIsARow) {
  FeedRig rig;
  const Frame flood(3 * LineFeed::kMaxPending, 0xFF);
  for (std::size_t at = 0; at < flood.size(); at += 64) {
    const std::span<const std::uint8_t> piece(flood.data() + at, 64);
    rig.feed.OnFrame({.event = FrameEvent::Received, .bytes = piece});
  }
  std::size_t shown = 0;
  for (const LineEvent& e : rig.rows) {
    EXPECT_EQ(e.outcome, FrameOutcome::Ignored);
    shown += e.bytes.size();
  }
  EXPECT_GE(shown, flood.size() - LineFeed::kMaxPending);
  rig.clock.now = 77;
  rig.feed.OnLinkStatus(LinkStatus::NotAnswering);
  EXPECT_EQ(rig.rows.back().outcome, FrameOutcome::Link);
  EXPECT_EQ(rig.rows.back().timeMs, 77);
  EXPECT_EQ(rig.rows.back().linkStatus, static_cast<int>(LinkStatus::NotAnswering));
  // Bytes the engine has not judged yet wait while the link is on (the start of a reply
  // waits for its rest), and show when the port closes.
  const Frame status = StatusFrame();
  const Frame head(status.begin(), status.begin() + 4);
  rig.feed.OnFrame({.event = FrameEvent::Received, .bytes = head});
  rig.feed.OnLinkStatus(LinkStatus::NotAnswering);
  EXPECT_EQ(rig.rows.back().outcome, FrameOutcome::Link);
  rig.feed.OnLinkStatus(LinkStatus::PortClosed);
  ASSERT_GE(rig.rows.size(), 2u);
  const Frame& last = rig.rows[rig.rows.size() - 2].bytes;
  ASSERT_GE(last.size(), head.size());
  EXPECT_TRUE(std::equal(head.begin(), head.end(), last.end() - 4));
  EXPECT_EQ(rig.rows[rig.rows.size() - 2].why, FrameFailure::Partial);
  shown = 0;
  for (const LineEvent& e : rig.rows) shown += e.bytes.size();
  EXPECT_EQ(shown, flood.size() + head.size());  // nothing lost, nothing twice
}

// The feed on the engine itself: what the engine decides is what the rows say.
TEST(LineFeed, OnTheEngine) {
  struct Case {
    const char* what;
    std::vector<Frame> arrivals;  // one per tick after the poll went out
    FrameOutcome outcome;
    FrameFailure why;
    int reads;
  };
  const Frame status = StatusFrame(1);
  const Case cases[] = {
      {"whole", {status}, FrameOutcome::Accepted, FrameFailure::None, 1},
      {"split over two ticks",
       {Frame(status.begin(), status.begin() + 7), Frame(status.begin() + 7, status.end())},
       FrameOutcome::Accepted,
       FrameFailure::None,
       2},
      {"garbled", {Broken(status)}, FrameOutcome::Failed, FrameFailure::Checksum, 1},
      {"garbage first", {Frame{0xFF, 0x00}, status}, FrameOutcome::Accepted, FrameFailure::None, 1},
  };
  for (const Case& c : cases) {
    testing::Rig r;
    LineFeed feed(r.clock);
    std::vector<LineEvent> rows;
    struct Keep : FrameListener {
      std::vector<LineEvent>& rows;
      explicit Keep(std::vector<LineEvent>& r) : rows(r) {}
      void OnFrame(const LineEvent& e) override { rows.push_back(e); }
    } keep(rows);
    feed.AddListener(&keep);
    r.engine.AddObserver(feed);
    r.Tick();  // the poll goes out
    std::size_t came = 0;
    for (const Frame& f : c.arrivals) {
      r.clock.now += 20;
      r.port.Receive(f);
      came += f.size();
      r.Tick();
    }
    r.Tick();  // the next poll goes out: what the engine passed over is shown by then
    std::size_t shown = 0;
    for (const LineEvent& e : rows)
      if (e.direction == Direction::Received) shown += e.bytes.size();
    EXPECT_EQ(shown, came) << c.what;
    const auto judged = std::find_if(rows.begin(), rows.end(), [](const LineEvent& e) {
      return e.outcome == FrameOutcome::Accepted || e.outcome == FrameOutcome::Failed;
    });
    ASSERT_NE(judged, rows.end()) << c.what;
    EXPECT_EQ(judged->outcome, c.outcome) << c.what;
    EXPECT_EQ(judged->why, c.why) << c.what;
    EXPECT_EQ(judged->reads, c.reads) << c.what;
    EXPECT_EQ(judged->roundTripMs, 20 * static_cast<int>(c.arrivals.size())) << c.what;
    EXPECT_TRUE(rows.front().IsStatusPoll()) << c.what;
    EXPECT_EQ(rows.front().maxAttempts, 3) << c.what;
    r.engine.RemoveObserver(feed);
  }
}

TEST(EventText, OutcomesAndLinesInBothLanguages) {
  LineEvent retry{
      .timeMs = 5, .direction = Direction::Sent, .attempt = 2, .maxAttempts = 5, .bytes = {}};
  retry.bytes = CommandFrame('P', 0);
  LineEvent accepted{.timeMs = 42,
                     .direction = Direction::Received,
                     .outcome = FrameOutcome::Accepted,
                     .roundTripMs = 37,
                     .bytes = {}};
  accepted.bytes = StatusFrame(0x41, 0x05, 10, 12, 200, 31);
  accepted.reads = 2;
  const LineEvent timeout{.timeMs = 9,
                          .direction = Direction::Received,
                          .outcome = FrameOutcome::Failed,
                          .why = FrameFailure::TimeOut,
                          .bytes = {}};
  LineEvent garbage{.timeMs = 9,
                    .direction = Direction::Received,
                    .outcome = FrameOutcome::Ignored,
                    .why = FrameFailure::Garbage,
                    .bytes = {}};
  garbage.bytes = {0xFF, 0x00};
  LineEvent link{.timeMs = 9, .outcome = FrameOutcome::Link, .bytes = {}};
  link.linkStatus = static_cast<std::int8_t>(LinkStatus::Reconnecting);
  struct Case {
    const LineEvent& event;
    const char* english;
    const char* turkish;
  };
  const Case cases[] = {
      {retry, "retry 2 of 5", "tekrar 2/5"},
      {accepted, "accepted", "kabul edildi"},
      {timeout, "failed: time-out", "hata: zaman aşımı"},
      {garbage, "ignored: garbage", "yok sayıldı: anlamsız bayt"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OutcomeText(c.event, Language::English), c.english);
    EXPECT_EQ(OutcomeText(c.event, Language::Turkish), c.turkish);
  }
  EXPECT_EQ(EventLine(retry, Language::English),
            "5 ms  TX  08 4B 50 00 00 00 00 13  begin download  [retry 2 of 5]");
  EXPECT_EQ(EventLine(timeout, Language::English), "9 ms  RX  --  no reply  [failed: time-out]");
  EXPECT_EQ(EventLine(garbage, Language::Turkish),
            "9 ms  RX  FF 00  çözülemedi  [yok sayıldı: anlamsız bayt]");
  EXPECT_EQ(EventLine(link, Language::English),
            std::string("9 ms  --  --  ") +
                std::string(texts::LinkStatusText(LinkStatus::Reconnecting, Language::English)) +
                "  [link]");
  // A meaning with commas is quoted, so every CSV row has the header's six columns.
  EXPECT_EQ(EventCsvHeader(), "time_ms,direction,bytes,meaning,outcome,round_trip_ms\n");
  const std::string row = EventCsvRow(accepted, Language::English);
  EXPECT_EQ(row.substr(0, 57), "42,RX,10 73 41 0C C8 05 1F 0C 00 00 0A 00 00 00 00 FA,\"st");
  EXPECT_EQ(row.substr(row.size() - 14), "\",accepted,37\n");
  EXPECT_EQ(RoundTripText(accepted, Language::English), "37 ms, 2 reads");
  EXPECT_EQ(RoundTripText(accepted, Language::Turkish), "37 ms, 2 parça");
  EXPECT_EQ(RoundTripText(retry, Language::English), "");
}

}  // namespace
}  // namespace kivra::link
