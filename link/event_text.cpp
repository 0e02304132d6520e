#include "link/event_text.h"

#include "common/csv.h"
#include "common/texts.h"
#include "link/decode.h"

namespace kivra::link {
namespace {

const char* ReasonText(FailReason why, bool english) {
  switch (why) {
    case FailReason::None:
      return "";
    case FailReason::Checksum:
      return english ? "checksum" : "sağlama";
    case FailReason::WrongLetter:
      return english ? "wrong letter" : "yanlış harf";
    case FailReason::TooShort:
      return english ? "too short" : "kısa";
    case FailReason::DriverRefused:
      return english ? "refused by the driver" : "sürücü reddetti";
    case FailReason::Timeout:
      return english ? "time-out" : "zaman aşımı";
    case FailReason::Partial:
      return english ? "partial" : "eksik";
    case FailReason::Garbage:
      return english ? "garbage" : "anlamsız bayt";
    case FailReason::Refused:
      return english ? "refused by the port" : "port almadı";
    case FailReason::LinkOff:
      return english ? "port not open" : "port açık değil";
  }
  return "";
}

}  // namespace

const char* DirectionText(const LineEvent& e) {
  if (e.outcome == FrameOutcome::Link) return "--";
  return e.direction == Direction::Sent ? "TX" : "RX";
}

std::string OutcomeText(const LineEvent& e, bool english) {
  std::string s;
  switch (e.outcome) {
    case FrameOutcome::Sent:
      if (e.attempt > 1)
        return (english ? "retry " : "tekrar ") + std::to_string(e.attempt) +
               (english ? " of " : "/") + std::to_string(e.maxAttempts);
      return english ? "sent" : "gönderildi";
    case FrameOutcome::Accepted:
      return english ? "accepted" : "kabul edildi";
    case FrameOutcome::Link:
      return english ? "link" : "bağlantı";
    case FrameOutcome::Failed:
      s = english ? "failed" : "hata";
      break;
    case FrameOutcome::Ignored:
      s = english ? "ignored" : "yok sayıldı";
      break;
  }
  if (e.why != FailReason::None) s += std::string(": ") + ReasonText(e.why, english);
  return s;
}

std::string MeaningText(const LineEvent& e, bool english) {
  if (e.outcome == FrameOutcome::Link)
    return std::string(texts::LinkStatusText(static_cast<LinkStatus>(e.linkStatus), english));
  if (e.bytes.empty()) return english ? "no reply" : "yanıt yok";
  return DescribeFrame(DecodeFrame(e.bytes, e.direction), english);
}

std::string RoundTripText(const LineEvent& e, bool english) {
  if (e.roundTripMs < 0) return {};
  std::string s = std::to_string(e.roundTripMs) + " ms";
  // A reply that came in parts: on a real line most do; a long round trip with them is a
  // reply that paused on the way.
  if (e.reads > 1) s += ", " + std::to_string(e.reads) + (english ? " reads" : " parça");
  return s;
}

std::string EventLine(const LineEvent& e, bool english) {
  std::string line = std::to_string(e.timeMs) + " ms  " + DirectionText(e) + "  ";
  line += e.bytes.empty() ? std::string("--") : HexBytes(e.bytes);
  line += "  " + MeaningText(e, english) + "  [" + OutcomeText(e, english) + "]";
  if (e.roundTripMs >= 0) line += "  " + RoundTripText(e, english);
  return line;
}

std::string EventCsvHeader() {
  return "time_ms,direction,bytes,meaning,outcome,round_trip_ms\n";
}

std::string EventCsvRow(const LineEvent& e, bool english) {
  return std::to_string(e.timeMs) + "," + DirectionText(e) + "," + HexBytes(e.bytes) + "," +
         csv::TextField(MeaningText(e, english)) + "," + csv::TextField(OutcomeText(e, english)) +
         "," + (e.roundTripMs >= 0 ? std::to_string(e.roundTripMs) : std::string()) + "\n";
}

}  // namespace kivra::link
