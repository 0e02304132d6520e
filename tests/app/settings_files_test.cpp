// The direct-control page's parameter files: saving, loading with verification and
// comparing, through a scripted link and scripted dialogs.

#include "app/files/settings_files.h"

#include <sys/stat.h>

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/driver/engine_settings_exchange.h"
#include "app/files/settings_compare_window.h"
#include "app/panels/direct_control_page.h"
#include "app/ui/ui_language.h"
#include "scripted_prompts.h"
#include "tests/link/fakes.h"
#include "tests/params/scripted_session.h"

namespace kivra::app::testing {

using params::testing::ScriptedSession;

// The link as the window sees it: each step answered on a later turn of the event loop.
class ScriptedLink final : public SettingsExchange {
 public:
  void Start(const params::Step& step, params::DriverReadings& readings,
             std::function<void(params::Outcome)> done) override {
    const params::Outcome o = params::Perform(session, step, readings);
    QTimer::singleShot(0, [done = std::move(done), o] { done(o); });
  }
  bool Busy() const override { return busy; }

  ScriptedSession session;
  bool busy = false;
};

class SettingsFilesTest : public QObject {
  Q_OBJECT

  struct Page {
    QWidget window;
    DirectControlPage* page = new DirectControlPage(&window);
    ControlMap controls{&window};
    ScriptedLink link;
    ScriptedPrompts prompts;
    UiLanguage language{Language::English};
    SettingsFiles* files = new SettingsFiles(&window, controls, link, prompts, language);

    // Presses a button and waits for its work to end.
    bool Press(const char* name) {
      QSignalSpy ended(files, &SettingsFiles::Ended);
      window.findChild<QPushButton*>(QString::fromLatin1(name))->click();
      return ended.count() > 0 || ended.wait(5000);
    }
    QString Status() const { return files->statusText()->text(); }
  };

  QTemporaryDir dir_;

