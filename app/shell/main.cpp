// kivra-ps: the desktop programming and control tool for the Kivra-PS driver.

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <cstdlib>

#include "app/driver/simulated_driver.h"
#include "app/files/settings_store.h"
#include "app/shell/command_line.h"
#include "app/shell/locale_format.h"
#include "app/shell/main_window.h"
#include "app/ui/prompts.h"
#include "app/ui/ui_look.h"

namespace {

// Without a display Qt stops with a terse platform-plugin message; say what is missing.
// Only X11 and Wayland systems need one named in the environment: Windows always has its
// desktop.
bool HasDisplay() {
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
  return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
#else
  return true;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  if (const auto text = kivra::app::TextInsteadOfWindow({argv + 1, argv + argc})) {
    std::fputs(text->c_str(), stdout);
    return 0;
  }
  if (!HasDisplay()) {
    std::fputs(
        "kivra-ps is a desktop application and needs a display: neither DISPLAY nor "
        "WAYLAND_DISPLAY\n"
        "is set. Start it from a desktop session, or under a virtual display (xvfb-run -a "
        "kivra-ps).\n",
        stderr);
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Kivra-PS"));
  QApplication::setDesktopFileName(QStringLiteral("kivra-ps"));
  QApplication::setFont(kivra::app::look::UiFont());

  QCommandLineParser options;
  options.setApplicationDescription(
      QStringLiteral("Programming and control tool for the Kivra-PS driver."));
  const QCommandLineOption simulated(
      QStringLiteral("simulated-driver"),
      QStringLiteral(
          "Connect to the simulated driver for this run, leaving the stored port as it is."));
  if (kivra::app::SimulatedDriver::kOnThisSystem) options.addOption(simulated);
  const QCommandLineOption stateLog(
      QString::fromLatin1(kivra::app::kStateLogOption),
      QStringLiteral("Write the serial log into the user's state folder."));
  options.addOption(stateLog);
  options.addPositionalArgument(QStringLiteral("FILE"),
                                QStringLiteral("A program file (.KV3) to open."));
  options.process(app);

  const auto settings = kivra::app::SettingsStore::ForCurrentUser();
  kivra::app::WidgetPrompts prompts;
  kivra::app::MainWindowServices services{*settings, prompts, kivra::app::SystemClock()};
  services.simulatedDriver = kivra::app::SimulatedDriver::kOnThisSystem && options.isSet(simulated);
  if (options.isSet(stateLog))
    services.serialLogFolder = kivra::app::PrepareStateLogFolder(kivra::SystemVariable, stderr);
  if (!options.positionalArguments().isEmpty())
    services.openAtStart = options.positionalArguments().constFirst();
  kivra::app::MainWindow window(std::move(services));
  window.show();
  return QApplication::exec();
}
