// The window watching the link for a while: the main window on the simulated driver, the
// frame inspector and the live plots open (their window at 10 minutes), polling at the full
// rate. Prints the process's CPU time as a share of one core and its resident memory every
// `--every` seconds, after the events' ring was filled to its bound as an hour of polling
// fills it. Run it on a display (xvfb-run -a) so that drawing costs what it costs.
//
//   watch_soak [--seconds N] [--every N] [--no-prefill] [--windows inspector,plots|none]
//              [--port PATH]
//
// Without --port the window runs the simulated driver itself, whose thread then counts in
// the figures; with the port of a `kivra sim --link PATH` in another process, only the
// window counts.

#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/files/settings_store.h"
#include "app/shell/main_window.h"
#include "app/ui/prompts.h"
#include "app/watch/frame_window.h"
#include "app/watch/link_watch.h"
#include "app/watch/live_plots.h"
#include "app/watch/watch_windows.h"

namespace {

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

long ResidentKiB() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  int seconds = 120, every = 10;
  bool prefill = true;
  std::string windows = "inspector,plots";
  std::string port;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc)
      seconds = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--every") && i + 1 < argc)
      every = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--no-prefill"))
      prefill = false;
    else if (!std::strcmp(argv[i], "--windows") && i + 1 < argc)
      windows = argv[++i];
    else if (!std::strcmp(argv[i], "--port") && i + 1 < argc)
      port = argv[++i];
  }
  QApplication app(argc, argv);
  QTemporaryDir dir;
  auto settings = kivra::app::SettingsStore::InFile(dir.filePath(QStringLiteral("KIVRA3.conf")));
  kivra::app::WidgetPrompts prompts;
  kivra::app::MainWindowServices services{*settings, prompts,
                                          [] { return kivra::compiler::Timestamp{}; }};
  if (port.empty()) {
    services.simulatedDriver = true;
  } else {
    settings->WriteSetting(QStringLiteral("COMPORT"), QString::fromStdString(port));
  }
  services.serialLogFolder = dir.path().toStdString();
  kivra::app::MainWindow window(std::move(services));
  window.show();

  kivra::app::WatchWindows& watch = window.watchWindows();
  if (prefill) {
    // An hour of polling: the ring at its bound, as the window holds it after about an hour.
    kivra::link::LineEvent e{.timeMs = 0,
                             .direction = kivra::link::Direction::Received,
                             .outcome = kivra::link::FrameOutcome::Accepted,
                             .bytes = {}};
    e.bytes = {0x10, 's', 0, 0, 0, 1, 25, 12, 0, 0, 0, 0, 0, 0, 0, 0x6F};
    for (int i = 0; i < 100'000; ++i) watch.watch().OnFrame(e);
  }
  if (windows.find("inspector") != std::string::npos)
    window.findChild<QAction*>(QStringLiteral("FrameInspector1"))->trigger();
  if (windows.find("plots") != std::string::npos)
    window.findChild<QAction*>(QStringLiteral("LivePlots1"))->trigger();
  watch.plots()->SetWindowSeconds(600);

  std::printf("%8s %10s %10s %10s %12s\n", "seconds", "cpu_%", "rss_kib", "events", "status_per_s");
  QElapsedTimer clock;
  clock.start();
  double lastCpu = CpuSeconds();
  qint64 lastMs = 0;
  const double startCpu = lastCpu;
  QTimer sample;
  QObject::connect(&sample, &QTimer::timeout, [&] {
    const double cpu = CpuSeconds();
    const qint64 ms = clock.elapsed();
    std::printf("%8.0f %10.2f %10ld %10zu %12.1f\n", ms / 1000.0,
                100.0 * (cpu - lastCpu) / ((ms - lastMs) / 1000.0), ResidentKiB(),
                watch.watch().events().Size(), watch.watch().Health().statusPerSecond);
    std::fflush(stdout);
    lastCpu = cpu;
    lastMs = ms;
    if (ms >= seconds * 1000LL) {
      std::printf("mean cpu %.2f %% of one core over %d s\n",
                  100.0 * (cpu - startCpu) / (ms / 1000.0), seconds);
      QApplication::quit();
    }
  });
  sample.start(every * 1000);
  return QApplication::exec();
}
