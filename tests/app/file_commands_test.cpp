// New program, open, save and save as through the main window, with their questions, and
// the exit and close questions that may save first.

#include <sys/stat.h>

#include <QAction>
#include <QPlainTextEdit>
#include <QToolButton>

#include "app/files/program_file.h"
#include "app/program/program_files.h"
#include "app/shell/tool_bar.h"
#include "window_harness.h"

namespace kivra::app::testing {

namespace {

const QString kChanged = QString::fromUtf8("Program Değişti!\n Kayıt Edilsin mi?");

// A started window holding a loaded program.
QString StartWithProgram(WindowHarness& h, const QByteArray& bytes = "       END;\r\r\n") {
  const QString path = h.WriteProgram(QStringLiteral("LOADED.KV3"), bytes);
  QSettings(h.Path(QStringLiteral("KIVRA3.conf")), QSettings::IniFormat)
      .setValue(QStringLiteral("LASTFILE"), path);
  return h.Start() ? path : QString();
}

}  // namespace

class FileCommandsTest : public QObject {
  Q_OBJECT
 private slots:
  void newProgramFillsTheHeaderAndCanNotBeRepeatedUnsaved() {
    WindowHarness h;
    QVERIFY(h.Start());
    h.page().SetCodeCounters(40, 2008);
    h.prompts.answers = {Answer::Yes};
    h.window().toolBar()->newProgram()->click();
    QCOMPARE(h.prompts.shown.size(), std::size_t{1});
    QCOMPARE(h.prompts.shown[0].text, QString::fromUtf8("Yeni Program Girişi \n Başlatılsın mı?"));
    QCOMPARE(h.EditorText(), NewProgramHeader(Language::Turkish, FixedTime()));
    QCOMPARE(h.editor().textCursor().position(), kNewProgramCaret);
    QCOMPARE(h.FileNameBar(), QStringLiteral("Program1.KV3"));
    QCOMPARE(h.page().codeUsedBox()->text(), QStringLiteral("0"));
    QCOMPARE(h.page().codeRemainingBox()->text(), QStringLiteral("2048"));
    QVERIFY(h.window().document().newProgramUnsaved);
    QVERIFY(h.window().document().sourceEdited);
    QVERIFY(!h.window().document().programChanged);

    h.window().menu().newProgram->trigger();
    QCOMPARE(h.prompts.shown.size(), std::size_t{1});  // not even asked
    QCOMPARE(h.FileNameBar(), QStringLiteral("Program1.KV3"));
  }

  void newProgramInEnglish() {
    WindowHarness h({{QStringLiteral("LANGUAGE"), QStringLiteral("1")}});
    QVERIFY(h.Start());
    h.prompts.answers = {Answer::Yes};
    h.window().files().NewProgram();
    QCOMPARE(h.prompts.shown[0].text, QStringLiteral("New Program  \n Continue?"));
    const QStringList lines = h.EditorText().split(QLatin1Char('\n'));
    QCOMPARE(lines[0], QStringLiteral("       ;###########  KIVRA3  Program File    ########"));
    QVERIFY(lines[1].startsWith(QStringLiteral("       ;Date  :")));
  }

