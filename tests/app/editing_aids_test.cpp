// What the editor and the window add for the user: colours, the check while typing with
// its marks and tooltips, the gutter, keys and Alt letters, the title, recent files,
// drops and the file named at start. With KIVRA_SCREENSHOT_DIR set, pictures are kept.

#include <QAction>
#include <QHelpEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QToolButton>
#include <QUrl>

#include "app/editor/editor_gutter.h"
#include "app/editor/find_dialog.h"
#include "app/editor/live_check.h"
#include "app/files/recent_files.h"
#include "app/shell/tool_bar.h"
#include "window_harness.h"

namespace kivra::app::testing {
namespace {

const QString kProgram = QStringLiteral(
    "       ;  a homing run\n"
    "       CURON = 800;\n"
    "LOOP:  IFINP 1 = 1 GO HOME;\n"
    "       JUMP LOOP;\n"
    "HOME:  SPEED = 1200;\n"
    "       END;\n");

// The mouse rests on `line` (1-based) of the editor.
void HoverLine(WindowHarness& h, int line) {
  ProgramEditor& editor = h.editor();
  QTextCursor cursor(editor.document()->findBlockByNumber(line - 1));
  cursor.movePosition(QTextCursor::EndOfBlock);
  const QPoint pos = editor.cursorRect(cursor).center() - QPoint(2, 0);
  QHelpEvent event(QEvent::ToolTip, pos, editor.viewport()->mapToGlobal(pos));
  QCoreApplication::sendEvent(editor.viewport(), &event);
}

QString ShownTooltip() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->inherits("QTipLabel") && w->isVisible()) return qobject_cast<QLabel*>(w)->text();
  }
  return {};
}

QMimeData* DropOf(const QString& path) {
  auto* mime = new QMimeData;
  mime->setUrls({QUrl::fromLocalFile(path)});
  return mime;
}

bool Drop(QWidget* target, const QString& path) {
  std::unique_ptr<QMimeData> mime(DropOf(path));
  const QPoint at = target->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(at), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &drop);
  QCoreApplication::processEvents();
  return true;
}

}  // namespace

class EditingAidsTest : public QObject {
  Q_OBJECT
 private slots:
  // Typing a mistake marks its line shortly afterwards, with the message as tooltip in the
  // language of the moment, and leaves everything the check button owns as it was.
  void liveCheckMarksTheLineAndTouchesNothingElse() {
    WindowHarness h;
    const QString path = h.WriteProgram(QStringLiteral("HOME.KV3"), kProgram.toUtf8());
    QSettings(h.Path(QStringLiteral("KIVRA3.conf")), QSettings::IniFormat)
        .setValue(QStringLiteral("LASTFILE"), path);
    QVERIFY(h.Start());
    QVERIFY(h.window().lastCheck().programValid);
    const QString messages = h.Messages();
    const QString used = h.page().codeUsedBox()->text();
    const QString listing = h.window().ListingText();

    h.editor().SetCaret(static_cast<int>(kProgram.indexOf(QStringLiteral("1200"))));
    h.Type(QStringLiteral("9"));  // SPEED = 91200: out of range
    const DocumentState typed = h.window().document();
    QVERIFY(h.window().liveCheck().Pending());
    QVERIFY(h.editor().gutter()->Marks().empty());
    QTRY_VERIFY(!h.window().liveCheck().Pending());

    QCOMPARE(h.editor().gutter()->Marks(), (LineMarks{{5, compiler::Severity::Error}}));
    QCOMPARE(h.editor().extraSelections().size(), 1);
    QCOMPARE(h.editor().extraSelections()[0].format.underlineStyle(),
             QTextCharFormat::WaveUnderline);
    QCOMPARE(h.editor().extraSelections()[0].cursor.selectedText(),
             QStringLiteral("HOME:  SPEED = 91200;"));
    const QString turkish = QString::fromUtf8("* Hata : 5.satır:\n  ---> Hız aralığı:1-15000");
    QCOMPARE(h.window().liveCheck().TipFor(5), turkish);
    HoverLine(h, 5);
    QVERIFY(ShownTooltip().contains(QString::fromUtf8("Hız aralığı:1-15000")));
    KeepPicture(&h.window(), "error-mark-tooltip-tr.png");
    h.window().SwitchLanguage();
    QCOMPARE(h.window().liveCheck().TipFor(5),
             QStringLiteral("* Error : Line 5.\n  ---> Speed range:1-15000"));
    HoverLine(h, 5);
    QVERIFY(ShownTooltip().contains(QStringLiteral("Speed range:1-15000")));
    KeepPicture(&h.window(), "error-mark-tooltip-en.png");
    HoverLine(h, 4);
    QTRY_COMPARE(ShownTooltip(), QString());

    QCOMPARE(h.Messages(), messages);
    QCOMPARE(h.page().codeUsedBox()->text(), used);
    QCOMPARE(h.window().ListingText(), listing);
    QVERIFY(h.window().lastCheck().programValid);
    QCOMPARE(h.window().document().programChanged, typed.programChanged);
    QCOMPARE(h.window().document().sourceEdited, typed.sourceEdited);

    // Mended, the marks go.
    h.Type(QStringLiteral("\b"));
    QTest::keyClick(&h.editor(), Qt::Key_Backspace);
    QTRY_VERIFY(h.editor().gutter()->Marks().empty());
    QVERIFY(h.editor().extraSelections().isEmpty());
  }

