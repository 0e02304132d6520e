#include "link/outcome_text.h"

#include "link/texts.h"

namespace kivra::link {
namespace {

using namespace texts;

}  // namespace

std::string_view FailureText(FrameFailure why, Language language) {
  switch (why) {
    case FrameFailure::Refused:
      return texts::Pick(kDriverRefused, language);
    case FrameFailure::WrongLetter:
      return texts::Pick(kWrongReply, language);
    case FrameFailure::Checksum:
      return texts::Pick(kBrokenReply, language);
    case FrameFailure::TooShort:
      return texts::Pick(kShortReply, language);
    case FrameFailure::PortRefused:
      return texts::Pick(kPortRefusedFrame, language);
    case FrameFailure::LinkOff:
      return texts::Pick(kPortNotOpen, language);
    case FrameFailure::None:
    case FrameFailure::TimeOut:
    case FrameFailure::Partial:
    case FrameFailure::Garbage:
      break;
  }
  return texts::Pick(kNoAnswer, language);
}

std::string DownloadFailureText(const DownloadProgress& p, Language language) {
  if (p.stage != DownloadProgress::Stage::Ended || p.result != DownloadResult::Failed) return {};
  std::string step;
  switch (p.failedStep) {
    case LinkState::DownloadData:
      step = std::string(texts::Pick(kDataFrame, language)) + std::to_string(p.offset);
      break;
    case LinkState::DownloadVectors:
      step = texts::Pick(kVectorFrame, language);
      break;
    case LinkState::DownloadName:
      step = texts::Pick(kNameFrame, language);
      break;
    default:
      step = texts::Pick(kBeginFrame, language);
      break;
  }
  const std::string_view reason =
      p.replaced ? texts::Pick(kReplaced, language) : FailureText(p.why, language);
  return std::string(texts::Pick(kStoppedAt, language)) + step + ": " + std::string(reason) + ".";
}

}  // namespace kivra::link
