// The lines of the port lists: what each shows and which port it opens and stores.

#include "app/driver/port_choices.h"

#include <QTest>

namespace kivra::app {

class PortChoicesTest : public QObject {
  Q_OBJECT
 private slots:
  void choicesNameThePortsAsTheyAreStored() {
    std::vector<serial::PortInfo> present(3);
    present[0] = {"/dev/ttyS0", "16550A UART", "", 1};
    present[1] = {"/dev/ttyUSB0", "FT232R USB UART (FTDI)",
                  "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0", 0};
    present[2] = {"/dev/ttyACM0", "", "", 0};
    const QList<PortChoice> choices = PortChoices(present, Language::English);
    QCOMPARE(choices.size(), 4);
    // The machine's own port by its number, an adapter by its stable path, others by path.
    QCOMPARE(choices[0].port, QStringLiteral("1"));
    QCOMPARE(choices[0].label, QStringLiteral("COM1  /dev/ttyS0  16550A UART"));
    QCOMPARE(choices[1].port, QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R-if00-port0"));
    QCOMPARE(choices[1].label, QStringLiteral("/dev/ttyUSB0  FT232R USB UART (FTDI)"));
    QCOMPARE(choices[2].port, QStringLiteral("/dev/ttyACM0"));
    QCOMPARE(choices[2].label, QStringLiteral("/dev/ttyACM0"));
    // The simulated driver is always there, last, in the interface language.
    QCOMPARE(choices[3].port, QStringLiteral("SIM"));
    QVERIFY(choices[3].label.contains(QStringLiteral("Simulated driver")));
    QVERIFY(PortChoices({}, Language::Turkish)
                .back()
                .label.contains(QString::fromUtf8("Simülasyon sürücüsü")));
  }
};

}  // namespace kivra::app

QTEST_GUILESS_MAIN(kivra::app::PortChoicesTest)
#include "port_choices_test.moc"