  // The gutter shows each line's address and size from the last successful check, and
  // forgets them when another text is loaded.
  void gutterShowsTheCodeOfEveryLine() {
    WindowHarness h;
    QVERIFY(h.Start());
    h.editor().SetProgramText(kProgram);
    h.window().CheckProgram();
    const auto& code = h.editor().gutter()->LineCode();
    QCOMPARE(code.size(), std::size_t{6});
    QCOMPARE(EditorGutter::CodeText(code[0]), QString());                  // a comment line
    QCOMPARE(EditorGutter::CodeText(code[1]), QStringLiteral("0000  3"));  // CURON
    QCOMPARE(EditorGutter::CodeText(code[2]), QStringLiteral("0003  6"));  // IFINP with its jump
    QCOMPARE(EditorGutter::CodeText(code[5]),
             QStringLiteral("0015  1"));  // END owns the end marker
    KeepPicture(&h.window(), "coloured-program-gutter.png");

    h.editor().SetProgramText(QStringLiteral("FOO;\nEND;\n"));
    QVERIFY(h.editor().gutter()->LineCode().empty());
    h.window().liveCheck().RunNow();
    QVERIFY(h.editor().gutter()->LineCode().empty());  // a failed check has no addresses
  }

  void keysRunTheirCommands() {
    WindowHarness h;
    QVERIFY(h.Start());
    h.editor().SetProgramText(kProgram);
    h.window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&h.window()));
    h.editor().setFocus();
    QTest::keyClick(&h.window(), Qt::Key_F7);
    QCOMPARE(h.Messages(), ExpectedMessages(kProgram, Language::Turkish));

    h.prompts.lineNumbers = {4};
    QTest::keyClick(&h.editor(), Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(h.prompts.lineQuestions.back(), QString::fromUtf8("Satır numarası (1 - 7):"));
    QCOMPARE(h.editor().textCursor().blockNumber(), 3);

    QTest::keyClick(&h.editor(), Qt::Key_F3);  // nothing to find yet: the dialog opens
    QVERIFY(h.window().findDialog()->isVisible());
    h.window().findDialog()->SetFindText(QStringLiteral("LOOP"));
    h.editor().SetCaret(0);
    QTest::keyClick(&h.editor(), Qt::Key_F3);
    QCOMPARE(h.editor().textCursor().selectionStart(),
             static_cast<int>(kProgram.indexOf(QStringLiteral("LOOP"))));
    QTest::keyClick(&h.editor(), Qt::Key_F3);
    QCOMPARE(h.editor().textCursor().selectionStart(),
             static_cast<int>(kProgram.lastIndexOf(QStringLiteral("LOOP"))));

    h.editor().SetCaret(0);
    h.Type(QStringLiteral("X"));
    QTest::keyClick(&h.editor(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(h.EditorText(), kProgram);
    QTest::keyClick(&h.editor(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(h.EditorText(), QStringLiteral("X") + kProgram);
  }

  // Every item of every menu has an Alt letter of its own in its menu, in both languages,
  // and the tool buttons' tooltips name their keys after their hint.
  void menusHaveAltLettersAndButtonsShowTheirKeys() {
    WindowHarness h;
    QVERIFY(h.Start());
    for (const Language language : {Language::Turkish, Language::English}) {
      if (IsEnglish(language)) h.window().SwitchLanguage();
      std::vector<QMenu*> menus;
      for (QAction* top : h.window().menuBar()->actions()) menus.push_back(top->menu());
      menus.push_back(h.window().menu().recent);
      std::vector<QList<QAction*>> groups = {h.window().menuBar()->actions()};
      for (QMenu* menu : menus) groups.push_back(menu->actions());
      for (const QList<QAction*>& group : groups) {
        QSet<QChar> letters;
        for (QAction* action : group) {
          if (action->isSeparator() || action->parent() == h.window().menu().recent) continue;
          const qsizetype amp = action->text().indexOf(QLatin1Char('&'));
          QVERIFY2(amp >= 0 && amp + 1 < action->text().size(), qPrintable(action->text()));
          const QChar letter = action->text().at(amp + 1).toLower();
          QVERIFY2(!letters.contains(letter), qPrintable(action->text()));
          letters.insert(letter);
        }
      }
    }
    QCOMPARE(h.Caption("Farklsakla1"),
             QStringLiteral("Save as ..."));  // the letter's marker is no part of it
    QCOMPARE(h.window().menu().saveAs->text(), QStringLiteral("Save &as ..."));
    const MainToolBar* bar = h.window().toolBar();
    QCOMPARE(bar->check()->toolTip(), QStringLiteral("Check Program"));
    QCOMPARE(MainToolBar::ShownTip(bar->check()), QStringLiteral("Check Program  (F7)"));
    QCOMPARE(MainToolBar::ShownTip(bar->saveAs()), QStringLiteral("Save as  (Ctrl+Shift+S)"));
    QCOMPARE(MainToolBar::ShownTip(bar->language()), QString::fromUtf8("Türkçe"));
  }

  void titleNamesTheProgramAndItsChange() {
    WindowHarness h;
    QVERIFY(h.Start());
    QCOMPARE(h.window().windowTitle(), QStringLiteral("Kivra-PS"));
    const QString path = h.WriteProgram(QStringLiteral("HOME.KV3"), kProgram.toUtf8());
    h.prompts.fileNames = {path};
    h.window().menu().open->trigger();
    QCOMPARE(h.window().windowTitle(), QStringLiteral("Kivra-PS - HOME.KV3"));
    h.Type(QStringLiteral(" "));
    QCOMPARE(h.window().windowTitle(), QStringLiteral("Kivra-PS - HOME.KV3*"));
    KeepPicture(&h.window(), "title-with-marker.png");
    h.window().menu().save->trigger();
    QCOMPARE(h.window().windowTitle(), QStringLiteral("Kivra-PS - HOME.KV3"));
  }

  // The last eight programs loaded or saved, newest first, in a setting of their own; an
  // entry that can no longer be read is reported and leaves the list.
  void recentFilesKeepTheLastEight() {
    WindowHarness h;
    QVERIFY(h.Start());
    QStringList paths;
    for (int i = 1; i <= 10; ++i) {
      paths.prepend(h.WriteProgram(QStringLiteral("P%1.KV3").arg(i), "       END;\r\r\n"));
      h.prompts.fileNames = {paths.front()};
      h.window().menu().open->trigger();
    }
    QCOMPARE(h.window().recentFiles(), paths.mid(0, 8));
    QCOMPARE(h.Stored(QStringLiteral("RECENTFILES")), paths.mid(0, 8).join(QLatin1Char('\n')));
    QCOMPARE(h.Stored(QStringLiteral("LASTFILE")), paths.front());
    QTRY_COMPARE(h.window().menu().recent->actions().size(), 8);

    h.window().menu().recent->actions().at(3)->trigger();
    QCOMPARE(h.FileNameBar(), paths[3]);
    QTRY_COMPARE(h.window().recentFiles().front(), paths[3]);

    QFile::remove(paths[5]);
    QTRY_COMPARE(h.window().menu().recent->actions().size(), 8);
    h.window().menu().recent->actions().at(5)->trigger();
    QCOMPARE(h.prompts.LastText(), QString::fromUtf8("Program dosyası açılamadı!\n") + paths[5] +
                                       QString::fromUtf8(": böyle bir dosya yok"));
    QCOMPARE(h.FileNameBar(), paths[3]);
    QVERIFY(!h.window().recentFiles().contains(paths[5]));
  }

  // A program file dropped on the window or the editor opens with the usual save
  // question; anything else is not taken.
  void droppedProgramFileOpens() {
    WindowHarness h;
    QVERIFY(h.Start());
    const QString path = h.WriteProgram(QStringLiteral("DROP.KV3"), kProgram.toUtf8());
    const QString other = h.WriteProgram(QStringLiteral("notes.txt"), "hello");
    h.Type(QStringLiteral("typed"));
    QVERIFY(!Drop(&h.window(), other));
    QVERIFY(!Drop(h.editor().viewport(), other));
    QCOMPARE(h.EditorText(), QStringLiteral("typed"));

    h.prompts.answers = {Answer::Cancel};
    QVERIFY(Drop(h.editor().viewport(), path));
    QCOMPARE(h.prompts.LastText(), QString::fromUtf8("Program Değişti!\n Kayıt Edilsin mi?"));
    QCOMPARE(h.EditorText(), QStringLiteral("typed"));  // cancelled: nothing changes

    h.prompts.answers = {Answer::No};
    QVERIFY(Drop(&h.window(), path));
    QTRY_COMPARE(h.EditorText(), kProgram);
    QCOMPARE(h.FileNameBar(), path);
    QCOMPARE(h.Messages(), ExpectedMessages(kProgram, Language::Turkish));
  }

  void fileNamedAtStartOpens() {
    WindowHarness h;
    h.openAtStart = h.WriteProgram(QStringLiteral("START.KV3"), kProgram.toUtf8());
    QVERIFY(h.Start());
    QCOMPARE(h.EditorText(), kProgram);
    QCOMPARE(h.Stored(QStringLiteral("LASTFILE")), h.openAtStart);
    QCOMPARE(h.Messages(), ExpectedMessages(kProgram, Language::Turkish));

    WindowHarness missing;
    missing.openAtStart = missing.Path(QStringLiteral("GONE.KV3"));
    QVERIFY(missing.Start());
    QCOMPARE(missing.prompts.LastText(), QString::fromUtf8("Program dosyası açılamadı!\n") +
                                             missing.openAtStart +
                                             QString::fromUtf8(": böyle bir dosya yok"));
    QCOMPARE(missing.FileNameBar(), QString());
  }
};

}  // namespace kivra::app::testing

QTEST_MAIN(kivra::app::testing::EditingAidsTest)
#include "editing_aids_test.moc"