  void savingANewProgramAsksForANameAndThenForOverwriting() {
    WindowHarness h;
    QVERIFY(h.Start());
    h.prompts.answers = {Answer::Yes};
    h.window().files().NewProgram();
    h.Type(QStringLiteral("X"));
    const QString existing = h.WriteProgram(QStringLiteral("THERE.KV3"), "OLD");

    // Overwrite refused: nothing written, still a new unsaved program.
    h.prompts.fileNames = {existing};
    h.prompts.answers = {Answer::No};
    h.window().toolBar()->save()->click();
    QCOMPARE(h.prompts.dialogs.back().fileName, QStringLiteral("Program1.KV3"));
    QCOMPARE(h.prompts.dialogs.back().filters,
             QStringList{QStringLiteral("Kivra3 program files (*.KV3)")});
    QCOMPARE(h.prompts.LastText(), QLatin1Char('"') + existing +
                                       QString::fromUtf8("\" dosyası var! \nÜzerine Yazılsın mı?"));
    QCOMPARE(WindowHarness::ReadBytes(existing), QByteArray("OLD"));
    QVERIFY(!h.window().document().saveSucceeded);
    QVERIFY(h.window().document().newProgramUnsaved);
    QVERIFY(h.window().document().programChanged);

    // A new name: written without a question.
    const QString fresh = h.Path(QStringLiteral("FRESH.KV3"));
    h.prompts.fileNames = {fresh};
    const std::size_t asked = h.prompts.shown.size();
    h.window().files().Save();
    QCOMPARE(h.prompts.shown.size(), asked);
    QCOMPARE(WindowHarness::ReadBytes(fresh), EncodeProgramText(h.EditorText()));
    QCOMPARE(h.FileNameBar(), fresh);
    QCOMPARE(h.Stored(QStringLiteral("LASTFILE")), fresh);
    QVERIFY(h.window().document().saveSucceeded);
    QVERIFY(!h.window().document().newProgramUnsaved);
    QVERIFY(!h.window().document().programChanged);
  }

  void saveWithoutChangesDoesNothing() {
    WindowHarness h;
    const QString path = StartWithProgram(h);
    QVERIFY(!path.isEmpty());
    QFile::remove(path);
    h.window().files().Save();
    QVERIFY(!QFile::exists(path));
    QVERIFY(h.prompts.dialogs.empty());
  }

  void saveAsThenSaveBothWriteTheNewPath() {
    WindowHarness h;
    const QString path = StartWithProgram(h);
    QVERIFY(!path.isEmpty());
    h.Type(QStringLiteral("A"));
    const QString other = h.Path(QStringLiteral("OTHER.KV3"));
    h.prompts.fileNames = {other};
    h.window().toolBar()->saveAs()->click();
    QCOMPARE(h.prompts.dialogs.back().fileName, path);
    QCOMPARE(WindowHarness::ReadBytes(other), EncodeProgramText(h.EditorText()));
    QCOMPARE(h.FileNameBar(), other);
    QCOMPARE(h.Stored(QStringLiteral("LASTFILE")), other);
    QVERIFY(h.window().document().programChanged);  // save as leaves the flags alone

    h.Type(QStringLiteral("B"));
    h.window().files().Save();
    QCOMPARE(h.prompts.dialogs.size(), std::size_t{1});
    QCOMPARE(WindowHarness::ReadBytes(other), EncodeProgramText(h.EditorText()));
    QCOMPARE(WindowHarness::ReadBytes(path), QByteArray("       END;\r\r\n"));
    QVERIFY(!h.window().document().programChanged);
  }

  void newProgramSavedWithSaveAsStillAsksOnSave() {
    WindowHarness h({{QStringLiteral("LANGUAGE"), QStringLiteral("1")}});
    QVERIFY(h.Start());
    h.prompts.answers = {Answer::Yes};
    h.window().files().NewProgram();
    h.Type(QStringLiteral("X"));
    const QString path = h.Path(QStringLiteral("NEW.KV3"));
    h.prompts.fileNames = {path, path};
    h.window().files().SaveAs();
    QVERIFY(QFile::exists(path));
    QVERIFY(h.window().document().newProgramUnsaved);

    h.prompts.answers = {Answer::Yes};
    h.window().files().Save();
    QCOMPARE(h.prompts.dialogs.size(), std::size_t{2});
    QCOMPARE(h.prompts.dialogs.back().fileName, path);
    QCOMPARE(h.prompts.LastText(),
             QLatin1Char('"') + path + QStringLiteral("\" file exist! \nOverwrite?"));
    QVERIFY(h.window().document().saveSucceeded);
  }

  void saveAsOntoAnExistingFileAsksWithItsOwnWording() {
    WindowHarness h({{QStringLiteral("LANGUAGE"), QStringLiteral("1")}});
    QVERIFY(!StartWithProgram(h).isEmpty());
    const QString existing = h.WriteProgram(QStringLiteral("THERE.KV3"), "OLD");
    h.prompts.fileNames = {existing};
    h.prompts.answers = {Answer::No};
    h.window().files().SaveAs();
    QCOMPARE(h.prompts.LastText(),
             QLatin1Char('"') + existing + QStringLiteral("\" file already exist! \nOverwrite?"));
    QCOMPARE(WindowHarness::ReadBytes(existing), QByteArray("OLD"));
  }

