// The driver side of the window against the simulated driver, through the real serial
// component: the status displays, the switches, every button of the direct-control page,
// the download with its progress window, and a driver that is unplugged.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <filesystem>

#include "app/driver/download_window.h"
#include "app/driver/port_dialog.h"
#include "app/panels/direct_control_page.h"
#include "app/program/program_files.h"
#include "app/shell/main_menu.h"
#include "app/shell/tool_bar.h"
#include "driver_fixture.h"
#include "sim/pty.h"

namespace kivra::app::testing {
namespace {

using namespace std::chrono_literals;

// A loop the simulated driver walks for ever: debug mode has lines to follow.
const QByteArray kLoopProgram =
    "       SPEED  = 400;\r\r\n"
    "LOOP:  DISP   = 5;\r\r\n"
    "       MOVE;\r\r\n"
    "       JUMP LOOP;\r\r\n"
    "       END;\r\r\n";

// A program of `lines` speed settings: three bytes each, so long enough to unplug in.
QByteArray LongProgram(int lines) {
  QByteArray text;
  for (int i = 0; i < lines; ++i)
    text += "       SPEED  = " + QByteArray::number(100 + i) + ";\r\r\n";
  return text + "       END;\r\r\n";
}

}  // namespace

class DriverTest : public QObject {
  Q_OBJECT
 private slots:
  void lightsAndValuesFollowTheDriver() {
    LiveWindow l;
    l.sim.SetInputs(0x05);  // inputs 1 and 3
    l.sim.SetOutput(2, true);
    l.sim.SetAnalog(1, 77);
    l.sim.SetAnalog(2, 200);
    l.sim.SetTemperature(41);
    l.sim.SetModeFlags(0x01);
    QVERIFY(l.Start());
    MainWindow& w = l.window();
    QTRY_VERIFY_WITH_TIMEOUT(Text(w, "StaticText13") == QStringLiteral("41"), kLinkTimeoutMs);
    QCOMPARE(Text(w, "StaticText74"), QStringLiteral("41"));
    QCOMPARE(Text(w, "StaticText49"), QStringLiteral("77"));
    QCOMPARE(Text(w, "StaticText69"), QStringLiteral("77"));
    QCOMPARE(Text(w, "StaticText50"), QStringLiteral("200"));
    QCOMPARE(Text(w, "StaticText70"), QStringLiteral("200"));
    QCOMPARE(Text(w, "StaticText15"), QString::fromStdString(l.sim.PortPath()));
    QVERIFY(Lit(w, 1) && Lit(w, 13));
    // Inputs 1..6 are Shape3..8 and Shape15..20; outputs Shape9, 10 and Shape21, 22.
    for (int input = 1; input <= 6; ++input) {
      const bool on = input == 1 || input == 3;
      QVERIFY2(Lit(w, 2 + input) == on && Lit(w, 14 + input) == on,
               qPrintable(QString::number(input)));
      QVERIFY(on || (Off(w, 2 + input) && Off(w, 14 + input)));
    }
    QVERIFY(Off(w, 9) && Off(w, 21) && Lit(w, 10) && Lit(w, 22));
    QVERIFY(Lit(w, 12) && Lit(w, 24) && Off(w, 11) && Off(w, 23));  // controller mode
    QVERIFY(Off(w, 26) && Off(w, 14) && Off(w, 2));

    l.sim.SetInputs(0x20);
    l.sim.SetModeFlags(0x00);
    l.sim.SetTemperature(9);
    QTRY_VERIFY_WITH_TIMEOUT(Text(w, "StaticText74") == QStringLiteral("9"), kLinkTimeoutMs);
    QVERIFY(Lit(w, 8) && Lit(w, 20) && Off(w, 3) && Off(w, 15));
    QVERIFY(Lit(w, 11) && Lit(w, 23) && Off(w, 12) && Off(w, 24));  // step/direction mode
  }

