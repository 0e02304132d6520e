// Watching the link from the window, against the simulated driver: the frame inspector
// with faults switched on, the health meter, the plots, the simulated driver's panel and
// the status recording across an unplug and onto a disk that is full.
//
// With KIVRA_SCREENSHOT_DIR set to a folder, the tests leave pictures of the windows there.

#include <sys/resource.h>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>
#include <QTableView>
#include <QToolButton>
#include <QtCharts/QChart>
#include <QtCharts/QLegend>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <csignal>
#include <cstring>

#include "app/shell/tool_bar.h"
#include "app/watch/frame_window.h"
#include "app/watch/link_watch.h"
#include "app/watch/live_plots.h"
#include "app/watch/simulator_panel.h"
#include "app/watch/watch_windows.h"
#include "common/texts.h"
#include "driver_fixture.h"
#include "link/event_text.h"
#include "sim/simulator.h"

namespace kivra::app::testing {
namespace {

// A window's picture, NAME-LANGUAGE.png: the user guide shows those of its language.
void Shot(QWidget* widget, const char* name, const char* language) {
  const QString folder = qEnvironmentVariable("KIVRA_SCREENSHOT_DIR");
  if (folder.isEmpty()) return;
  QDir().mkpath(folder);
  QApplication::processEvents();
  widget->grab().save(QDir(folder).filePath(
      QStringLiteral("%1-%2.png").arg(QString::fromLatin1(name), QString::fromLatin1(language))));
}

QAction* Item(MainWindow& w, const char* name) {
  return w.findChild<QAction*>(QString::fromLatin1(name));
}

template <typename T>
T* In(QWidget* window, const char* name) {
  return window->findChild<T*>(QString::fromLatin1(name));
}

// Whether some event since `from` holds `want`.
bool Seen(const LinkWatch& watch, std::uint64_t from,
          const std::function<bool(const link::LineEvent&)>& want) {
  const link::EventRing& ring = watch.events();
  for (std::uint64_t s = std::max(from, ring.FirstSequence()); s < ring.NextSequence(); ++s) {
    if (want(*ring.Find(s))) return true;
  }
  return false;
}

bool Failed(const link::LineEvent& e, link::FrameFailure why) {
  return e.outcome == link::FrameOutcome::Failed && e.why == why;
}

bool AcceptedStatus(const link::LineEvent& e) {
  return e.direction == link::Direction::Received && e.outcome == link::FrameOutcome::Accepted &&
         e.IsStatusPoll();
}

// A window on the simulated driver it runs itself, so its panel can steer it.
struct SimWindow {
  WindowHarness h{{{QStringLiteral("COMPORT"), QStringLiteral("SIM")}}};
  SimWindow() { h.realSerial = true; }
  bool Start() {
    return h.Start() && QTest::qWaitFor([this] { return Lit(h.window(), 1); }, kLinkTimeoutMs);
  }
  MainWindow& w() { return h.window(); }
  WatchWindows& watchWindows() { return w().watchWindows(); }
  LinkWatch& watch() { return watchWindows().watch(); }
  sim::Simulator& sim() { return *w().driverSide().simulatedDriver().simulator(); }
  void Click(QWidget* window, const char* name) { In<QAbstractButton>(window, name)->click(); }
  bool WaitFor(std::uint64_t from, const std::function<bool(const link::LineEvent&)>& want) {
    return QTest::qWaitFor([&] { return Seen(watch(), from, want); }, kLinkTimeoutMs);
  }
};

class WatchTest : public QObject {
  Q_OBJECT