  void fileFormatRoundTrip() {
    WindowHarness h;
    QVERIFY(h.Start());
    const QString path = h.Path(QStringLiteral("AB.KV3"));
    h.Type(QStringLiteral("A\nB"));
    h.prompts.fileNames = {path};
    h.window().files().SaveAs();
    QCOMPARE(WindowHarness::ReadBytes(path), QByteArray("A\r\r\nB"));

    h.editor().SetProgramText(QString());
    h.prompts.answers = {Answer::No};  // save as left the program marked as changed
    h.prompts.fileNames = {path};
    h.window().files().Open();
    QCOMPARE(h.EditorText(), QStringLiteral("A\nB"));
    QCOMPARE(h.editor().document()->blockCount(), 2);
  }

  void openLoadsOnlyProgramFilesAndChecksThem() {
    WindowHarness h;
    QVERIFY(h.Start());
    const QString text = h.WriteProgram(QStringLiteral("prog.txt"), "END;\r\n");
    h.prompts.fileNames = {text};
    h.window().toolBar()->open()->click();
    QCOMPARE(h.EditorText(), QString());
    QCOMPARE(h.FileNameBar(), QString());
    QVERIFY(h.prompts.shown.empty());

    const QString program = h.WriteProgram(QStringLiteral("crlf.kv3"), "       END;\r\n");
    h.prompts.fileNames = {program};
    h.window().menu().open->trigger();
    QCOMPARE(h.prompts.dialogs.back().fileName, QStringLiteral("*.kv3"));
    QCOMPARE(h.EditorText(), QStringLiteral("       END;\n"));
    QCOMPARE(h.FileNameBar(), program);
    QCOMPARE(h.Stored(QStringLiteral("LASTFILE")), program);
    QCOMPARE(h.Messages(), ExpectedMessages(h.EditorText(), Language::Turkish));
  }

  void openLoadsLargeProgramsWhole() {
    WindowHarness h;
    QVERIFY(h.Start());
    QByteArray bytes;
    for (int line = 0; bytes.size() < 20000; ++line)
      bytes += "       DELAY = " + QByteArray::number(line) + ";\r\r\n";
    const QString path = h.WriteProgram(QStringLiteral("BIG.KV3"), bytes);
    h.prompts.fileNames = {path};
    h.window().files().Open();
    QCOMPARE(EncodeProgramText(h.EditorText()), bytes);
  }