  // Both pages as drawn while connected. With KIVRA_SCREENSHOT_DIR set, the pictures are
  // kept there, to hold against the layout.
  void bothPagesDrawTheDriversState() {
    LiveWindow l;
    const QString path = l.h.WriteProgram(QStringLiteral("LOOP.KV3"), kLoopProgram);
    QSettings(l.h.Path(QStringLiteral("KIVRA3.conf")), QSettings::IniFormat)
        .setValue(QStringLiteral("LASTFILE"), path);
    l.sim.SetInputs(0x15);  // inputs 1, 3 and 5
    l.sim.SetOutput(1, true);
    l.sim.SetAnalog(1, 123);
    l.sim.SetAnalog(2, 45);
    l.sim.SetTemperature(37);
    QVERIFY(l.Start());
    MainWindow& w = l.window();
    QTRY_VERIFY_WITH_TIMEOUT(Text(w, "StaticText74") == QStringLiteral("37"), kLinkTimeoutMs);
    SetBox(w, "Edit23", QStringLiteral("1000"));
    Press(w, "Button17");
    QTRY_VERIFY_WITH_TIMEOUT(!Text(w, "StaticText83").isEmpty(), kLinkTimeoutMs);

    const QString folder = qEnvironmentVariable("KIVRA_SCREENSHOT_DIR");
    const auto centre = [&](const char* shape) {
      auto* widget = qobject_cast<QWidget*>(Control(w, shape));
      return widget->mapTo(&w, widget->rect().center());
    };
    struct Page {
      QWidget* page;
      const char* file;  // followed by the language: program-page-tr.png
      std::vector<std::pair<const char*, QColor>> shapes;
    };
    const Page pages[] = {
        {w.programPage(),
         "program-page",
         {{"Shape1", look::kLime},
          {"Shape3", look::kLime},
          {"Shape4", look::kScrollBar},
          {"Shape9", look::kLime},
          {"Shape12", look::kLime}}},
        {w.directControlPage(),
         "direct-control-page",
         {{"Shape13", look::kLime},
          {"Shape17", look::kLime},
          {"Shape18", look::kScrollBar},
          {"Shape21", look::kLime},
          {"Shape22", look::kScrollBar}}},
    };
    // Both languages, for the user guide's pictures of each.
    for (const char* language : {"tr", "en"}) {
      for (const Page& page : pages) {
        w.pages()->setCurrentWidget(page.page);
        QTRY_VERIFY_WITH_TIMEOUT(page.page->isVisible(), kLinkTimeoutMs);
        QApplication::processEvents();  // the rows laid out again for the new language's texts
        const QImage image = w.grab().toImage();
        for (const auto& [shape, colour] : page.shapes) {
          QCOMPARE(image.pixelColor(centre(shape)).rgb(), colour.rgb());
        }
        if (!folder.isEmpty()) {
          QVERIFY(image.save(QDir(folder).filePath(
              QStringLiteral("%1-%2.png")
                  .arg(QString::fromLatin1(page.file), QString::fromLatin1(language)))));
        }
      }
      w.toolBar()->language()->click();
      w.CheckProgram();  // the message list in the language of the next pictures
    }
  }

  void scriptSwitchStartsAndStopsTheDriversProgram() {
    LiveWindow l;
    QVERIFY(l.Start());
    QVERIFY(l.Connected());
    MainWindow& w = l.window();
    Press(w, "Button3");
    QVERIFY(Lit(w, 26));  // at once, before the driver says so
    QCOMPARE(Text(w, "Button3"), QStringLiteral("SCRIPT ON/OFF"));
    QTRY_VERIFY_WITH_TIMEOUT(!Commands(l.sim, 'G').empty(), kLinkTimeoutMs);
    // The driver holds no program, so its script ends at once; its replies say so.
    QTRY_VERIFY_WITH_TIMEOUT(Off(w, 26) && Off(w, 14), kLinkTimeoutMs);
    QVERIFY(!w.driverSide().engine().Variables().scriptOn);

    Press(w, "Button3");
    Press(w, "Button3");  // on, then off again before the driver answered
    QVERIFY(Off(w, 26));
    QTRY_VERIFY_WITH_TIMEOUT(!Commands(l.sim, 'S').empty(), kLinkTimeoutMs);
  }

  void downloadShowsItsProgressAndStoresTheProgram() {
    LiveWindow l;
    const QString path = l.h.WriteProgram(QStringLiteral("LOOP.KV3"), kLoopProgram);
    l.h.prompts.fileNames = {path};
    QVERIFY(l.Start());
    QVERIFY(l.Connected());
    MainWindow& w = l.window();
    w.files().Open();
    QVERIFY(w.lastCheck().programValid);
    const compiler::CodeImage code = w.lastCheck().code;

    w.toolBar()->download()->click();
    DownloadWindow* progress = w.downloadWindow();
    QVERIFY(progress->isVisible());
    QCOMPARE(progress->windowTitle(), QString::fromUtf8("Program Gönderme"));
    QCOMPARE(progress->progressBar()->maximum(), static_cast<int>(code.length + 21));
    QTRY_VERIFY_WITH_TIMEOUT(!progress->isVisible(), kLinkTimeoutMs);
    QVERIFY(l.h.prompts.shown.empty());
    QCOMPARE(progress->progressBar()->value(), 0);

    const sim::StoredProgram stored = l.sim.Program();
    QCOMPARE(stored.code.length, code.length);
    QVERIFY(std::equal(code.bytes.begin(), code.bytes.begin() + code.length,
                       stored.code.bytes.begin()));
    QVERIFY(stored.vectors == w.lastCheck().vectorTable);
    QCOMPARE(QString::fromStdString(stored.name), QStringLiteral("LOOP.KV3"));
    QVERIFY(l.Connected());
  }

