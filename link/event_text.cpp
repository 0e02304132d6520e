#include "link/event_text.h"

#include "common/csv.h"
#include "link/decode.h"
#include "link/texts.h"

namespace kivra::link {
namespace {

std::string_view ReasonText(FrameFailure why, Language language) {
  using namespace texts;
  switch (why) {
    case FrameFailure::None:
      return "";
    case FrameFailure::Checksum:
      return Pick(kReasonChecksum, language);
    case FrameFailure::WrongLetter:
      return Pick(kReasonWrongLetter, language);
    case FrameFailure::TooShort:
      return Pick(kReasonTooShort, language);
    case FrameFailure::Refused:
      return Pick(kReasonDriverRefused, language);
    case FrameFailure::TimeOut:
      return Pick(kReasonTimeout, language);
    case FrameFailure::Partial:
      return Pick(kReasonPartial, language);
    case FrameFailure::Garbage:
      return Pick(kReasonGarbage, language);
    case FrameFailure::PortRefused:
      return Pick(kReasonPortRefused, language);
    case FrameFailure::LinkOff:
      return Pick(kReasonPortNotOpen, language);
  }
  return "";
}

}  // namespace

const char* DirectionText(const LineEvent& e) {
  if (e.outcome == FrameOutcome::Link) return "--";
  return e.direction == Direction::Sent ? "TX" : "RX";
}

std::string OutcomeText(const LineEvent& e, Language language) {
  using namespace texts;
  std::string s;
  switch (e.outcome) {
    case FrameOutcome::Sent:
      if (e.attempt > 1)
        return std::string(Pick(kRetry, language)) + std::to_string(e.attempt) +
               std::string(Pick(kRetryOf, language)) + std::to_string(e.maxAttempts);
      return std::string(Pick(kSent, language));
    case FrameOutcome::Accepted:
      return std::string(Pick(kAccepted, language));
    case FrameOutcome::Link:
      return std::string(Pick(kLinkRow, language));
    case FrameOutcome::Failed:
      s = Pick(kFailed, language);
      break;
    case FrameOutcome::Ignored:
      s = Pick(kIgnored, language);
      break;
  }
  if (e.why != FrameFailure::None) s += ": " + std::string(ReasonText(e.why, language));
  return s;
}

std::string MeaningText(const LineEvent& e, Language language) {
  if (e.outcome == FrameOutcome::Link)
    return std::string(texts::LinkStatusText(static_cast<LinkStatus>(e.linkStatus), language));
  if (e.bytes.empty()) return std::string(texts::Pick(texts::kNoReply, language));
  return DescribeFrame(DecodeFrame(e.bytes, e.direction), language);
}

std::string RoundTripText(const LineEvent& e, Language language) {
  if (e.roundTripMs < 0) return {};
  std::string s = std::to_string(e.roundTripMs) + " ms";
  // A reply that came in parts: on a real line most do; a long round trip with them is a
  // reply that paused on the way.
  if (e.reads > 1)
    s += ", " + std::to_string(e.reads) + std::string(texts::Pick(texts::kReads, language));
  return s;
}

std::string EventLine(const LineEvent& e, Language language) {
  std::string line = std::to_string(e.timeMs) + " ms  " + DirectionText(e) + "  ";
  line += e.bytes.empty() ? std::string("--") : HexBytes(e.bytes);
  line += "  " + MeaningText(e, language) + "  [" + OutcomeText(e, language) + "]";
  if (e.roundTripMs >= 0) line += "  " + RoundTripText(e, language);
  return line;
}

std::string EventCsvHeader() {
  return "time_ms,direction,bytes,meaning,outcome,round_trip_ms\n";
}

std::string EventCsvRow(const LineEvent& e, Language language) {
  return std::to_string(e.timeMs) + "," + DirectionText(e) + "," + HexBytes(e.bytes) + "," +
         csv::TextField(MeaningText(e, language)) + "," + csv::TextField(OutcomeText(e, language)) +
         "," + (e.roundTripMs >= 0 ? std::to_string(e.roundTripMs) : std::string()) + "\n";
}

}  // namespace kivra::link
