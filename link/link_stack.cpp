#include "link/link_stack.h"

namespace kivra::link {
namespace {

std::unique_ptr<SerialLink> OwnLine(const LinkStackOptions& o) {
  if (o.line) return nullptr;
  return std::make_unique<SerialLink>(o.settings, o.logFolder);
}

}  // namespace

std::uint64_t LinkStack::SinceStart::NowMs() {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now() - start)
                                        .count());
}

LinkStack::LinkStack(IntervalTimer& timer, SettingsStore& settings, PortView& view,
                     LinkStackOptions options)
    : own_(OwnLine(options)),
      line_(options.line ? *options.line : *own_),
      engine_(line_, timer, &clock_),
      ports_(engine_, line_, settings, view) {
  engine_.AddObserver(feed_);
}

void LinkStack::Tick() {
  ports_.Tick();
  engine_.Tick();
}

}  // namespace kivra::link