  // Tick by tick with a scripted driver that acknowledges every frame: the bar follows
  // the offsets, shows full for the vector and name frames, and empties at the end.
  void downloadProgressStepByStep() {
    WindowHarness h;
    const QString path = h.WriteProgram(QStringLiteral("P.KV3"), LongProgram(12));  // 37 bytes
    h.prompts.fileNames = {path};
    QVERIFY(h.Start());
    MainWindow& w = h.window();
    w.driverSide().timer()->stop();
    w.files().Open();
    QCOMPARE(w.lastCheck().code.length, 37u);
    link::LinkEngine& engine = w.driverSide().engine();
    QProgressBar* bar = w.downloadWindow()->progressBar();

    w.toolBar()->download()->click();
    QVERIFY(w.downloadWindow()->isVisible());
    QCOMPARE(bar->maximum(), 37 + 21);
    std::vector<int> positions;
    std::vector<std::vector<std::uint8_t>> frames;
    for (int tick = 0; tick < 100 && engine.Progress().download == link::DownloadResult::Running;
         ++tick) {
      h.port.sent.clear();
      engine.Tick();
      if (!h.port.sent.empty()) {
        frames.push_back(h.port.sent);
        positions.push_back(bar->value());
        h.port.Receive({0x06});
      }
    }
    QCOMPARE(engine.Progress().download, link::DownloadResult::Succeeded);
    // Begin, data at 0 and 25, vector, name.
    QCOMPARE(frames.size(), size_t{5});
    QCOMPARE(frames[0][2], std::uint8_t{'P'});
    QCOMPARE(frames[3][1], std::uint8_t{'V'});
    QCOMPARE(frames[4][1], std::uint8_t{'N'});
    QCOMPARE(positions, (std::vector<int>{0, 0, 25, 58, 58}));
    QVERIFY(!w.downloadWindow()->isVisible());
    QCOMPARE(bar->value(), 0);
    QVERIFY(h.prompts.shown.empty());
  }

  void debugSelectsTheLineTheDriverExecutes() {
    LiveWindow l;
    const QString path = l.h.WriteProgram(QStringLiteral("LOOP.KV3"), kLoopProgram);
    l.h.prompts.fileNames = {path};
    QVERIFY(l.Start());
    QVERIFY(l.Connected());
    MainWindow& w = l.window();
    w.files().Open();
    w.toolBar()->download()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.downloadWindow()->isVisible(), kLinkTimeoutMs);

    Press(w, "Button2");
    QCOMPARE(Text(w, "Button2"), QStringLiteral("DEBUG OFF"));
    QVERIFY(Lit(w, 25));
    QVERIFY(l.h.editor().isReadOnly());
    Press(w, "Button3");

    // Every line the walk reaches is selected whole, without its line break, and the
    // walk goes round the loop: at least three different lines.
    const QStringList lines = l.h.EditorText().split(QLatin1Char('\n'));
    QSet<QString> seen;
    QVERIFY(QTest::qWaitFor(
        [&] {
          const QString selected = l.h.editor().textCursor().selectedText();
          if (!selected.isEmpty()) seen.insert(selected);
          return seen.size() >= 3;
        },
        kLinkTimeoutMs));
    for (const QString& selected : seen) QVERIFY2(lines.contains(selected), qPrintable(selected));
    QVERIFY(l.h.editor().isReadOnly());
    QVERIFY(Lit(w, 14) && Lit(w, 26));

    Press(w, "Button2");
    QCOMPARE(Text(w, "Button2"), QStringLiteral("DEBUG ON"));
    QVERIFY(Off(w, 25));
    QVERIFY(!l.h.editor().isReadOnly());
  }

