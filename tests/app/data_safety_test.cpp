// The ways the window could lose a program or mix two up, each shut and tried through the
// window: the debug switch, Escape on a Yes/No question, Save without a file name, and a
// download of another program than the one on screen.

#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "app/driver/download_window.h"
#include "app/driver/driver_side.h"
#include "app/files/program_file.h"
#include "app/shell/tool_bar.h"
#include "app/ui/indicator_shape.h"
#include "app/ui/ui_look.h"
#include "window_harness.h"

namespace kivra::app::testing {
namespace {

const QByteArray kFileA = "       SPEED = 1200;\r\r\n       END;\r\r\n";

QString StartWithFile(WindowHarness& h, const QString& name, const QByteArray& bytes) {
  const QString path = h.WriteProgram(name, bytes);
  QSettings(h.Path(QStringLiteral("KIVRA3.conf")), QSettings::IniFormat)
      .setValue(QStringLiteral("LASTFILE"), path);
  return h.Start() ? path : QString();
}

void PressDebug(WindowHarness& h) {
  h.page().debugButton()->click();
}
bool DebugOn(WindowHarness& h) {
  return h.page().debugShape()->Colour() == look::kLime;
}

// Runs `answer` on the next message box as soon as it is up.
void WhenBoxShows(std::function<void(QMessageBox*)> answer) {
  auto* poll = new QTimer;
  poll->setInterval(10);
  QObject::connect(poll, &QTimer::timeout, [poll, answer] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    answer(box);
  });
  poll->start();
}

// The frames of a whole download, every one acknowledged at once.
std::vector<std::vector<std::uint8_t>> RunDownload(WindowHarness& h) {
  std::vector<std::vector<std::uint8_t>> frames;
  link::LinkEngine& engine = h.window().driverSide().engine();
  for (int tick = 0; tick < 500 && engine.Progress().download == link::DownloadResult::Running;
       ++tick) {
    h.port.sent.clear();
    engine.Tick();
    if (h.port.sent.empty()) continue;
    frames.push_back(h.port.sent);
    h.port.Receive({0x06});
  }
  return frames;
}

}  // namespace

class DataSafetyTest : public QObject {
  Q_OBJECT
 private slots:
  // After a save, New program and DEBUG ON used to load the saved file over the new
  // program. The switch now saves with its own result: a program without a file is
  // asked for one, and only the file just written comes back into the editor.
  void debugSwitchNeverLoadsAnotherFilesText() {
    WindowHarness h;
    const QString a = StartWithFile(h, QStringLiteral("A.KV3"), kFileA);
    h.Type(QStringLiteral(" "));
    h.window().menu().save->trigger();
    QVERIFY(h.window().document().saveSucceeded);
    h.prompts.answers = {Answer::Yes};
    h.window().menu().newProgram->trigger();
    const QString header = h.EditorText();

    h.prompts.fileNames = {QString()};  // asked where to save: cancelled
    PressDebug(h);
    QCOMPARE(h.prompts.dialogs.size(), std::size_t{1});
    QCOMPARE(h.prompts.dialogs[0].fileName, QStringLiteral("Program1.KV3"));
    QCOMPARE(h.EditorText(), header);
    QVERIFY(!DebugOn(h));

    h.editor().SetCaret(kNewProgramCaret);
    h.Type(QStringLiteral("OUT 1 = 1;"));
    const QString b = h.Path(QStringLiteral("B.KV3"));
    h.prompts.fileNames = {b};
    PressDebug(h);
    QVERIFY(DebugOn(h));
    QCOMPARE(h.FileNameBar(), b);
    QVERIFY(h.EditorText().contains(QStringLiteral("OUT 1 = 1;")));
    QCOMPARE(WindowHarness::ReadBytes(b), EncodeProgramText(h.EditorText()));
    QCOMPARE(WindowHarness::ReadBytes(a), " " + kFileA);  // A keeps what was saved into it
  }

  // Typed into while debugging, unchanged afterwards: nothing to save, nothing reloaded.
  void debugSwitchWithNothingToSaveKeepsTheEditor() {
    WindowHarness h;
    StartWithFile(h, QStringLiteral("A.KV3"), kFileA);
    PressDebug(h);
    QVERIFY(DebugOn(h));
    h.Type(QStringLiteral("X"));  // read-only: only the source-edited flag
    PressDebug(h);
    const QString text = h.EditorText();
    QFile::remove(h.Path(QStringLiteral("A.KV3")));
    PressDebug(h);
    QVERIFY(DebugOn(h));
    QCOMPARE(h.EditorText(), text);
    QVERIFY(h.prompts.dialogs.empty());
  }

