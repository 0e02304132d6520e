#include "link/port_selection.h"

#include <exception>

#include "link/integer.h"

namespace kivra::link {

std::optional<PortName> ParsePortName(std::string_view text) {
  if (const auto n = ParseInteger(text)) return PortName::Number(static_cast<std::uint8_t>(*n));
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == '/') return PortName::Device(std::string(text));
  return std::nullopt;
}

PortSelection::PortSelection(LinkEngine& engine, PortOpener& opener, SettingsStore& settings,
                             PortView& view)
    : engine_(engine), opener_(opener), settings_(settings), view_(view) {}

void PortSelection::LinkOff() {
  engine_.SetLinkEnabled(false);
  view_.ShowPortNumber("");
}

bool PortSelection::OpenCurrent(bool startUp) {
  waiting_ = false;
  try {
    opener_.SetPort(current_);
    view_.ShowPortNumber(current_.ToString());
    opener_.SetOpen(true);
    engine_.SetLinkEnabled(true);
    lastOpenError_.clear();
    return true;
  } catch (const std::exception& e) {
    lastOpenError_ = e.what();
    const auto* known = dynamic_cast<const PortOpenError*>(&e);
    const OpenFailure reason = known ? known->Reason() : OpenFailure::Other;
    LinkOff();
    view_.PortNotOpened(current_.ToString(), reason, e.what(), startUp);
    return false;
  }
}

void PortSelection::StartUp() {
  engine_.ResetToIdle();
  const auto port = ParsePortName(settings_.ReadSetting(kComPortSetting, "1"));
  if (!port) {
    // The message names the port number as it stands, which the bad setting did not change.
    LinkOff();
    view_.PortNotOpened(current_.ToString(), OpenFailure::Other, "", true);
    return;
  }
  current_ = *port;
  if (current_.IsNumber() && current_.number() == 0) current_ = PortName::Number(1);
  OpenCurrent(true);
}

void PortSelection::ShowDialog() {
  view_.SetDialogVisible(true);
}

void PortSelection::DialogCreated() {
  view_.SetNumberText(current_.ToString());
}

void PortSelection::DialogCancel() {
  view_.SetDialogVisible(false);
}

void PortSelection::DialogOk(std::string_view text) {
  const auto port = ParsePortName(text);
  if (!port) {
    // The link stops, and the indicators say so rather than keep their last colour.
    waiting_ = false;
    engine_.SetLinkEnabled(false);
    view_.PortNotANumber();
    return;
  }
  current_ = *port;
  if (!OpenCurrent(false)) return;
  view_.SetDialogVisible(false);
  settings_.WriteSetting(kComPortSetting, current_.ToString());
}

void PortSelection::Tick() {
  if (!waiting_) {
    if (!engine_.LinkEnabled() || !opener_.DeviceLost()) return;
    waiting_ = true;
    waitedMs_ = 0;
    try {
      opener_.SetOpen(false);  // lets go of the dead device, so its path can come back
    } catch (const std::exception&) {
    }
    engine_.PortLost();
    return;
  }
  waitedMs_ += engine_.Interval();
  if (waitedMs_ < kLookForDeviceMs) return;
  waitedMs_ = 0;
  if (!opener_.DevicePresent(current_)) return;
  try {
    opener_.SetOpen(true);
  } catch (const std::exception&) {
    return;  // there, but not ready yet (or taken): looked at again later
  }
  waiting_ = false;
  engine_.PortRestored();
}

}  // namespace kivra::link
