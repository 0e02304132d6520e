#include "link/port_selection.h"

#include <exception>

#include "link/integer.h"
#include "link/texts.h"

namespace kivra::link {

std::optional<PortName> ParsePortName(std::string_view text) {
  if (const auto n = ParseInteger(text)) return PortName{static_cast<std::uint8_t>(*n), {}};
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == '/') return PortName{0, std::string(text)};
  return std::nullopt;
}

PortSelection::PortSelection(LinkEngine& engine, PortOpener& opener, SettingsStore& settings,
                             LinkView& view, PortDialogView& dialog)
    : engine_(engine), opener_(opener), settings_(settings), view_(view), dialog_(dialog) {}

bool PortSelection::OpenCurrent() {
  try {
    opener_.SetPort(current_);
    view_.SetText(ctl::PortNumber, current_.Text());
    view_.SetText(ctl::PortNumberDirect, current_.Text());
    opener_.SetOpen(true);
    engine_.SetLinkEnabled(true);
    lastOpenError_.clear();
    return true;
  } catch (const std::exception& e) {
    lastOpenError_ = e.what();
    engine_.SetLinkEnabled(false);
    engine_.ShowLinkDown();
    view_.SetText(ctl::PortNumber, "");
    view_.SetText(ctl::PortNumberDirect, "");
    view_.ShowMessage(MessageKind::Warning, PortNotOpened(current_.Text(), engine_.English()));
    return false;
  }
}

void PortSelection::StartUp() {
  engine_.ResetToIdle();
  const auto port = ParsePortName(settings_.ReadSetting(kComPortSetting, "1"));
  if (!port) {
    // The message names the port number as it stands, which the bad setting did not change.
    engine_.SetLinkEnabled(false);
    engine_.ShowLinkDown();
    view_.SetText(ctl::PortNumber, "");
    view_.SetText(ctl::PortNumberDirect, "");
    view_.ShowMessage(MessageKind::Warning, PortNotOpened(current_.Text(), engine_.English()));
    return;
  }
  current_ = *port;
  if (!current_.IsPath() && current_.number == 0) current_.number = 1;
  OpenCurrent();
}

void PortSelection::ShowDialog() {
  dialog_.SetCancelCaption(Tr(Text::Cancel, engine_.English()));
  dialog_.SetDialogVisible(true);
}

void PortSelection::DialogCreated() { dialog_.SetNumberText(current_.Text()); }

void PortSelection::DialogCancel() { dialog_.SetDialogVisible(false); }

void PortSelection::DialogOk(std::string_view text) {
  const auto port = ParsePortName(text);
  if (!port) {
    engine_.SetLinkEnabled(false);
    view_.ShowMessage(MessageKind::Error, Tr(Text::EnterNumber, engine_.English()));
    return;
  }
  current_ = *port;
  if (!OpenCurrent()) return;
  dialog_.SetDialogVisible(false);
  settings_.WriteSetting(kComPortSetting, current_.Text());
}

}  // namespace kivra::link
