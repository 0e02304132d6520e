// kivra monitor --port DEV [--count N] [--no-status] [--lang tr|en]
// Every frame on the line, one line each: time, direction, bytes, meaning, outcome and
// round trip, as the window's frame inspector shows them. Exits 1 when the driver answered
// nothing.

#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/link_session.h"
#include "link/event_text.h"
#include "link/integer.h"

namespace kivra::cli {
namespace {

constexpr const char* kUsage =
    "usage: kivra monitor --port DEV [--count N] [--no-status] [--lang tr|en]";

class Printer final : public link::FrameListener {
 public:
  Printer(Language language, bool hideStatus) : language_(language), hideStatus_(hideStatus) {}
  void OnFrame(const link::LineEvent& e) override {
    if (e.outcome == link::FrameOutcome::Accepted) ++accepted_;
    if (hideStatus_ && e.IsStatusPoll() && e.outcome != link::FrameOutcome::Failed) return;
    std::printf("%s\n", link::EventLine(e, language_).c_str());
    std::fflush(stdout);
    ++printed_;
  }
  long Printed() const { return printed_; }
  long Accepted() const { return accepted_; }

 private:
  Language language_;
  bool hideStatus_;
  long printed_ = 0;
  long accepted_ = 0;
};

}  // namespace

int RunMonitor(const Args& args) {
  if (HelpAsked(args, kUsage)) return 0;
  LinkOptions options;
  std::string error;
  long count = -1;
  bool hideStatus = false;
  if (ParseLinkOptions(args, options, error, {"--count"}, {"--no-status"})) {
    for (std::size_t i = 0; i < options.operands.size(); ++i) {
      const std::string& a = options.operands[i];
      if (a == "--no-status") {
        hideStatus = true;
      } else if (a == "--count" && i + 1 < options.operands.size()) {
        const auto n = link::ParseInteger(options.operands[++i]);
        if (!n || *n <= 0) error = "--count takes a positive number";
        count = n ? *n : -1;
      } else {
        error = "unexpected " + a;
      }
    }
  }
  if (!error.empty()) {
    std::fprintf(stderr, "kivra monitor: %s\n%s\n", error.c_str(), kUsage);
    return 2;
  }
  LinkSession session(options);
  Printer printer(options.language, hideStatus);
  session.Feed().AddListener(&printer);
  if (!session.Open()) return 1;
  session.RunUntil([&] { return count > 0 && printer.Printed() >= count; });
  // Rows of frames that nothing answered are no success.
  return printer.Accepted() > 0 ? 0 : 1;
}

}  // namespace kivra::cli
