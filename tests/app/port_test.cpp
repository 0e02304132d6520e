// Opening the remembered port at start-up, the port dialog with its device list, the
// prompt for port number 0 and the simulated driver as a stored port.

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>

#include "app/driver/port_dialog.h"
#include "app/program/program_files.h"
#include "app/shell/main_menu.h"
#include "app/shell/tool_bar.h"
#include "driver_fixture.h"

namespace kivra::app::testing {

class PortTest : public QObject {
  Q_OBJECT
 private slots:
  void startupOpensTheStoredPort_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("opened");
    QTest::newRow("number") << "3"
                            << "3";
    QTest::newRow("zero opens port 1") << "0"
                                       << "1";
    QTest::newRow("device path") << "/dev/ttyUSB7"
                                 << "/dev/ttyUSB7";
  }
  void startupOpensTheStoredPort() {
    QFETCH(QString, stored);
    QFETCH(QString, opened);
    WindowHarness h({{QStringLiteral("COMPORT"), stored}});
    QVERIFY(h.Start());
    QVERIFY(h.port.isOpen);
    QCOMPARE(QString::fromStdString(h.port.port.ToString()), opened);
    QCOMPARE(Text(h.window(), "StaticText15"), opened);
    QCOMPARE(Text(h.window(), "StaticText55"), opened);
    QVERIFY(h.window().driverSide().engine().LinkEnabled());
    QVERIFY(h.prompts.shown.empty());
    // Nothing answers: the polling times out and the lights stay red.
    QTRY_VERIFY_WITH_TIMEOUT(h.port.sent.size() >= 16, kLinkTimeoutMs);
    QVERIFY(Red(h.window(), 1) && Red(h.window(), 13));
  }