  // The close question used to take Escape for No and end without saving, and offered no
  // way to stay: now it asks Yes/No/Cancel, and Escape is Cancel, which keeps the window and
  // its text.
  void escapeOnTheCloseQuestionKeepsTheWindow() {
    WidgetPrompts real;
    WindowHarness h;
    h.realPrompts = &real;
    const QString a = StartWithFile(h, QStringLiteral("A.KV3"), kFileA);
    h.Type(QStringLiteral("X"));
    const QString typed = h.EditorText();
    QStringList buttons;
    WhenBoxShows([&](QMessageBox* box) {
      for (QAbstractButton* button : box->buttons()) buttons << button->text();
      KeepPicture(box, "turkish-message-box.png");
      QTest::keyClick(box, Qt::Key_Escape);
    });
    QVERIFY(!h.window().close());
    QVERIFY(h.window().isVisible());
    QCOMPARE(h.EditorText(), typed);
    QCOMPARE(WindowHarness::ReadBytes(a), kFileA);
    // Qt's own buttons speak the interface language.
    buttons.sort();
    QCOMPARE(buttons, (QStringList{QStringLiteral("&Evet"), QString::fromUtf8("&Hayır"),
                                   QString::fromUtf8("İptal")}));

    // The title bar's close button on the box is Cancel too.
    WhenBoxShows([](QMessageBox* box) { box->close(); });
    QVERIFY(!h.window().close());
    QVERIFY(h.window().isVisible());

    WhenBoxShows([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
    QVERIFY(h.window().close());
    QVERIFY(!h.window().isVisible());
    QVERIFY(WindowHarness::ReadBytes(a).startsWith("X"));
  }

  // The prompts themselves: a Yes/No question waits for an answer, a question with Cancel
  // takes Escape for Cancel.
  void escapeOnEachKindOfQuestion_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("answer");
    QTest::newRow("Yes/No") << int(Buttons::YesNo) << int(Answer::No);
    QTest::newRow("Yes/No/Cancel") << int(Buttons::YesNoCancel) << int(Answer::Cancel);
    QTest::newRow("OK") << int(Buttons::Ok) << int(Answer::Ok);
  }
  void escapeOnEachKindOfQuestion() {
    QFETCH(int, buttons);
    QFETCH(int, answer);
    WidgetPrompts real;
    bool waited = false;
    WhenBoxShows([&](QMessageBox* box) {
      QTest::keyClick(box, Qt::Key_Escape);
      QApplication::processEvents();
      waited = box->isVisible();
      if (waited) box->button(QMessageBox::No)->click();
    });
    const Answer got =
        real.Show(nullptr, MessageKind::Confirmation, QStringLiteral("?"), Buttons(buttons));
    QCOMPARE(waited, Buttons(buttons) == Buttons::YesNo);
    QCOMPARE(int(got), answer);
  }

  // Save used to report "could not be saved" with a blank path and offer no way out.
  void saveWithoutAFileNameAsksForOne_data() {
    QTest::addColumn<bool>("chosen");
    QTest::newRow("name chosen") << true;
    QTest::newRow("dialog cancelled") << false;
  }
  void saveWithoutAFileNameAsksForOne() {
    QFETCH(bool, chosen);
    WindowHarness h;
    QVERIFY(h.Start());
    h.Type(QStringLiteral("END;"));
    const QString path = h.Path(QStringLiteral("TYPED.KV3"));
    h.prompts.fileNames = {chosen ? path : QString()};
    h.window().menu().save->trigger();
    QCOMPARE(h.prompts.dialogs.size(), std::size_t{1});
    QCOMPARE(h.prompts.dialogs[0].fileName, QStringLiteral("*.kv3"));
    QVERIFY(h.prompts.shown.empty());
    QCOMPARE(QFile::exists(path), chosen);
    QCOMPARE(h.window().document().programChanged, !chosen);
    QCOMPARE(h.window().document().saveSucceeded, chosen);
    QCOMPARE(h.FileNameBar(), chosen ? path : QString());
    if (chosen) QCOMPARE(WindowHarness::ReadBytes(path), QByteArray("END;"));
  }

  // The download used to send the last checked program whatever the editor held.
  void downloadSendsExactlyTheTextOnScreen_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("sent");
    QTest::addColumn<bool>("rechecked");
    QTest::newRow("new program with errors") << QStringLiteral("new, error") << false << true;
    QTest::newRow("new program") << QStringLiteral("new") << true << true;
    QTest::newRow("edited after the check") << QStringLiteral("edit") << true << true;
    QTest::newRow("unchanged since the check") << QString() << true << false;
  }
  void downloadSendsExactlyTheTextOnScreen() {
    QFETCH(QString, change);
    QFETCH(bool, sent);
    QFETCH(bool, rechecked);
    WindowHarness h;
    StartWithFile(h, QStringLiteral("A.KV3"), kFileA);
    h.window().driverSide().timer()->stop();
    QVERIFY(h.window().lastCheck().programValid);
    if (change.startsWith(QStringLiteral("new"))) {
      h.prompts.answers = {Answer::Yes};
      h.window().menu().newProgram->trigger();
    }
    if (change.contains(QStringLiteral("error"))) h.Type(QStringLiteral("FOO;"));
    if (change == QStringLiteral("edit")) {
      h.editor().SetCaret(16);
      h.Type(QStringLiteral("3"));  // SPEED = 12300
    }
    // A recheck would write its messages in the language of the moment.
    h.window().SwitchLanguage();
    h.window().toolBar()->download()->click();

    const QString onScreen = h.EditorText();
    QCOMPARE(h.Messages(), ExpectedMessages(rechecked ? onScreen : DecodeProgramText(kFileA),
                                            rechecked ? Language::English : Language::Turkish));
    if (!sent) {
      QCOMPARE(h.prompts.LastText(), QStringLiteral("No valid program!"));
      QVERIFY(h.window().driverSide().engine().Progress().download !=
              link::DownloadResult::Running);
      return;
    }
    const auto expected = compiler::Compile(compiler::SplitLines(onScreen.toStdString()),
                                            compiler::Language::English, {});
    const auto frames = RunDownload(h);
    QCOMPARE(h.window().driverSide().engine().Progress().download, link::DownloadResult::Succeeded);
    const std::vector<std::uint8_t>& data = frames.at(1);  // the first data frame
    QVERIFY(std::equal(data.begin() + 4, data.end() - 1, expected.code.bytes.begin()));
    const std::vector<std::uint8_t>& name = frames.back();
    const QString shownName = QFileInfo(h.FileNameBar()).fileName();
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(name.data()) + 2,
                        static_cast<int>(name.size()) - 3),
             shownName.toLatin1());
    QCOMPARE(h.window().toolBar()->statusText()->text(), QStringLiteral("Program downloaded"));
  }

  // "Program downloaded" used to stay after New, Open or an edit, naming a program no longer
  // on screen: it now goes with the program it describes, and stays while that is on screen.
  void downloadedGoesWithTheProgramOnScreen_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("stays");
    QTest::newRow("typed into") << QStringLiteral("edit") << false;
    QTest::newRow("new program") << QStringLiteral("new") << false;
    QTest::newRow("another program opened") << QStringLiteral("open") << false;
    QTest::newRow("typed, then undone") << QStringLiteral("undo") << false;
    QTest::newRow("language switched") << QStringLiteral("language") << true;
    QTest::newRow("checked again") << QStringLiteral("check") << true;
  }
  void downloadedGoesWithTheProgramOnScreen() {
    QFETCH(QString, change);
    QFETCH(bool, stays);
    WindowHarness h({{QStringLiteral("COMPORT"), QStringLiteral("1")}});  // no first start's offer
    StartWithFile(h, QStringLiteral("A.KV3"), kFileA);
    const QString b =
        h.WriteProgram(QStringLiteral("B.KV3"), "       SPEED = 300;\r\r\n       END;\r\r\n");
    h.window().driverSide().timer()->stop();
    h.window().toolBar()->download()->click();
    RunDownload(h);
    QLabel* status = h.window().toolBar()->statusText();
    QCOMPARE(status->text(), QString::fromUtf8("Program sürücüye yazıldı"));
    if (change == QStringLiteral("edit")) {
      h.editor().SetCaret(16);
      h.Type(QStringLiteral("3"));
    } else if (change == QStringLiteral("new")) {
      h.prompts.answers = {Answer::Yes};
      h.window().menu().newProgram->trigger();
    } else if (change == QStringLiteral("open")) {
      h.prompts.fileNames = {b};
      h.window().menu().open->trigger();
      QCOMPARE(h.FileNameBar(), b);
    } else if (change == QStringLiteral("undo")) {
      h.Type(QStringLiteral("X"));
      h.window().menu().undo->trigger();
      QCOMPARE(h.EditorText(), DecodeProgramText(kFileA));
    } else if (change == QStringLiteral("language")) {
      h.window().SwitchLanguage();
    } else {
      h.window().CheckProgram();
    }
    QCOMPARE(status->text(), !stays ? QString()
                             : change == QStringLiteral("language")
                                 ? QStringLiteral("Program downloaded")
                                 : QString::fromUtf8("Program sürücüye yazıldı"));
  }

  // A program edited while it goes out is not the one on screen when the driver has it.
  void anEditDuringTheDownloadIsNotCalledDownloaded() {
    WindowHarness h({{QStringLiteral("COMPORT"), QStringLiteral("1")}});
    StartWithFile(h, QStringLiteral("A.KV3"), kFileA);
    h.window().driverSide().timer()->stop();
    h.window().toolBar()->download()->click();
    link::LinkEngine& engine = h.window().driverSide().engine();
    engine.Tick();  // the begin frame goes out
    h.editor().SetCaret(16);
    h.Type(QStringLiteral("3"));
    h.port.Receive({0x06});
    RunDownload(h);
    QCOMPARE(engine.Progress().download, link::DownloadResult::Succeeded);
    QCOMPARE(h.window().toolBar()->statusText()->text(), QString());
  }
};

}  // namespace kivra::app::testing

QTEST_MAIN(kivra::app::testing::DataSafetyTest)
#include "data_safety_test.moc"