  // What `kivra check` refuses, the window refuses with the same words: chosen in the open
  // dialog, or named from outside it (recent files, a drop, the command line). Nothing is
  // read from a device or a FIFO, nor from a file far larger than a program.
  void filesThatAreNoProgramsAreRefusedInKivrasWords() {
    WindowHarness h;
    QVERIFY(!StartWithProgram(h).isEmpty());
    const QString before = h.EditorText();
    const QString zero = h.Path(QStringLiteral("ZERO.KV3"));
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), zero));
    const QString fifo = h.Path(QStringLiteral("PIPE.KV3"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString big = h.WriteProgram(QStringLiteral("BIG.KV3"), "       END;\r\r\n");
    QVERIFY(QFile::resize(big, 64 * 1024 * 1024));
    const struct {
      QString path;
      QString why;
    } cases[] = {
        {zero, QString::fromUtf8(": bu bir aygıt, dosya değil")},
        {fifo, QString::fromUtf8(": bu bir boru (FIFO), dosya değil")},
        {big, QString::fromUtf8(": çok büyük: bir program dosyası en çok 1 MB olabilir")},
    };
    for (const auto& c : cases) {
      const QString expected = QString::fromUtf8("Program dosyası açılamadı!\n") + c.path + c.why;
      h.prompts.shown.clear();
      h.prompts.fileNames = {c.path};
      h.window().files().Open();
      QCOMPARE(h.prompts.LastText(), expected);
      h.prompts.shown.clear();
      QVERIFY(!h.window().files().OpenNamed(c.path));
      QCOMPARE(h.prompts.LastText(), expected);
      QCOMPARE(h.prompts.shown.size(), std::size_t{1});
      QCOMPARE(h.EditorText(), before);
    }

    // The settings file too: a start on a FIFO there goes on and says why.
    WindowHarness fifoSettings;
    const QString settings = fifoSettings.Path(QStringLiteral("KIVRA3.conf"));
    QCOMPARE(::mkfifo(QFile::encodeName(settings).constData(), 0600), 0);
    QVERIFY(fifoSettings.Start());
    QCOMPARE(
        fifoSettings.prompts.shown.front().text,
        QString::fromUtf8("Ayar dosyası okunamadı: ayarlar bu çalışma boyunca saklanmayacak.\n") +
            settings + QString::fromUtf8(": bu bir boru (FIFO), dosya değil"));

    WindowHarness english({{QStringLiteral("LANGUAGE"), QStringLiteral("1")}});
    english.openAtStart = QStringLiteral("/dev/zero");
    QVERIFY(english.Start());
    QCOMPARE(english.prompts.LastText(),
             QStringLiteral(
                 "Program file could not be opened!\n/dev/zero: this is a device, not a file"));
  }

  // Open used to throw unsaved edits away without a word.
  void openAsksBeforeReplacingAChangedProgram() {
    WindowHarness h;
    QVERIFY(!StartWithProgram(h).isEmpty());
    h.Type(QStringLiteral("EDIT"));
    const QString before = h.EditorText();
    h.prompts.answers = {Answer::Cancel};
    h.window().files().Open();
    QCOMPARE(h.prompts.shown.back().text, kChanged);
    QCOMPARE(h.prompts.shown.back().buttons, Buttons::YesNoCancel);
    QVERIFY(h.prompts.dialogs.empty());
    QCOMPARE(h.EditorText(), before);

    const QString other = h.WriteProgram(QStringLiteral("OTHER.KV3"), "       END;\r\r\n");
    h.prompts.answers = {Answer::No};
    h.prompts.fileNames = {other};
    h.window().files().Open();
    QCOMPARE(h.FileNameBar(), other);
  }

  void failedSaveSaysSoAndKeepsTheProgramChanged_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("message");
    QTest::newRow("Turkish") << false << QStringLiteral("Program kaydedilemedi!\n");
    QTest::newRow("English") << true << QStringLiteral("Program could not be saved!\n");
  }
  void failedSaveSaysSoAndKeepsTheProgramChanged() {
    QFETCH(bool, english);
    QFETCH(QString, message);
    const QString path = QStringLiteral("/no/such/folder/P.KV3");
    WindowHarness h(
        {{QStringLiteral("LASTFILE"), path}, {QStringLiteral("LANGUAGE"), english ? "1" : "0"}});
    QVERIFY(h.Start());
    h.Type(QStringLiteral("END;"));
    h.window().files().Save();
    QCOMPARE(h.prompts.LastText(), message + path);
    QVERIFY(h.window().document().programChanged);
    QVERIFY(!h.window().document().saveSucceeded);
    QCOMPARE(h.EditorText(), QStringLiteral("END;"));
  }

  void exitAnsweredCancelKeepsRunning() {
    WindowHarness h;
    QVERIFY(!StartWithProgram(h).isEmpty());
    h.Type(QStringLiteral("X"));
    h.prompts.answers = {Answer::Cancel};
    h.window().menu().exit->trigger();
    QCOMPARE(h.prompts.LastText(), kChanged);
    QVERIFY(h.window().isVisible());
  }

  // Exit used to quit after Yes even when the save dialog was cancelled.
  void exitDoesNotQuitWhenTheSaveDidNotHappen() {
    WindowHarness h({{QStringLiteral("LANGUAGE"), QStringLiteral("1")}});
    QVERIFY(h.Start());
    h.prompts.answers = {Answer::Yes, Answer::Yes};
    h.window().files().NewProgram();
    h.Type(QStringLiteral("X"));
    const QString text = h.EditorText();
    h.prompts.fileNames = {QString()};
    h.window().Exit();
    QCOMPARE(h.prompts.shown.back().text, QStringLiteral("Program Changed!\n Save file?"));
    QVERIFY(h.window().isVisible());
    QCOMPARE(h.EditorText(), text);

    h.prompts.answers = {Answer::Yes};
    h.prompts.fileNames = {h.Path(QStringLiteral("SAVED.KV3"))};
    h.window().Exit();
    QVERIFY(QFile::exists(h.Path(QStringLiteral("SAVED.KV3"))));
    QVERIFY(!h.window().isVisible());
  }

  void closingAnsweredNoEndsWithoutWriting() {
    WindowHarness h;
    const QString path = StartWithProgram(h);
    QVERIFY(!path.isEmpty());
    h.Type(QStringLiteral("X"));
    h.prompts.answers = {Answer::No};
    QVERIFY(h.window().close());
    QCOMPARE(h.prompts.shown.back().buttons, Buttons::YesNoCancel);
    QCOMPARE(WindowHarness::ReadBytes(path), QByteArray("       END;\r\r\n"));
  }

  // Closing the window could not be cancelled: every way of closing now asks Yes/No/Cancel,
  // and Cancel keeps the window and the text, in either language.
  void closingAnsweredCancelKeepsTheWindow_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("question");
    QTest::newRow("Turkish") << QStringLiteral("0")
                             << QString::fromUtf8("Program Değişti!\n Kayıt Edilsin mi?");
    QTest::newRow("English") << QStringLiteral("1") << QStringLiteral("Program changed!\n Save?");
  }
  void closingAnsweredCancelKeepsTheWindow() {
    QFETCH(QString, language);
    QFETCH(QString, question);
    WindowHarness h({{QStringLiteral("LANGUAGE"), language}});
    const QString path = StartWithProgram(h);
    QVERIFY(!path.isEmpty());
    h.Type(QStringLiteral("X"));
    const QString typed = h.EditorText();
    h.prompts.answers = {Answer::Cancel};
    QVERIFY(!h.window().close());
    QCOMPARE(h.prompts.shown.back().text, question);
    QCOMPARE(h.prompts.shown.back().buttons, Buttons::YesNoCancel);
    QVERIFY(h.window().isVisible());
    QCOMPARE(h.EditorText(), typed);
    QVERIFY(h.window().document().programChanged);
    QCOMPARE(WindowHarness::ReadBytes(path), QByteArray("       END;\r\r\n"));
  }

  // Closing the window after Yes keeps it open when the save failed.
  void closingDoesNotLoseAProgramThatCouldNotBeSaved() {
    WindowHarness h({{QStringLiteral("LASTFILE"), QStringLiteral("/no/such/folder/P.KV3")},
                     {QStringLiteral("LANGUAGE"), QStringLiteral("1")}});
    QVERIFY(h.Start());
    h.Type(QStringLiteral("END;"));
    h.prompts.answers = {Answer::Yes};
    QVERIFY(!h.window().close());
    QCOMPARE(h.prompts.shown.front().text, QStringLiteral("Program changed!\n Save?"));
    QVERIFY(h.prompts.LastText().startsWith(QStringLiteral("Program could not be saved!")));
    QVERIFY(h.window().isVisible());
  }

  // Yes to "save?" before a new program used to go on even when nothing was saved.
  void newProgramKeepsTheOldTextWhenItsSaveFails() {
    WindowHarness h({{QStringLiteral("LASTFILE"), QStringLiteral("/no/such/folder/P.KV3")}});
    QVERIFY(h.Start());
    h.Type(QStringLiteral("END;"));
    h.prompts.answers = {Answer::Yes, Answer::Yes};
    h.window().files().NewProgram();
    QCOMPARE(h.EditorText(), QStringLiteral("END;"));
    QCOMPARE(h.FileNameBar(), QStringLiteral("/no/such/folder/P.KV3"));
    QVERIFY(!h.window().document().newProgramUnsaved);
  }
};

}  // namespace kivra::app::testing

QTEST_MAIN(kivra::app::testing::FileCommandsTest)
#include "file_commands_test.moc"