  // One row per write button, proving its wiring: its box, its frame and the note. Which
  // values each setting accepts is the link's table (tests/link): here one refusal of each
  // kind shows what the window makes of it.
  void writeButtonsSendTheirBoxes_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("code");
    QTest::addColumn<qint64>("sent");  // -1: refused, nothing sent
    QTest::addColumn<QString>("note");
    const auto row = [](const char* name, const char* box, const char* button, const char* value,
                        const char* code, qint64 sent, const char* note) {
      QTest::newRow(name) << QString::fromLatin1(box) << QString::fromLatin1(button)
                          << QString::fromLatin1(value) << QString::fromLatin1(code) << sent
                          << QString::fromUtf8(note);
    };
    row("speed", "Edit23", "Button1", "15000", "V", 15000,
        "Motor hızı = 15000 yazıldı, sürücü onayladı");
    row("run current", "Edit24", "Button10", "1000", "C", 1000,
        "Çalışma akımı = 1000 yazıldı, sürücü onayladı");
    row("hold current", "Edit25", "Button11", "30", "B", 30,
        "Bekleme akımı = 30 yazıldı, sürücü onayladı");
    row("micro-step", "Edit26", "Button12", "25", "U", 25,
        "Mikro step = 25 yazıldı, sürücü onayladı");
    row("ramp", "Edit27", "Button13", "9999", "X", 9999, "Rampa = 9999 yazıldı, sürücü onayladı");
    row("start speed", "Edit28", "Button14", "10", "K", 10,
        "Kalkış hızı = 10 yazıldı, sürücü onayladı");
    row("speed mode", "Edit35", "Button4", "1", "v", 1, "Hız modu = 1 yazıldı, sürücü onayladı");
    row("coefficient", "Edit36", "Button7", "-7", "c", 0xFFFFFFF9,
        "Hız katsayısı = -7 yazıldı, sürücü onayladı");
    row("displacement", "Edit29", "Button15", "-1", "D", 0xFFFFFFFF,
        "Yerdeğiştirme = -1 yazıldı, sürücü onayladı");
    row("out of range", "Edit23", "Button1", "0", "V", -1,
        "Motor hızı: izin verilen 1..15000, gönderilmedi");
    row("displacement letters", "Edit29", "Button15", "abc", "D", -1,
        "Yerdeğiştirme: sayı girilmedi, gönderilmedi");
    // The driver keeps Prm 9..20 in 16 bits: 70000 would come back as 4464.
    row("16-bit parameter", "Edit11", "Button23", "65535", "k", 65535,
        "Prm 9 = 65535 yazıldı, sürücü onayladı");
    row("16-bit parameter too large", "Edit11", "Button23", "70000", "k", -1,
        "Prm 9: izin verilen 16 bit, 0 ile 65535 arası, gönderilmedi");
    row("16-bit parameter negative", "Edit22", "Button34", "-1", "k", -1,
        "Prm 20: izin verilen 16 bit, 0 ile 65535 arası, gönderilmedi");
    row("32-bit parameter", "Edit1", "Button35", "70000", "u", 70000,
        "Prm 21 = 70000 yazıldı, sürücü onayladı");
  }
  void writeButtonsSendTheirBoxes() {
    QFETCH(QString, box);
    QFETCH(QString, button);
    QFETCH(QString, value);
    QFETCH(QString, code);
    QFETCH(qint64, sent);
    QFETCH(QString, note);
    LiveWindow l;
    QVERIFY(l.Start());
    QVERIFY(l.Connected());
    MainWindow& w = l.window();
    const char letter = code.at(0).toLatin1();
    SetBox(w, box.toLatin1(), value);
    Press(w, button.toLatin1());
    if (sent >= 0) {
      QTRY_VERIFY_WITH_TIMEOUT(!Commands(l.sim, letter).empty(), kLinkTimeoutMs);
      QCOMPARE(Commands(l.sim, letter).front().value, static_cast<std::uint32_t>(sent));
    } else {
      // Refused when the engine came to send it: it is back to polling at once.
      QTRY_VERIFY_WITH_TIMEOUT(w.driverSide().engine().Variables().pollEnabled, kLinkTimeoutMs);
      const std::uint32_t frames = l.sim.State().framesReceived;
      QVERIFY(
          Reaches(l.sim, [&](const sim::DriverState& s) { return s.framesReceived > frames + 2; }));
      QVERIFY(Commands(l.sim, letter).empty());
      QVERIFY(l.h.prompts.shown.empty());
    }
    // The note under the groups says what became of the value.
    QTRY_COMPARE_WITH_TIMEOUT(Text(w, "DirectControlNote"), note, kLinkTimeoutMs);
    // Only the displacement box says it was refused, in red, until a value is sent.
    const QColor base =
        qobject_cast<QLineEdit*>(Control(w, "Edit29"))->palette().color(QPalette::Base);
    QCOMPARE(base == look::kRed, box == QStringLiteral("Edit29") && sent < 0);
  }

  // Why a value was not sent, or that the driver took it, in the interface language; each
  // box names what it accepts.
  void theNoteTellsWhatBecameOfAValue() {
    LiveWindow l;
    QVERIFY(l.Start());
    QVERIFY(l.Connected());
    MainWindow& w = l.window();
    QCOMPARE(qobject_cast<QWidget*>(Control(w, "Edit23"))->toolTip(),
             QString::fromUtf8("İzin verilen: 1..15000"));
    QCOMPARE(qobject_cast<QWidget*>(Control(w, "Edit11"))->toolTip(),
             QString::fromUtf8("İzin verilen: 16 bit, 0 ile 65535 arası"));
    QCOMPARE(qobject_cast<QWidget*>(Control(w, "Edit34"))->toolTip(),
             QString::fromUtf8("İzin verilen: 32 bit tam sayı"));
    SetBox(w, "Edit26", QStringLiteral("3"));
    Press(w, "Button12");
    const QString refused =
        QString::fromUtf8("Mikro step: izin verilen 1, 2, 4, 5, 8, 10, 16, 25, gönderilmedi");
    QTRY_COMPARE_WITH_TIMEOUT(Text(w, "DirectControlNote"), refused, kLinkTimeoutMs);

    w.toolBar()->language()->click();
    QCOMPARE(Text(w, "DirectControlNote"),
             QStringLiteral("Micro step: allowed 1, 2, 4, 5, 8, 10, 16, 25, not sent"));
    QCOMPARE(qobject_cast<QWidget*>(Control(w, "Edit23"))->toolTip(),
             QStringLiteral("Allowed: 1..15000"));
    QCOMPARE(qobject_cast<QWidget*>(Control(w, "Edit22"))->toolTip(),
             QStringLiteral("Allowed: 16-bit, 0 to 65535"));

    SetBox(w, "Edit11", QStringLiteral("1000"));
    Press(w, "Button23");
    QCOMPARE(Text(w, "DirectControlNote"), QString());  // asked, not yet answered
    QTRY_COMPARE_WITH_TIMEOUT(Text(w, "DirectControlNote"),
                              QStringLiteral("Prm 9 = 1000 written, acknowledged by the driver"),
                              kLinkTimeoutMs);
    if (const QString folder = qEnvironmentVariable("KIVRA_SCREENSHOT_DIR"); !folder.isEmpty()) {
      w.pages()->setCurrentWidget(w.directControlPage());
      QVERIFY(w.grab().save(QDir(folder).filePath(QStringLiteral("direct-control-note.png"))));
    }

    SetBox(w, "Edit3", QStringLiteral("99999"));
    SetBox(w, "Edit4", QStringLiteral("1"));
    Press(w, "Button41");
    QTRY_COMPARE_WITH_TIMEOUT(Text(w, "DirectControlNote"),
                              QStringLiteral("Memory 99999: allowed address 0..16383, not sent"),
                              kLinkTimeoutMs);

    // A driver that never acknowledges: the value may not have been taken, and it says so.
    l.sim.AddFault({sim::ReplyKind::Ack, sim::FaultAction::Drop, 1, 5});
    SetBox(w, "Edit23", QStringLiteral("1200"));
    Press(w, "Button1");
    QTRY_COMPARE_WITH_TIMEOUT(
        Text(w, "DirectControlNote"),
        QStringLiteral("Speed: not acknowledged by the driver, may not be written"), 10'000);
  }

  void directionMoveRunAndStop() {
    LiveWindow l({{QStringLiteral("LANGUAGE"), QStringLiteral("1")}});
    QVERIFY(l.Start());
    QVERIFY(l.Connected());
    MainWindow& w = l.window();
    Press(w, "Button18");
    QCOMPARE(Text(w, "StaticText83"), QStringLiteral("L"));
    QVERIFY(Reaches(l.sim, [](const sim::DriverState& s) { return s.motor.direction == 0; }));
    Press(w, "Button21");
    QCOMPARE(Text(w, "StaticText83"), QStringLiteral("R"));
    QVERIFY(Reaches(l.sim, [](const sim::DriverState& s) { return s.motor.direction == 1; }));

    // MOVE twice in a row sends one move.
    Press(w, "Button16");
    Press(w, "Button16");
    QTRY_VERIFY_WITH_TIMEOUT(w.driverSide().engine().Variables().pollEnabled, kLinkTimeoutMs);
    QCOMPARE(Commands(l.sim, 'M').size(), size_t{1});

    Press(w, "Button5");
    QVERIFY(Reaches(l.sim, [](const sim::DriverState& s) { return s.motorRunning; }));
    QTRY_VERIFY_WITH_TIMEOUT(Lit(w, 2), kLinkTimeoutMs);
    Press(w, "Button6");
    QVERIFY(Reaches(l.sim, [](const sim::DriverState& s) { return !s.motorRunning; }));
    QTRY_VERIFY_WITH_TIMEOUT(Off(w, 2), kLinkTimeoutMs);
  }

  // Save settings… reads the driver into a file; Load settings… writes a changed file
  // back and verifies it, over the window's own link.
  void settingsFilesGoThroughTheWindowsLink() {
    LiveWindow l;
    QVERIFY(l.Start());
    QVERIFY(l.Connected());
    MainWindow& w = l.window();
    auto* status = w.findChild<QLabel*>(QStringLiteral("SettingsStatusText"));
    QVERIFY(status);
    const QString saved = l.h.Path(QStringLiteral("driver.kvp"));
    l.h.prompts.fileNames = {saved};
    Press(w, "SaveSettingsButton");
    QTRY_VERIFY_WITH_TIMEOUT(status->text().startsWith(QStringLiteral("Ayarlar kaydedildi")),
                             kLinkTimeoutMs);
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray text = file.readAll();
    QVERIFY(text.contains("\nprm9 = "));
    file.close();

    const qsizetype at = text.indexOf("\nprm9 = ");
    text.replace(at, text.indexOf('\n', at + 1) - at, "\nprm9 = 4321");
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    file.close();
    l.h.prompts.fileNames = {saved};
    Press(w, "LoadSettingsButton");
    QTRY_VERIFY_WITH_TIMEOUT(status->text().contains(QStringLiteral("doğrulandı")), kLinkTimeoutMs);
    QCOMPARE(sim::Parameter(l.sim.State(), 9), 4321);
    QVERIFY(l.h.prompts.shown.empty());
    if (const QString folder = qEnvironmentVariable("KIVRA_SCREENSHOTS"); !folder.isEmpty()) {
      w.pages()->setCurrentIndex(1);
      QVERIFY(w.grab().save(QDir(folder).filePath(QStringLiteral("settings-files.png"))));
    }
  }

  void parametersAreWrittenAndReadBack() {
    LiveWindow l;
    QVERIFY(l.Start());
    QVERIFY(l.Connected());
    MainWindow& w = l.window();
    SetBox(w, "Edit11", QStringLiteral("1000"));  // Prm 9
    Press(w, "Button23");
    QVERIFY(Reaches(l.sim, [](const sim::DriverState& s) { return sim::Parameter(s, 9) == 1000; }));
    SetBox(w, "Edit34", QStringLiteral("-123456"));  // Prm 25
    Press(w, "Button39");
    QVERIFY(
        Reaches(l.sim, [](const sim::DriverState& s) { return sim::Parameter(s, 25) == -123456; }));

    // Letters are refused with a message and nothing is sent.
    SetBox(w, "Edit12", QStringLiteral("zz"));
    Press(w, "Button24");
    QCOMPARE(h_last(l), QString::fromUtf8("Sayı giriniz!"));
    QCOMPARE(l.h.prompts.shown.back().kind, MessageKind::Information);

    SetBox(w, "Edit11", QString());
    SetBox(w, "Edit34", QString());
    Press(w, "Button8");
    QTRY_VERIFY_WITH_TIMEOUT(Text(w, "Edit34") == QStringLiteral("-123456"), kLinkTimeoutMs);
    QCOMPARE(Text(w, "Edit11"), QStringLiteral("1000"));
    QCOMPARE(Text(w, "Edit12"), QStringLiteral("0"));
  }

  void motorSettingsAreReadIntoTheBoxes() {
    LiveWindow l;
    QVERIFY(l.Start());
    QVERIFY(l.Connected());
    MainWindow& w = l.window();
    SetBox(w, "Edit23", QStringLiteral("1234"));
    Press(w, "Button1");
    QVERIFY(Reaches(l.sim, [](const sim::DriverState& s) { return s.motor.speed == 1234; }));
    QTRY_VERIFY_WITH_TIMEOUT(w.driverSide().engine().Variables().pollEnabled, kLinkTimeoutMs);
    SetBox(w, "Edit23", QStringLiteral("1"));
    Press(w, "Button17");
    QCOMPARE(Text(w, "Edit23"), QString());  // cleared until the reply comes
    QTRY_VERIFY_WITH_TIMEOUT(Text(w, "Edit23") == QStringLiteral("1234"), kLinkTimeoutMs);
    QCOMPARE(Text(w, "Edit24"), QStringLiteral("500"));
    QCOMPARE(Text(w, "Edit26"), QStringLiteral("4"));
    QCOMPARE(Text(w, "StaticText83"), QString::fromUtf8("SAĞ"));
    QCOMPARE(Text(w, "Edit36"), QStringLiteral("1"));
  }

  void outputLampsSendTheirShownState() {
    LiveWindow l;
    QVERIFY(l.Start());
    QVERIFY(l.Connected());
    MainWindow& w = l.window();
    auto* output1 = qobject_cast<IndicatorShape*>(Control(w, "Shape21"));
    w.pages()->setCurrentWidget(w.directControlPage());
    QTest::mouseClick(output1, Qt::RightButton);  // any button
    QVERIFY(Reaches(l.sim, [](const sim::DriverState& s) { return s.output1; }));
    QTRY_VERIFY_WITH_TIMEOUT(Lit(w, 21), kLinkTimeoutMs);
    QTest::mouseClick(output1, Qt::LeftButton);
    QVERIFY(Reaches(l.sim, [](const sim::DriverState& s) { return !s.output1; }));
    // A frame sent again because its acknowledgement came late (a busy machine) is the same
    // command: what counts is the values in their order.
    std::vector<std::uint32_t> values;
    for (const Command& c : Commands(l.sim, 'x'))
      if (values.empty() || values.back() != c.value) values.push_back(c.value);
    QCOMPARE(values, (std::vector<std::uint32_t>{0x100u, 0x101u}));
    QTest::mouseClick(qobject_cast<IndicatorShape*>(Control(w, "Shape22")), Qt::LeftButton);
    QVERIFY(Reaches(l.sim, [](const sim::DriverState& s) { return s.output2; }));
    QCOMPARE(Commands(l.sim, 'x').back().value, 0x200u);
  }

  void memoryAccessIsHiddenUntilCtrl1() {
    LiveWindow l;
    QVERIFY(l.Start());
    QVERIFY(l.Connected());
    MainWindow& w = l.window();
    w.pages()->setCurrentWidget(w.directControlPage());
    auto* displacement = qobject_cast<QLineEdit*>(Control(w, "Edit29"));
    auto* address = qobject_cast<QWidget*>(Control(w, "Edit3"));
    QVERIFY(!address->isVisibleTo(w.directControlPage()));
    QTest::keyClick(displacement, Qt::Key_1, Qt::ControlModifier | Qt::KeypadModifier);
    QVERIFY(!address->isVisibleTo(w.directControlPage()));
    displacement->clear();
    QTest::keyClick(displacement, Qt::Key_1, Qt::ControlModifier);
    QVERIFY(address->isVisibleTo(w.directControlPage()));
    QCOMPARE(displacement->text(), QString());

    // Up and Down keep the address within 0..3FFFh.
    SetBox(w, "Edit3", QStringLiteral("16383"));
    Press(w, "BitBtn1");
    QCOMPARE(Text(w, "Edit3"), QStringLiteral("16383"));
    SetBox(w, "Edit3", QStringLiteral("0"));
    Press(w, "BitBtn2");
    QCOMPARE(Text(w, "Edit3"), QStringLiteral("0"));
    SetBox(w, "Edit3", QStringLiteral("abc"));
    Press(w, "BitBtn1");
    QCOMPARE(Text(w, "Edit3"), QStringLiteral("0"));

    SetBox(w, "Edit3", QStringLiteral("300"));
    SetBox(w, "Edit4", QStringLiteral("99"));
    Press(w, "Button41");
    QTRY_VERIFY_WITH_TIMEOUT(l.sim.MemoryCell(300) == 99, kLinkTimeoutMs);
    // A cell the driver has is read; one it has not (0, beyond 3FFFh, no number) is refused,
    // and the note names the cells there are, rather than another cell being read.
    l.sim.SetMemoryCell(1, 42);
    SetBox(w, "Edit3", QStringLiteral("1"));
    Press(w, "Button40");
    QCOMPARE(Text(w, "Edit4"), QString());
    QTRY_VERIFY_WITH_TIMEOUT(Text(w, "Edit4") == QStringLiteral("42"), kLinkTimeoutMs);
    for (const QString& refused : {QStringLiteral("0"), QStringLiteral("99999")}) {
      const auto framesBefore = Commands(l.sim, 'E').size();
      SetBox(w, "Edit3", refused);
      Press(w, "Button40");
      QTRY_VERIFY2_WITH_TIMEOUT(Text(w, "DirectControlNote").contains(QStringLiteral("1..3FFFh")),
                                qPrintable(Text(w, "DirectControlNote")), kLinkTimeoutMs);
      QCOMPARE(Text(w, "Edit4"), QString());
      QCOMPARE(Commands(l.sim, 'E').size(), framesBefore);
    }

    QTest::keyClick(displacement, Qt::Key_1, Qt::ControlModifier);
    QVERIFY(!address->isVisibleTo(w.directControlPage()));
    QTest::keyClick(displacement, Qt::Key_1, Qt::ControlModifier);
    // Entering the page hides them again.
    w.pages()->setCurrentWidget(w.programPage());
    w.pages()->setCurrentWidget(w.directControlPage());
    QVERIFY(!address->isVisibleTo(w.directControlPage()));
  }

  // The adapter comes back on the same device: the window finds it by itself, and says
  // what it is doing meanwhile.
  void unpluggedAndPluggedBackInOnTheSameDevice() {
    LiveWindow l;
    QVERIFY(l.Start());
    QVERIFY(l.Connected());
    MainWindow& w = l.window();
    QCOMPARE(Text(w, "LinkStatusText1"), QString::fromUtf8("bağlı"));
    const QString device = l.h.Stored(QStringLiteral("COMPORT"));
    l.sim.Unplug();
    QTRY_VERIFY_WITH_TIMEOUT(Text(w, "LinkStatusText1") == QString::fromUtf8("yeniden bağlanıyor"),
                             kLinkTimeoutMs);
    QCOMPARE(Text(w, "LinkStatusText2"), QString::fromUtf8("yeniden bağlanıyor"));
    QCOMPARE(qobject_cast<QWidget*>(Control(w, "Shape1"))->toolTip(),
             QString::fromUtf8("yeniden bağlanıyor"));
    QVERIFY(Red(w, 1) && Red(w, 13));
    QCOMPARE(Text(w, "StaticText13"), QStringLiteral(" "));
    const QString folder = qEnvironmentVariable("KIVRA_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
      for (QWidget* page :
           {static_cast<QWidget*>(w.programPage()), static_cast<QWidget*>(w.directControlPage())}) {
        w.pages()->setCurrentWidget(page);
        QTRY_VERIFY_WITH_TIMEOUT(page->isVisible(), kLinkTimeoutMs);
        const QString file = page == w.programPage() ? "program-page-reconnecting.png"
                                                     : "direct-control-page-reconnecting.png";
        QVERIFY(w.grab().save(QDir(folder).filePath(file)));
      }
    }
    w.toolBar()->language()->click();
    QCOMPARE(Text(w, "LinkStatusText1"), QStringLiteral("reconnecting"));

    const auto framesBefore = l.sim.ReceivedFrames().size();
    l.sim.Replug(true);
    if (l.sim.PortPath() != device.toStdString())
      QSKIP("another program took the pseudo-terminal's number");
    QTRY_VERIFY_WITH_TIMEOUT(Lit(w, 1) && Lit(w, 13), kLinkTimeoutMs);
    QCOMPARE(Text(w, "LinkStatusText1"), QStringLiteral("connected"));
    QCOMPARE(l.h.Stored(QStringLiteral("COMPORT")), device);
    QVERIFY(l.h.prompts.shown.empty());
    // Only status requests since.
    const auto frames = l.sim.ReceivedFrames();
    for (std::size_t i = framesBefore; i < frames.size(); ++i)
      QCOMPARE(frames[i].bytes[2], std::uint8_t{'s'});
  }

  // It comes back under a new name: the window goes on waiting for the old one until the
  // user picks the new one, which ends the wait.
  void aDeviceBackUnderANewNameIsChosenInTheDialog() {
    sim::Simulator sim;
    QTemporaryDir folder;
    const QString oldName = folder.filePath(QStringLiteral("ttyUSB0"));
    std::filesystem::create_symlink(sim.PortPath(), oldName.toStdString());
    WindowHarness h({{QStringLiteral("COMPORT"), oldName}});
    h.realSerial = true;
    QVERIFY(h.Start());
    MainWindow& w = h.window();
    QTRY_VERIFY_WITH_TIMEOUT(Lit(w, 1), kLinkTimeoutMs);
    sim.Unplug();
    std::filesystem::remove(oldName.toStdString());  // the name goes with the device
    QTRY_VERIFY_WITH_TIMEOUT(w.driverSide().selection().WaitingForDevice(), kLinkTimeoutMs);
    sim.Replug();
    QTest::qWait(2 * link::PortSelection::kLookForDeviceMs);
    QVERIFY(Red(w, 1));
    QVERIFY(w.driverSide().selection().WaitingForDevice());

    w.menu().comPort->trigger();
    w.portDialog()->portList()->clearSelection();
    w.portDialog()->numberBox()->clear();
    QTest::keyClicks(w.portDialog()->numberBox(), QString::fromStdString(sim.PortPath()));
    w.portDialog()->okButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(Lit(w, 1) && Lit(w, 13), kLinkTimeoutMs);
    QVERIFY(!w.driverSide().selection().WaitingForDevice());
    QCOMPARE(h.Stored(QStringLiteral("COMPORT")), QString::fromStdString(sim.PortPath()));
  }

  // The simulated driver is reached through a link that a replug points at the new port,
  // as /dev/serial/by-id/ links do for adapters.
  void simulatedDriverPluggedBackInBehindTheSameLink() {
    WindowHarness h({{QStringLiteral("COMPORT"), QStringLiteral("SIM")}});
    h.realSerial = true;
    QVERIFY(h.Start());
    MainWindow& w = h.window();
    QTRY_VERIFY_WITH_TIMEOUT(Lit(w, 1), kLinkTimeoutMs);
    sim::Simulator& sim = *w.driverSide().simulatedDriver().simulator();
    sim.Unplug();
    QTRY_VERIFY_WITH_TIMEOUT(Red(w, 1) && w.driverSide().selection().WaitingForDevice(),
                             kLinkTimeoutMs);
    const sim::PseudoTerminal squatter;
    sim.Replug();
    QTRY_VERIFY_WITH_TIMEOUT(Lit(w, 1), kLinkTimeoutMs);
    QCOMPARE(h.Stored(QStringLiteral("COMPORT")), QStringLiteral("SIM"));
    QVERIFY(h.prompts.shown.empty());
  }

  void unpluggedDuringADownloadIsReportedAsFailed() {
    LiveWindow l;
    const QString path = l.h.WriteProgram(QStringLiteral("LONG.KV3"), LongProgram(150));
    l.h.prompts.fileNames = {path};
    QVERIFY(l.Start());
    QVERIFY(l.Connected());
    MainWindow& w = l.window();
    w.files().Open();
    QVERIFY(w.lastCheck().programValid);
    w.toolBar()->download()->click();
    QTRY_VERIFY_WITH_TIMEOUT(w.driverSide().engine().Variables().downloadOffset >= 50,
                             kLinkTimeoutMs);
    l.sim.Unplug();
    QTRY_VERIFY_WITH_TIMEOUT(!l.h.prompts.shown.empty(), kLinkTimeoutMs);
    // The specified line, then where it stopped and why.
    const QString text = l.h.prompts.shown.front().text;
    QVERIFY(text.startsWith(
        QString::fromUtf8("Program Yazılamadı!\nDurduğu yer: veri çerçevesi, adres ")));
    QVERIFY(text.endsWith(QString::fromUtf8(": port açık değil.")));
    QCOMPARE(l.h.prompts.shown.front().kind, MessageKind::Error);
    QVERIFY(!w.downloadWindow()->isVisible());
    QVERIFY(Red(w, 1) && Red(w, 13));
    // Meanwhile the download button says why it cannot run.
    w.toolBar()->download()->click();
    QCOMPARE(l.h.prompts.LastText(),
             QString::fromUtf8("Bağlantı yok: portun geri gelmesi bekleniyor!"));

    // Back again: polling resumes, and the download is not taken up again by itself.
    const auto framesBefore = l.sim.ReceivedFrames().size();
    const QString device = l.h.Stored(QStringLiteral("COMPORT"));
    l.sim.Replug(true);
    if (l.sim.PortPath() != device.toStdString())
      QSKIP("another program took the pseudo-terminal's number");
    QTRY_VERIFY_WITH_TIMEOUT(Lit(w, 1), kLinkTimeoutMs);
    const auto frames = l.sim.ReceivedFrames();
    for (std::size_t i = framesBefore; i < frames.size(); ++i)
      QCOMPARE(frames[i].bytes[1], std::uint8_t{'K'});
    QVERIFY(Commands(l.sim, 'P').size() == 1);
    QCOMPARE(l.h.prompts.shown.size(), size_t{2});
  }

  void anotherRequestAbandonsTheDownloadAndSaysSo() {
    LiveWindow l;
    const QString path = l.h.WriteProgram(QStringLiteral("LONG.KV3"), LongProgram(100));
    l.h.prompts.fileNames = {path};
    QVERIFY(l.Start());
    QVERIFY(l.Connected());
    MainWindow& w = l.window();
    w.files().Open();
    w.toolBar()->download()->click();
    QTRY_VERIFY_WITH_TIMEOUT(w.driverSide().engine().Variables().downloadOffset >= 25,
                             kLinkTimeoutMs);
    Press(w, "Button6");
    QVERIFY(
        l.h.prompts.LastText().startsWith(QString::fromUtf8("Program Yazılamadı!\nDurduğu yer: ")));
    QVERIFY(l.h.prompts.LastText().endsWith(
        QString::fromUtf8(": başka bir istek bağlantıyı devraldı.")));
    QVERIFY(!w.downloadWindow()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!Commands(l.sim, 'S').empty(), kLinkTimeoutMs);
  }

 private:
  static QString h_last(LiveWindow& l) { return l.h.prompts.LastText(); }
};

}  // namespace kivra::app::testing

QTEST_MAIN(kivra::app::testing::DriverTest)
#include "driver_test.moc"
