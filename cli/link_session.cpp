#include "cli/link_session.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <iostream>

#include "common/texts.h"
#include "link/outcome_text.h"
#include "serial/port_list.h"
#include "serial/port_prompt.h"

namespace kivra::cli {
namespace {

// The desktop's line settings; no SERIAL.LOG in whatever directory a command runs in.
serial::PortSettings CommandLineSettings() {
  serial::PortSettings s = serial::PortSettings::DriverLink();
  s.logging = serial::LogState::LogOff;
  return s;
}

}  // namespace

bool ParseLinkOptions(const Args& args, LinkOptions& o, std::string& error,
                      const std::vector<std::string>& valueOptions,
                      const std::vector<std::string>& flagOptions) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string_view name, std::string& out) {
      if (a == name) {
        if (i + 1 >= args.size()) {
          error = std::string(name) + " needs a value";
          return false;
        }
        out = args[++i];
        return true;
      }
      out = a.substr(name.size() + 1);
      return true;
    };
    if (a == "--port" || a.starts_with("--port=")) {
      if (!value("--port", o.port)) return false;
    } else if (a == "--lang" || a.starts_with("--lang=")) {
      std::string lang;
      if (!value("--lang", lang)) return false;
      if (lang != "tr" && lang != "en") {
        error = "--lang takes tr or en";
        return false;
      }
      o.language = lang == "en" ? Language::English : Language::Turkish;
    } else if (a.starts_with("--") && a.size() > 2) {
      bool known = false;
      for (const auto& name : flagOptions) {
        if (a == name) {
          o.operands.push_back(name);
          known = true;
        }
      }
      for (const auto& name : valueOptions) {
        if (a == name || a.starts_with(name + "=")) {
          std::string v;
          if (!value(name, v)) return false;
          o.operands.push_back(name);
          o.operands.push_back(v);
          known = true;
        }
      }
      if (!known) {
        error = "unknown option " + a;
        return false;
      }
    } else {
      o.operands.push_back(a);
    }
  }
  if (o.port.empty()) {
    error = "--port DEV is required (a port number or a device path)";
    return false;
  }
  return AskForPortZero(o.port, error, o.language);
}

bool AskForPortZero(std::string& portText, std::string& error, Language language) {
  if (!CheckPortText(portText, language, error)) return false;
  const auto port = link::ParsePortName(portText);
  if (port && port->IsNumber() && port->number() == 0) {
    // Port 0 means "ask": on a terminal only, never a silent choice.
    if (!IsTerminal(stdin)) {
      error = "--port 0 asks for the port on a terminal, and standard input is none";
      return false;
    }
    const auto chosen = serial::AskForPort(std::cin, std::cerr, serial::ListSerialPorts());
    if (!chosen) {
      error = "--port 0: no port chosen";
      return false;
    }
    portText = chosen->ToString();
  }
  return true;
}

void TerminalReport::Print(std::string_view utf8) {
  if (progress_ && IsTerminal(stderr)) std::fputc('\n', stderr);
  std::fprintf(stderr, "%.*s\n", static_cast<int>(utf8.size()), utf8.data());
  ++messages_;
}

void TerminalReport::OnNotice(link::Notice notice, std::string_view detail) {
  switch (notice) {
    case link::Notice::NoValidProgram:
      return Print(texts::Pick(texts::kNoValidProgram, language_));
    case link::Notice::DownloadNoPort:
      return Print(texts::Pick(texts::kDownloadNoPort, language_));
    case link::Notice::DownloadWaitsForPort:
      return Print(texts::Pick(texts::kDownloadWaitsForPort, language_));
    case link::Notice::DownloadError:
      Print(texts::Pick(texts::kDownloadError, language_));
      if (!downloadFailure_.empty()) Print(downloadFailure_);
      return;
    case link::Notice::NumberExpected:
      return Print(texts::Pick(texts::kNumberExpected, language_));
    case link::Notice::PortError:
      return Print(detail);
  }
}

void TerminalReport::PortNotOpened(std::string_view port, link::OpenFailure reason,
                                   std::string_view detail, bool) {
  Print(texts::PortNotOpened(port, reason, detail, language_));
}

void TerminalReport::PortNotANumber() {
  Print(texts::Pick(texts::kEnterNumber, language_));
}

void TerminalReport::OnDownload(const link::DownloadProgress& p) {
  using Stage = link::DownloadProgress::Stage;
  if (p.stage == Stage::Ended) {
    downloadFailure_ = link::DownloadFailureText(p, language_);
    return EndProgress();
  }
  if (p.stage == Stage::Started) {
    maximum_ = p.maximum;
    progress_ = true;
    lastShown_ = -1;
  }
  if (!progress_ || maximum_ == 0) return;
  const std::string caption(texts::Pick(texts::kDownloadCaption, language_));
  const int percent =
      static_cast<int>(std::min<std::uint64_t>(100, 100ull * p.position / maximum_));
  if (IsTerminal(stderr)) {
    if (percent == lastShown_) return;
    std::fprintf(stderr, "\r%s %3d%%", caption.c_str(), percent);
  } else {
    // One line per tenth when stderr is a file or a pipe.
    if (percent / 10 == lastShown_ / 10 && lastShown_ >= 0) return;
    std::fprintf(stderr, "%s %3d%%\n", caption.c_str(), percent);
  }
  lastShown_ = percent;
  std::fflush(stderr);
}

void TerminalReport::EndProgress() {
  if (progress_ && IsTerminal(stderr)) std::fputc('\n', stderr);
  progress_ = false;
}

LinkSession::LinkSession(const LinkOptions& options)
    : report_(options.language),
      loop_([this](std::chrono::steady_clock::duration d) {
        // The tick loop alone takes Ctrl+C; after another wake-up it recomputes the wait.
        if (stops_.Wait(d)) {
          interrupted_ = true;
          return false;
        }
        return true;
      }),
      stack_(loop_, settings_, report_,
             {.settings = CommandLineSettings(), .logFolder = {}, .line = nullptr}) {
  settings_.port = options.port;
  stack_.Engine().AddObserver(report_);
}

LinkSession::~LinkSession() {
  stack_.Engine().RemoveObserver(report_);
}

bool LinkSession::Open() {
  stack_.Ports().StartUp();  // a port that does not open is warned of with the reason
  return stack_.Engine().LinkEnabled();
}

bool LinkSession::RunUntil(const std::function<bool()>& done,
                           std::chrono::steady_clock::duration limit) {
  if (interrupted_) return false;
  return loop_.Run([this] { stack_.Tick(); }, done, std::chrono::steady_clock::now() + limit);
}

bool LinkSession::WaitForStatus(std::chrono::steady_clock::duration limit) {
  const auto start = Engine().Progress().statusCount;
  return RunUntil([&] { return Engine().Progress().statusCount > start; }, limit);
}

}  // namespace kivra::cli