  void startupWarnsOfAPortThatDoesNotOpen_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("warning");
    // The reason, and where the simulated driver is to be had.
    QTest::newRow("missing, Turkish")
        << "0"
        << "4"
        << QString::fromUtf8(
               "Comm Port 4 Açılamadı!\nBu bilgisayarda böyle bir port yok.\n"
               "Sürücü yoksa: Ayarlar > Com Port ... simülasyon sürücüsünü (SIM) sunar.");
    QTest::newRow("missing, English")
        << "1"
        << "4"
        << "Comm Port 4 not opened!\nThere is no such port on this computer.\n"
           "Without a driver: Settings > Com Port ... offers the simulated driver (SIM).";
    // Not a port name: the message names the port number as it stood, none yet.
    QTest::newRow("not a number") << "1"
                                  << "COM"
                                  << "Comm Port 0 not opened!\nWithout a driver: Settings > Com "
                                     "Port ... offers the simulated driver (SIM).";
  }
  void startupWarnsOfAPortThatDoesNotOpen() {
    QFETCH(QString, language);
    QFETCH(QString, stored);
    QFETCH(QString, warning);
    WindowHarness h({{QStringLiteral("COMPORT"), stored}, {QStringLiteral("LANGUAGE"), language}});
    h.port.missing = {"4"};
    QVERIFY(h.Start());
    QCOMPARE(h.prompts.shown.size(), size_t{1});
    QCOMPARE(h.prompts.shown[0].kind, MessageKind::Warning);
    QCOMPARE(h.prompts.shown[0].text, warning);
    QVERIFY(!h.window().driverSide().engine().LinkEnabled());
    QVERIFY(Red(h.window(), 1) && Red(h.window(), 13));
    QCOMPARE(Text(h.window(), "StaticText15"), QString());
    QCOMPARE(Text(h.window(), "StaticText55"), QString());
    // The link is off: no tick sends anything.
    const auto ticks = h.window().driverSide().engine().Variables().tickCount;
    QTRY_VERIFY_WITH_TIMEOUT(h.window().driverSide().engine().Variables().tickCount > ticks + 3,
                             kLinkTimeoutMs);
    QVERIFY(h.port.sent.empty());
    QCOMPARE(h.Stored(QStringLiteral("COMPORT")), stored);
  }

  void dialogOpensAndStoresTheChosenPort_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("opened");
    QTest::newRow("number") << "5"
                            << "5";
    QTest::newRow("taken modulo 256") << "257"
                                      << "1";
  }
  void dialogOpensAndStoresTheChosenPort() {
    QFETCH(QString, typed);
    QFETCH(QString, opened);
    WindowHarness h({{QStringLiteral("COMPORT"), QStringLiteral("2")}});
    QVERIFY(h.Start());
    PortDialog* dialog = h.window().portDialog();
    h.window().menu().comPort->trigger();
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->cancelButton()->text(), QStringLiteral("IPTAL"));
    QCOMPARE(dialog->numberBox()->text(), QStringLiteral("2"));
    dialog->numberBox()->clear();
    QTest::keyClicks(dialog->numberBox(), typed);
    dialog->okButton()->click();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(QString::fromStdString(h.port.port.ToString()), opened);
    QCOMPARE(h.Stored(QStringLiteral("COMPORT")), opened);
    QCOMPARE(Text(h.window(), "StaticText15"), opened);
    QVERIFY(h.prompts.shown.empty());
  }

  void dialogRefusesWhatItCannotOpen() {
    WindowHarness h({{QStringLiteral("COMPORT"), QStringLiteral("2")},
                     {QStringLiteral("LANGUAGE"), QStringLiteral("1")}});
    h.port.missing = {"9"};
    QVERIFY(h.Start());
    PortDialog* dialog = h.window().portDialog();
    h.window().menu().comPort->trigger();
    QCOMPARE(dialog->cancelButton()->text(), QStringLiteral("CANCEL"));

    // Nothing typed: asked for a number, the link stops, the port is left alone.
    dialog->numberBox()->clear();
    dialog->okButton()->click();
    QCOMPARE(h.prompts.LastText(), QStringLiteral("Enter number!"));
    QCOMPARE(h.prompts.shown.back().kind, MessageKind::Error);
    QVERIFY(dialog->isVisible());
    QVERIFY(!h.window().driverSide().engine().LinkEnabled());
    QCOMPARE(QString::fromStdString(h.port.port.ToString()), QStringLiteral("2"));

    // A port that does not open: warned, link off, displays empty, setting unchanged.
    QTest::keyClicks(dialog->numberBox(), QStringLiteral("9"));
    dialog->okButton()->click();
    QCOMPARE(h.prompts.LastText(),
             QStringLiteral("Comm Port 9 not opened!\nThere is no such port on this computer."));
    QCOMPARE(h.prompts.shown.back().kind, MessageKind::Warning);
    QVERIFY(dialog->isVisible());
    QVERIFY(!h.window().driverSide().engine().LinkEnabled());
    QVERIFY(Red(h.window(), 1));
    QCOMPARE(Text(h.window(), "StaticText15"), QString());
    QCOMPARE(h.Stored(QStringLiteral("COMPORT")), QStringLiteral("2"));
    const auto sent = h.port.sent.size();
    const auto ticks = h.window().driverSide().engine().Variables().tickCount;
    QTRY_VERIFY_WITH_TIMEOUT(h.window().driverSide().engine().Variables().tickCount > ticks + 3,
                             kLinkTimeoutMs);
    QCOMPARE(h.port.sent.size(), sent);

    // Cancel only hides the dialog.
    dialog->cancelButton()->click();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(h.prompts.shown.size(), size_t{2});
  }

  // Confirming an emptied box stops the link: the window says so at once, and the
  // download button says why it does nothing, rather than "No valid program!" after a
  // clean check.
  void anEmptiedBoxShowsTheLinkDown() {
    WindowHarness h({{QStringLiteral("COMPORT"), QStringLiteral("2")}});
    const QString path =
        h.WriteProgram(QStringLiteral("P.KV3"), "       SPEED = 100;\r\r\n       END;\r\r\n");
    h.prompts.fileNames = {path};
    QVERIFY(h.Start());
    MainWindow& w = h.window();
    w.files().Open();
    QVERIFY(w.lastCheck().programValid);
    w.menu().comPort->trigger();
    w.portDialog()->numberBox()->clear();
    w.portDialog()->okButton()->click();
    w.portDialog()->cancelButton()->click();
    QVERIFY(Red(w, 1) && Red(w, 13));
    QCOMPARE(Text(w, "LinkStatusText1"), QString::fromUtf8("port açık değil"));
    QCOMPARE(Text(w, "LinkStatusText2"), QString::fromUtf8("port açık değil"));
    const auto sent = h.port.sent.size();
    w.toolBar()->download()->click();
    QCOMPARE(h.prompts.LastText(), QString::fromUtf8("Bağlantı yok: port açık değil!"));
    QCOMPARE(h.port.sent.size(), sent);
  }

  // The number box takes a device path typed in full.
  void aDevicePathCanBeTyped() {
    WindowHarness h({{QStringLiteral("COMPORT"), QStringLiteral("2")}});
    QVERIFY(h.Start());
    PortDialog* dialog = h.window().portDialog();
    h.window().menu().comPort->trigger();
    dialog->numberBox()->clear();
    QTest::keyClicks(dialog->numberBox(), QStringLiteral("/dev/ttyUSB3"));
    QCOMPARE(dialog->numberBox()->text(), QStringLiteral("/dev/ttyUSB3"));
    dialog->okButton()->click();
    QCOMPARE(QString::fromStdString(h.port.port.path()), QStringLiteral("/dev/ttyUSB3"));
    QCOMPARE(h.Stored(QStringLiteral("COMPORT")), QStringLiteral("/dev/ttyUSB3"));
    // Letters that make no path stay out, as before.
    h.window().menu().comPort->trigger();
    dialog->numberBox()->clear();
    QTest::keyClicks(dialog->numberBox(), QStringLiteral("COM3"));
    QCOMPARE(dialog->numberBox()->text(), QStringLiteral("3"));
  }

  void dialogListsTheDevicesAndTheSimulatedDriver() {
    WindowHarness h;
    QVERIFY(h.Start());
    h.window().menu().comPort->trigger();
    QListWidget* list = h.window().portDialog()->portList();
    QVERIFY(list->count() >= 1);
    QListWidgetItem* simulated = list->item(list->count() - 1);
    QCOMPARE(simulated->data(Qt::UserRole).toString(), QStringLiteral("SIM"));
    QVERIFY(simulated->text().contains(QString::fromUtf8("Simülasyon")));

    // Picking the simulated driver starts it and opens its port; COMPORT remembers it
    // by name, since its device changes from run to run.
    simulated->setSelected(true);
    h.window().portDialog()->okButton()->click();
    SimulatedDriver& sim = h.window().driverSide().simulatedDriver();
    QVERIFY(sim.Running());
    QCOMPARE(QString::fromStdString(h.port.port.path()), sim.Path());
    QCOMPARE(h.Stored(QStringLiteral("COMPORT")), QStringLiteral("SIM"));
    QCOMPARE(Text(h.window(), "StaticText15"), QStringLiteral("SIM"));
    QVERIFY(!h.window().portDialog()->isVisible());

    // Reopened, the dialog shows the port in use.
    h.window().menu().comPort->trigger();
    QCOMPARE(list->selectedItems().size(), 1);
    QCOMPARE(list->selectedItems()[0]->data(Qt::UserRole).toString(), QStringLiteral("SIM"));
  }

  void portZeroAsksWithTheSameList() {
    WindowHarness h({{QStringLiteral("COMPORT"), QStringLiteral("/dev/kivra-no-such-port")}});
    h.realSerial = true;            // the serial component asks through its prompt hook
    h.prompts.ports = {QString()};  // cancelled
    QVERIFY(h.Start());
    QVERIFY(h.prompts.LastText().startsWith(QString::fromUtf8(
        "Comm Port /dev/kivra-no-such-port Açılamadı!\nBu bilgisayarda böyle bir port yok.\n")));
    h.window().menu().comPort->trigger();
    h.window().portDialog()->numberBox()->setText(QStringLiteral("0"));
    h.window().portDialog()->okButton()->click();
    QCOMPARE(h.prompts.portPrompts.size(), size_t{1});
    QCOMPARE(h.prompts.portPrompts[0].back().port, QStringLiteral("SIM"));
    QCOMPARE(h.prompts.LastText(), QString::fromUtf8("Comm Port 0 Açılamadı!\nPort seçilmedi."));

    // Asked again and answered with the simulated driver: the link runs on it.
    h.prompts.ports = {QStringLiteral("SIM")};
    h.window().portDialog()->okButton()->click();
    QCOMPARE(h.prompts.portPrompts.size(), size_t{2});
    QVERIFY(h.window().driverSide().simulatedDriver().Running());
    QVERIFY(!h.window().portDialog()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(Lit(h.window(), 1), kLinkTimeoutMs);
    QCOMPARE(h.Stored(QStringLiteral("COMPORT")), QStringLiteral("0"));
  }

  void storedSimulatedDriverIsStartedAndConnects() {
    WindowHarness h({{QStringLiteral("COMPORT"), QStringLiteral("SIM")}});
    h.realSerial = true;
    QVERIFY(h.Start());
    QVERIFY(h.prompts.shown.empty());
    QVERIFY(h.window().driverSide().simulatedDriver().Running());
    QTRY_VERIFY_WITH_TIMEOUT(Lit(h.window(), 1) && Lit(h.window(), 13), kLinkTimeoutMs);
    QCOMPARE(Text(h.window(), "StaticText55"), QStringLiteral("SIM"));
    QCOMPARE(h.Stored(QStringLiteral("COMPORT")), QStringLiteral("SIM"));
  }

  // On the simulated driver the dialog's box shows "SIM", not the design's "1"; an emptied
  // box stops the link with "Enter number!", and the port boxes then name no port beside
  // "port not open", in either language.
  void theBoxesNameThePortOnlyWhileTheLinkIsOnIt_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("enterNumber");
    QTest::addColumn<QString>("portNotOpen");
    QTest::newRow("Turkish") << "0" << QStringLiteral("Numara Giriniz!")
                             << QString::fromUtf8("port açık değil");
    QTest::newRow("English") << "1" << QStringLiteral("Enter number!")
                             << QStringLiteral("port not open");
  }
  void theBoxesNameThePortOnlyWhileTheLinkIsOnIt() {
    QFETCH(QString, language);
    QFETCH(QString, enterNumber);
    QFETCH(QString, portNotOpen);
    WindowHarness h({{QStringLiteral("COMPORT"), QStringLiteral("SIM")},
                     {QStringLiteral("LANGUAGE"), language}});
    h.realSerial = true;
    QVERIFY(h.Start());
    MainWindow& w = h.window();
    QTRY_VERIFY_WITH_TIMEOUT(Lit(w, 1), kLinkTimeoutMs);
    QCOMPARE(Text(w, "StaticText15"), QStringLiteral("SIM"));
    w.menu().comPort->trigger();
    QCOMPARE(w.portDialog()->numberBox()->text(), QStringLiteral("SIM"));
    KeepWindowPicture(
        w.portDialog(),
        QStringLiteral("port-dialog-%1.png").arg(language == QStringLiteral("1") ? "en" : "tr"));

    // Emptied by hand: the list's choice goes with what was in the box.
    QTest::keyClick(w.portDialog()->numberBox(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(w.portDialog()->numberBox(), Qt::Key_Backspace);
    w.portDialog()->okButton()->click();
    QCOMPARE(h.prompts.LastText(), enterNumber);
    QVERIFY(!w.driverSide().engine().LinkEnabled());
    QCOMPARE(Text(w, "LinkStatusText1"), portNotOpen);
    QCOMPARE(Text(w, "StaticText15"), QString());
    QCOMPARE(Text(w, "StaticText55"), QString());
    // What was stored stays: the box was no choice.
    QCOMPARE(h.Stored(QStringLiteral("COMPORT")), QStringLiteral("SIM"));

    // Chosen again, the port is named again.
    QTest::keyClicks(w.portDialog()->numberBox(), QStringLiteral("SIM"));
    w.portDialog()->okButton()->click();
    QVERIFY(!w.portDialog()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(Lit(w, 1), kLinkTimeoutMs);
    QCOMPARE(Text(w, "StaticText15"), QStringLiteral("SIM"));
    QCOMPARE(Text(w, "StaticText55"), QStringLiteral("SIM"));
  }

  // A first start (no port chosen yet) opened port 1 and sat "not connected" without a word
  // of the simulated driver. When nothing answers within two seconds, the tool bar's status
  // text says so and offers it; one click on the offer starts it. No box.
  void aFirstStartThatNothingAnswersOffersTheSimulatedDriver_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("says");
    QTest::addColumn<QString>("offers");
    QTest::newRow("Turkish") << "0" << QString::fromUtf8("Sürücü yanıt vermiyor.")
                             << QString::fromUtf8("Simülasyon sürücüsünü dene");
    QTest::newRow("English") << "1" << QStringLiteral("No driver answers.")
                             << QStringLiteral("Try the simulated driver");
  }
  void aFirstStartThatNothingAnswersOffersTheSimulatedDriver() {
    QFETCH(QString, language);
    QFETCH(QString, says);
    QFETCH(QString, offers);
    WindowHarness h({{QStringLiteral("LANGUAGE"), language}});
    QVERIFY(h.Start());
    MainWindow& w = h.window();
    QLabel* status = w.toolBar()->statusText();
    QCOMPARE(status->text(), QString());
    QTRY_VERIFY_WITH_TIMEOUT(!status->text().isEmpty(), DriverSide::kFirstAnswerMs + 3000);
    QCOMPARE(status->text(), says + QStringLiteral("<br><a href=\"simulated-driver\">") + offers +
                                 QStringLiteral("</a>"));
    QVERIFY(h.prompts.shown.empty());
    KeepWindowPicture(&w, QStringLiteral("first-start-offer-%1.png")
                              .arg(language == QStringLiteral("1") ? "en" : "tr"));

    // The click, where the link is drawn: the second line, ending at the label's right edge.
    const QFontMetrics metrics(status->font());
    const int secondLine =
        (status->height() - 2 * metrics.lineSpacing()) / 2 + metrics.lineSpacing() * 3 / 2;
    QTest::mouseClick(status, Qt::LeftButton, {}, QPoint(status->width() - 4, secondLine));
    QTRY_VERIFY_WITH_TIMEOUT(w.driverSide().simulatedDriver().Running(), kLinkTimeoutMs);
    QCOMPARE(QString::fromStdString(h.port.port.path()), w.driverSide().simulatedDriver().Path());
    QCOMPARE(h.Stored(QStringLiteral("COMPORT")), QStringLiteral("SIM"));
    QCOMPARE(Text(w, "StaticText15"), QStringLiteral("SIM"));
    QCOMPARE(status->text(), QString());
    QVERIFY(h.prompts.shown.empty());
  }

  // A port chosen before (or the simulated driver for this run) is no first start: nothing
  // is offered, however long the driver is silent.
  void aStartWithAChosenPortOffersNothing_data() {
    QTest::addColumn<bool>("simulatedForThisRun");
    QTest::newRow("stored port") << false;
    QTest::newRow("--simulated-driver") << true;
  }
  void aStartWithAChosenPortOffersNothing() {
    QFETCH(bool, simulatedForThisRun);
    WindowHarness h(simulatedForThisRun
                        ? QMap<QString, QString>{}
                        : QMap<QString, QString>{{QStringLiteral("COMPORT"), QStringLiteral("2")}});
    h.simulatedDriver = simulatedForThisRun;
    QVERIFY(h.Start());
    QTest::qWait(DriverSide::kFirstAnswerMs + 500);
    QCOMPARE(h.window().toolBar()->statusText()->text(), QString());
  }

  void simulatedDriverForOneRunLeavesNoPortStored() {
    WindowHarness h;
    h.realSerial = true;
    h.simulatedDriver = true;
    QVERIFY(h.Start());
    QVERIFY(h.prompts.shown.empty());
    QTRY_VERIFY_WITH_TIMEOUT(Lit(h.window(), 1), kLinkTimeoutMs);
    QVERIFY(!h.IsStored(QStringLiteral("COMPORT")));
    QVERIFY(h.IsStored(QStringLiteral("LANGUAGE")));
  }
};

}  // namespace kivra::app::testing

QTEST_MAIN(kivra::app::testing::PortTest)
#include "port_test.moc"