  QString Write(const QString& name, const QByteArray& text) {
    QFile f(dir_.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(text);
    return f.fileName();
  }

 private slots:
  void saveWritesTheDriversSet() {
    Page p;
    p.link.session.Driver().settings.speed = 1500;
    p.link.session.Driver().programName = "HOMING.KV3";
    const QString path = dir_.filePath(QStringLiteral("saved.kvp"));
    p.prompts.fileNames.push_back(path);
    QVERIFY(p.Press("SaveSettingsButton"));
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray text = saved.readAll();
    QVERIFY(text.startsWith(
        "# Kivra-PS parameter set\nformat = 1\nfirmware = 1.2\nprogram = HOMING.KV3\n"));
    QVERIFY(text.contains("\nspeed = 1500\n"));
    QCOMPARE(p.Status(), QStringLiteral("Settings saved: saved.kvp"));
    QCOMPARE(p.prompts.dialogs.back().defaultSuffix, QStringLiteral("kvp"));
    QVERIFY(p.prompts.shown.empty());

    p.prompts.fileNames.push_back(QString());  // cancelled: nothing is read
    const int before = p.link.session.Exchanges();
    p.window.findChild<QPushButton*>(QStringLiteral("SaveSettingsButton"))->click();
    QCOMPARE(p.link.session.Exchanges(), before);
  }

  void loadRefusesABadFileBeforeSendingAnything() {
    Page p;
    p.language.Set(Language::Turkish);
    p.prompts.fileNames.push_back(
        Write(QStringLiteral("bad.kvp"), "format = 1\nspeed = 1200\nmicrostep = 3\n"));
    p.window.findChild<QPushButton*>(QStringLiteral("LoadSettingsButton"))->click();
    QCOMPARE(p.link.session.Exchanges(), 0);
    QCOMPARE(p.prompts.LastText(),
             QString::fromUtf8("bad.kvp: satır 3: microstep = 3: geçersiz değer, beklenen 1, 2, 4, "
                               "5, 8, 10, 16, 25\nSürücüye hiçbir şey gönderilmedi."));
  }

  // The same files and words as `kivra params write`: nothing is read from a device or a
  // FIFO, nor from a file far larger than a parameter file, and nothing is sent.
  void loadAndCompareRefuseFilesThatAreNoParameterFiles() {
    const QString fifo = dir_.filePath(QStringLiteral("pipe.kvp"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString big = Write(QStringLiteral("big.kvp"), "format = 1\n");
    QVERIFY(QFile::resize(big, 64 * 1024 * 1024));
    const struct {
      QString path;
      Language language;
      const char* button;
      QString text;
    } cases[] = {
        {QStringLiteral("/dev/zero"), Language::English, "LoadSettingsButton",
         QStringLiteral("Parameter file could not be opened!\n/dev/zero: this is a device, not a "
                        "file")},
        {QStringLiteral("/dev/zero"), Language::Turkish, "CompareSettingsButton",
         QString::fromUtf8("Parametre dosyası açılamadı!\n/dev/zero: bu bir aygıt, dosya değil")},
        {fifo, Language::English, "LoadSettingsButton",
         QStringLiteral("Parameter file could not be opened!\n") + fifo +
             QStringLiteral(": this is a pipe (FIFO), not a file")},
        {big, Language::English, "LoadSettingsButton",
         QStringLiteral("Parameter file could not be opened!\n") + big +
             QStringLiteral(": too large: a parameter file holds at most 64 KB")},
    };
    for (const auto& c : cases) {
      Page p;
      p.language.Set(c.language);
      p.prompts.fileNames.push_back(c.path);
      p.window.findChild<QPushButton*>(QString::fromLatin1(c.button))->click();
      QCOMPARE(p.link.session.Exchanges(), 0);
      QCOMPARE(p.prompts.LastText(), c.text);
    }
  }

  void loadWritesVerifiesAndShowsWhatDidNotTake() {
    Page p;
    p.prompts.fileNames.push_back(
        Write(QStringLiteral("set.kvp"), "format = 1\nspeed = 1200\nprm9 = 5\n"));
    QVERIFY(p.Press("LoadSettingsButton"));
    QCOMPARE(p.link.session.Log(), (std::vector<std::string>{"write speed 1200", "write prm9 5",
                                                             "read settings", "read parameters"}));
    QCOMPARE(
        p.Status(),
        QStringLiteral(
            "2 values written and verified. 26 values not in the file were left as they were."));
    QVERIFY(!p.files->compareWindow()->isVisible());

    p.link.session.Driver().ignores = {"prm9"};
    p.prompts.fileNames.push_back(
        Write(QStringLiteral("other.kvp"), "format = 1\nprm9 = 6\nprm10 = 7\n"));
    QVERIFY(p.Press("LoadSettingsButton"));
    QVERIFY(p.Status().startsWith(QStringLiteral("1 of 2 values did not take.")));
    SettingsCompareWindow* compare = p.files->compareWindow();
    QVERIFY(compare->isVisible());
    QCOMPARE(compare->Differences(), 1);
    QCOMPARE(compare->table()->item(0, 0)->text(), QStringLiteral("prm9"));
    QCOMPARE(compare->table()->item(0, 2)->text(), QStringLiteral("5"));
    QVERIFY(compare->table()->item(0, 0)->font().bold());
    QVERIFY(!compare->table()->item(1, 0)->font().bold());
  }

  void failureNamesTheStepAndFreesTheButtons() {
    Page p;
    p.link.session.FailExchange(2, params::Outcome::NoAnswer);
    p.prompts.fileNames.push_back(
        Write(QStringLiteral("set.kvp"), "format = 1\nspeed = 1200\nramp = 5\nprm9 = 5\n"));
    QVERIFY(p.Press("LoadSettingsButton"));
    QCOMPARE(p.link.session.Exchanges(), 2);
    QCOMPARE(p.prompts.LastText(),
             QStringLiteral("writing ramp: the driver does not answer\nThe driver may hold a "
                            "mix of old and new values; nothing was verified."));
    QCOMPARE(p.Status(), QStringLiteral("writing ramp: the driver does not answer"));
    QVERIFY(p.window.findChild<QPushButton*>(QStringLiteral("LoadSettingsButton"))->isEnabled());
  }

  void compareShowsEveryValueOfTheFileAndFollowsTheLanguage() {
    Page p;
    p.link.session.Driver().settings.speed = 900;
    p.prompts.fileNames.push_back(
        Write(QStringLiteral("set.kvp"), "format = 1\nspeed = 1200\ndirection = R\n"));
    QVERIFY(p.Press("CompareSettingsButton"));
    SettingsCompareWindow* compare = p.files->compareWindow();
    QVERIFY(compare->isVisible());
    QCOMPARE(compare->table()->rowCount(), 2);
    QCOMPARE(compare->table()->item(1, 1)->text(), QStringLiteral("R"));
    QCOMPARE(compare->summary()->text(),
             QStringLiteral("Values that differ between set.kvp and the driver: 1."));
    QCOMPARE(p.Status(), compare->summary()->text());
    p.language.Set(Language::Turkish);
    p.files->LanguageChanged();
    QCOMPARE(compare->windowTitle(), QString::fromUtf8("Ayar Karşılaştırma"));
    QCOMPARE(compare->table()->horizontalHeaderItem(2)->text(), QString::fromUtf8("Sürücü"));
    QCOMPARE(compare->summary()->text(),
             QString::fromUtf8("set.kvp ile sürücü arasında 1 fark var."));
  }

  // The window's own engine: each step ends on a later tick, from what the driver answered.
  void theEnginesLinkEndsEachStepFromTheDriversAnswer() {
    link::testing::Rig r;
    EngineSettingsExchange settingsLink(r.engine);
    params::DriverReadings readings;
    std::vector<params::Outcome> ended;
    const auto start = [&](const params::Step& step) {
      settingsLink.Start(step, readings, [&](params::Outcome o) { ended.push_back(o); });
    };
    const auto tick = [&](const std::vector<std::uint8_t>& answer) {
      r.Tick();
      if (!r.port.TakeFrames().empty()) r.port.Receive(answer);
      r.Tick();
      settingsLink.Ticked();
    };

    start({params::Step::Kind::Connect});
    QVERIFY(ended.empty());
    QVERIFY(settingsLink.Busy());
    tick(link::testing::StatusFrame());
    QCOMPARE(ended, std::vector{params::Outcome::Done});
    QCOMPARE(readings.firmware, std::optional<std::uint8_t>(12));
    QVERIFY(!settingsLink.Busy());

    start({params::Step::Kind::Write, *params::ItemByName("speed"), 1200});
    QVERIFY(settingsLink.Busy());
    for (int i = 0; i < 5 && ended.size() < 2; ++i) tick({link::AckByte});
    QCOMPARE(ended.back(), params::Outcome::Done);

    // The adapter is pulled during a read: the step ends, and says why.
    start({params::Step::Kind::ReadParameters});
    r.Tick();
    r.engine.SetLinkEnabled(false, true);
    settingsLink.Ticked();
    QCOMPARE(ended.back(), params::Outcome::PortLost);
    QVERIFY(!readings.parameters);

    // With the link off, the wait for the driver ends at once too.
    start({params::Step::Kind::Connect});
    settingsLink.Ticked();
    QCOMPARE(ended.back(), params::Outcome::PortLost);
    QCOMPARE(ended.size(), std::size_t{4});
  }

  void aBusyLinkIsNotInterrupted() {
    Page p;
    p.link.busy = true;
    p.window.findChild<QPushButton*>(QStringLiteral("SaveSettingsButton"))->click();
    QVERIFY(p.prompts.dialogs.empty());
    QCOMPARE(p.Status(),
             QStringLiteral("The link is busy: let the exchange in progress end first."));
  }
};

}  // namespace kivra::app::testing

QTEST_MAIN(kivra::app::testing::SettingsFilesTest)
#include "settings_files_test.moc"