 private slots:
  void inspectorShowsEachFaultAsItHappens() {
    SimWindow s;
    QVERIFY(s.Start());
    Item(s.w(), "FrameInspector1")->trigger();
    Item(s.w(), "SimulatorPanel1")->trigger();
    FrameInspector* inspector = s.watchWindows().inspector();
    SimulatorPanel* panel = s.watchWindows().simulatorPanel();
    QVERIFY(inspector->isVisible() && panel->isVisible());
    QVERIFY(In<QPushButton>(panel, "SimGarbleStatus")->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(inspector->model()->rowCount() > 10, kLinkTimeoutMs);

    struct Fault {
      const char* button;
      std::function<bool(const link::LineEvent&)> shows;
    };
    const Fault faults[] = {
        {"SimGarbleStatus",
         [](const link::LineEvent& e) { return Failed(e, link::FrameFailure::Checksum); }},
        {"SimWrongLetter",
         [](const link::LineEvent& e) { return e.why == link::FrameFailure::WrongLetter; }},
        {"SimSplitStatus",
         [](const link::LineEvent& e) {
           // Its second half comes 120 ms after the first: a long round trip, or, when the
           // link gave up waiting first, a partial reply; on a slow machine the link may give
           // up before the first half, whose bytes then show as passed over.
           return (AcceptedStatus(e) && e.roundTripMs >= 120) ||
                  Failed(e, link::FrameFailure::Partial) ||
                  (e.direction == link::Direction::Received &&
                   e.outcome == link::FrameOutcome::Ignored);
         }},
        {"SimSilence",
         [](const link::LineEvent& e) { return Failed(e, link::FrameFailure::TimeOut); }},
    };
    for (const Fault& f : faults) {
      const std::uint64_t from = s.watch().events().NextSequence();
      s.Click(panel, f.button);
      QVERIFY2(s.WaitFor(from, f.shows), f.button);
      // ... and the driver is answered again after it.
      const std::uint64_t after = s.watch().events().NextSequence();
      QVERIFY2(s.WaitFor(after, AcceptedStatus), f.button);
    }
    // Dropped acknowledgements: the run command is tried again, and the tries are shown.
    const std::uint64_t from = s.watch().events().NextSequence();
    s.Click(panel, "SimDropAcks");
    Press(s.w(), "Button5");
    QVERIFY(s.WaitFor(from, [](const link::LineEvent& e) {
      return e.direction == link::Direction::Sent && e.attempt == 2 && e.maxAttempts == 3;
    }));
    QVERIFY(s.WaitFor(
        from, [](const link::LineEvent& e) { return Failed(e, link::FrameFailure::TimeOut); }));

    // The meter saw the failures.
    QVERIFY(s.watch().Health().failed > 0);
    s.watchWindows().RefreshMeter();
    QVERIFY(s.watchWindows().meter()->text().startsWith(QStringLiteral("Yanıt: ")));
    QVERIFY(!s.watchWindows().meter()->toolTip().isEmpty());

    // Every row's text is in the interface language, and the filter keeps the failures.
    inspector->Refresh();
    const QString all = inspector->model()->AllAsText();
    QVERIFY(all.contains(QString::fromUtf8("hata: sağlama")));
    QVERIFY(all.contains(QString::fromUtf8("tekrar 2/3")));
    In<QCheckBox>(inspector, "InspectorHideStatus")->setChecked(true);
    const QString filtered = inspector->model()->AllAsText();
    QVERIFY(!filtered.contains(QString::fromUtf8("durum sorgusu  [gönderildi]")));
    QVERIFY(filtered.contains(QString::fromUtf8("hata: sağlama")));
    QVERIFY(filtered.contains(QString::fromUtf8("motor çalış")));
    // Pictures in both languages; the language is Turkish again afterwards.
    for (const char* language : {"tr", "en"}) {
      Shot(inspector, "frame-inspector", language);
      Shot(panel, "simulator-panel", language);
      Shot(&s.w(), "main-window-meter", language);
      s.w().toolBar()->language()->click();
    }

    // Pause holds the rows; clear empties them; saving writes what is shown.
    In<QPushButton>(inspector, "InspectorPause")->click();
    const int rows = inspector->model()->rowCount();
    QTest::qWait(300);
    inspector->Refresh();
    QCOMPARE(inspector->model()->rowCount(), rows);
    const QString csv = s.h.Path(QStringLiteral("frames.csv"));
    QVERIFY(inspector->SaveTo(csv));
    const QByteArray saved = WindowHarness::ReadBytes(csv);
    QVERIFY(saved.startsWith("time_ms,direction,bytes,meaning,outcome,round_trip_ms\n"));
    QCOMPARE(saved.count('\n'), rows + 1);
    In<QPushButton>(inspector, "InspectorClear")->click();
    QCOMPARE(inspector->model()->rowCount(), 0);
    QVERIFY(!inspector->SaveTo(QStringLiteral("/nonexistent-folder/frames.txt")));
    QVERIFY(s.h.prompts.LastText().startsWith(QString::fromUtf8("Dosya kaydedilemedi!")));
  }

  void plotsShowTheValuesThePanelSets() {
    SimWindow s;
    QVERIFY(s.Start());
    Item(s.w(), "LivePlots1")->trigger();
    Item(s.w(), "SimulatorPanel1")->trigger();
    SimulatorPanel* panel = s.watchWindows().simulatorPanel();
    LivePlots* plots = s.watchWindows().plots();
    In<QSpinBox>(panel, "SimAnalog1")->setValue(77);
    In<QSpinBox>(panel, "SimAnalog2")->setValue(200);
    In<QSpinBox>(panel, "SimTemperature")->setValue(41);
    In<QCheckBox>(panel, "SimInput3")->setChecked(true);
    const auto last = [&](QLineSeries* series) {
      return series->count() ? series->at(series->count() - 1).y() : -1.0;
    };
    QTRY_VERIFY_WITH_TIMEOUT(last(plots->analogSeries(0)) == 77 &&
                                 last(plots->analogSeries(1)) == 200 &&
                                 last(plots->analogSeries(2)) == 41,
                             kLinkTimeoutMs);
    // Input 3's trace is high (its base is 7 - 2), input 1's low.
    QTRY_VERIFY_WITH_TIMEOUT(
        last(plots->digitalSeries(2)) > 5.5 && last(plots->digitalSeries(0)) == 7.0,
        kLinkTimeoutMs);
    QVERIFY(
        plots->ReadoutAt(plots->RightEdge()).contains(QStringLiteral("analog 77 / 200   41 °C")));

    // A wider window, then the exports.
    plots->SetWindowSeconds(600);
    QCOMPARE(plots->WindowSeconds(), 600);
    plots->SetWindowSeconds(10);
    for (const char* language : {"tr", "en"}) {
      Shot(plots, "live-plots", language);
      s.w().toolBar()->language()->click();
    }
    const QString csv = s.h.Path(QStringLiteral("plot.csv"));
    QVERIFY(plots->ExportCsv(csv));
    const QByteArray text = WindowHarness::ReadBytes(csv);
    QVERIFY(text.startsWith(QByteArray::fromStdString(link::CsvHeader())));
    QVERIFY(text.contains(",status,0,0,1,0,0,0,"));
    QVERIFY(plots->ExportPng(s.h.Path(QStringLiteral("plot.png"))));
    QVERIFY(QImage(s.h.Path(QStringLiteral("plot.png"))).width() > 100);
  }

  // The chart theme's five colours came round again, so input 1 and output 1 looked alike:
  // each of the eleven traces now has a colour of its own, and its legend entry shows it.
  void eachTraceHasItsOwnColourInTheLegendToo() {
    WindowHarness h;
    QVERIFY(h.Start());
    LivePlots* plots = h.window().watchWindows().plots();
    plots->show();
    QList<QLineSeries*> traces;
    for (int i = 0; i < 3; ++i) traces << plots->analogSeries(i);
    for (int i = 0; i < 8; ++i) traces << plots->digitalSeries(i);
    QSet<QRgb> colours;
    for (QLineSeries* trace : traces) {
      const QColor colour = trace->pen().color();
      colours.insert(colour.rgb());
      QVERIFY2(colour != look::kScrollBar && colour != Qt::white, qPrintable(trace->name()));
      const QList<QLegendMarker*> markers = trace->chart()->legend()->markers(trace);
      QCOMPARE(markers.size(), 1);
      QCOMPARE(markers[0]->label(), trace->name());
      QCOMPARE(markers[0]->brush().color(), colour);
    }
    QCOMPARE(colours.size(), 11);
    // The first trace of each chart, as kept: analog 1 blue, input 1 green.
    QCOMPARE(plots->analogSeries(0)->pen().color(), QColor(31, 119, 180));
    QCOMPARE(plots->digitalSeries(0)->pen().color(), QColor(44, 160, 44));
    // Switching the language renames the entries and keeps their colours.
    h.window().toolBar()->language()->click();
    QCOMPARE(
        plots->digitalSeries(6)->chart()->legend()->markers(plots->digitalSeries(6))[0]->label(),
        QStringLiteral("Output 1"));
    QCOMPARE(plots->digitalSeries(6)->pen().color(), QColor(0, 0, 139));
  }

  void recordingSpansAnUnplugWithItsGap() {
    SimWindow s;
    QVERIFY(s.Start());
    const QString path = s.h.Path(QStringLiteral("status.csv"));
    s.h.prompts.fileNames = {path};
    Item(s.w(), "RecordStart1")->trigger();
    QVERIFY(s.watch().Recording());
    QVERIFY(!Item(s.w(), "RecordStart1")->isEnabled());
    const auto rows = [&] { return WindowHarness::ReadBytes(path).count(",status,"); };
    QTRY_VERIFY_WITH_TIMEOUT(rows() >= 3, kLinkTimeoutMs);

    Item(s.w(), "SimulatorPanel1")->trigger();
    QPushButton* unplug = In<QPushButton>(s.watchWindows().simulatorPanel(), "SimUnplug");
    unplug->click();
    QTRY_VERIFY_WITH_TIMEOUT(Red(s.w(), 1), kLinkTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(WindowHarness::ReadBytes(path).contains(",gap,"), kLinkTimeoutMs);
    const int before = rows();
    unplug->click();
    QTRY_VERIFY_WITH_TIMEOUT(rows() > before + 2, kLinkTimeoutMs);
    Item(s.w(), "RecordStop1")->trigger();
    QVERIFY(!s.watch().Recording());

    // One gap, between replies; every row as long as the header.
    const QList<QByteArray> lines = WindowHarness::ReadBytes(path).trimmed().split('\n');
    int gaps = 0;
    for (int i = 1; i < lines.size(); ++i) {
      QCOMPARE(lines[i].count(','), lines[0].count(','));
      if (lines[i].contains(",gap,")) {
        ++gaps;
        QVERIFY(i > 1 && i + 1 < lines.size());
      }
    }
    QCOMPARE(gaps, 1);
    // The inspector shows the port going and coming back among the frames.
    s.watchWindows().inspector()->model()->Rebuild();
    const QString frames = s.watchWindows().inspector()->model()->AllAsText();
    QVERIFY(frames.contains(
        QString::fromUtf8("--  --  ") +
        QString::fromUtf8(
            texts::LinkStatusText(link::LinkStatus::Reconnecting, Language::Turkish).data())));
    QVERIFY(s.h.prompts.shown.empty());
  }

  void recordingThatCannotBeWrittenStopsAndSaysSo() {
    SimWindow s;
    QVERIFY(s.Start());
    s.w().SwitchLanguage();  // English
    // The folder cannot be written: nothing starts.
    QVERIFY(!s.watchWindows().StartRecording(QStringLiteral("/nonexistent-folder/status.csv")));
    QVERIFY(
        s.h.prompts.LastText().startsWith(QStringLiteral("The recording could not be started!")));
    QVERIFY(!s.watch().Recording());
    QVERIFY(!s.watchWindows().StartRecording(QStringLiteral("/dev/full")));
    QVERIFY(s.h.prompts.LastText().contains(QString::fromLocal8Bit(std::strerror(ENOSPC))));

    // The disk fills during the recording (a file size limit stands for it): the recording
    // stops with a message in English, and the rows written before stay whole.
    const QString path = s.h.Path(QStringLiteral("status.csv"));
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 1500;
    setrlimit(RLIMIT_FSIZE, &small);
    QVERIFY(s.watchWindows().StartRecording(path));
    const bool stopped = QTest::qWaitFor([&] { return !s.watch().Recording(); }, kLinkTimeoutMs);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    QVERIFY(stopped);
    QVERIFY(s.h.prompts.LastText().startsWith(
        QStringLiteral("Recording stopped: the file could not be written!")));
    QCOMPARE(s.h.prompts.shown.back().kind, MessageKind::Error);
    QVERIFY(Item(s.w(), "RecordStart1")->isEnabled());
    const QByteArray written = WindowHarness::ReadBytes(path);
    QVERIFY(written.endsWith('\n'));
    QVERIFY(written.count(",status,") >= 5);
    for (const QByteArray& line : written.trimmed().split('\n')) QCOMPARE(line.count(','), 18);
  }

  // The inspector's rows follow the ring: at its bound, each new event pushes the oldest row
  // out; paused, no row comes in, and rows whose events are gone still go.
  void inspectorRowsFollowTheBoundedRing() {
    std::int64_t now = 0;
    LinkWatch watch([&] { return now; }, [] { return std::int64_t{0}; });
    UiLanguage language(Language::English);
    FrameTableModel model(watch, language, nullptr);
    const auto push = [&](int n) {
      for (int i = 0; i < n; ++i) {
        link::LineEvent e{.timeMs = now++, .bytes = {}};
        e.bytes = link::CommandFrame('V', static_cast<std::uint32_t>(now));
        watch.OnFrame(e);
      }
    };
    const auto time = [&](int row) {
      return model.data(model.index(row, FrameTableModel::Time), Qt::DisplayRole).toLongLong();
    };
    push(100'010);
    QCOMPARE(model.Refresh(false), 0);
    QCOMPARE(model.rowCount(), 100'000);
    QCOMPARE(time(0), 10);
    push(5);
    QCOMPARE(model.Refresh(false), 5);
    QCOMPARE(model.rowCount(), 100'000);
    QCOMPARE(time(0), 15);
    QCOMPARE(time(99'999), 100'014);
    push(3);
    QCOMPARE(model.Refresh(true), 0);
    QCOMPARE(model.rowCount(), 99'997);  // paused: three rows' events are gone, none came in
    QCOMPARE(time(0), 18);
    model.Refresh(false);
    QCOMPARE(model.rowCount(), 100'000);
    QCOMPARE(time(99'999), 100'017);
  }

  void captionsFollowTheLanguageButton() {
    SimWindow s;
    QVERIFY(s.Start());
    QCOMPARE(Item(s.w(), "FrameInspector1")->text().remove(QLatin1Char('&')),
             QString::fromUtf8("Çerçeve İzleyici"));
    QCOMPARE(s.watchWindows()
                 .inspector()
                 ->model()
                 ->headerData(0, Qt::Horizontal, Qt::DisplayRole)
                 .toString(),
             QStringLiteral("Zaman (ms)"));
    s.w().toolBar()->language()->click();
    QCOMPARE(Item(s.w(), "FrameInspector1")->text().remove(QLatin1Char('&')),
             QStringLiteral("Frame Inspector"));
    QCOMPARE(In<QPushButton>(s.watchWindows().inspector(), "InspectorClear")->text(),
             QStringLiteral("Clear"));
    QCOMPARE(s.watchWindows().plots()->windowTitle(), QStringLiteral("Live Plots"));
    QCOMPARE(s.watchWindows()
                 .inspector()
                 ->model()
                 ->headerData(0, Qt::Horizontal, Qt::DisplayRole)
                 .toString(),
             QStringLiteral("Time (ms)"));
    QTRY_VERIFY_WITH_TIMEOUT(
        s.watchWindows().meter()->text().startsWith(QStringLiteral("Replies: ")), 2000);
    // The meter is beside the status text, and the tool bar's buttons stay where they were.
    QVERIFY(s.watchWindows().meter()->geometry().right() <
            s.w().toolBar()->statusText()->geometry().left());
    QCOMPARE(s.w().toolBar()->language()->geometry().left() <
                 s.watchWindows().meter()->geometry().left(),
             true);
  }
};

}  // namespace
}  // namespace kivra::app::testing

QTEST_MAIN(kivra::app::testing::WatchTest)
#include "watch_test.moc"
