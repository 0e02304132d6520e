// The editor and the message list in the main window: change flags, line and column,
// find, undo, F1 help and the jump from a message to its program line.

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QToolButton>

#include "app/editor/find_dialog.h"
#include "app/shell/help_window.h"
#include "app/shell/tool_bar.h"
#include "window_harness.h"

namespace kivra::app::testing {
namespace {

QString TwelveLines() {
  QString text;
  for (int n = 1; n <= 12; ++n) text += QStringLiteral("       DELAY = %1;\n").arg(n);
  return text;
}

// Clicks message line `line` (from 0) of the message list.
void ClickMessageLine(WindowHarness& h, int line) {
  QPlainTextEdit* list = h.page().messageList();
  QTextCursor cursor(list->document()->findBlockByNumber(line));
  cursor.movePosition(QTextCursor::Right);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->cursorRect(cursor).center());
}

}  // namespace

class EditorTest : public QObject {
  Q_OBJECT
 private slots:
  void keysThatChangeTheTextMarkTheProgramChanged_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("changes");
    QTest::newRow("letter") << int(Qt::Key_A) << true;
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << true;
    QTest::newRow("Enter") << int(Qt::Key_Return) << true;
    QTest::newRow("Tab") << int(Qt::Key_Tab) << true;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << true;  // it removes text like Backspace does
    QTest::newRow("arrow") << int(Qt::Key_Left) << false;
    QTest::newRow("Home") << int(Qt::Key_Home) << false;
  }
  void keysThatChangeTheTextMarkTheProgramChanged() {
    QFETCH(int, key);
    QFETCH(bool, changes);
    WindowHarness h;
    QVERIFY(h.Start());
    h.editor().SetProgramText(QStringLiteral("AB\nCD"));
    h.editor().SetCaret(1);
    QVERIFY(!h.window().document().programChanged);
    QTest::keyClick(&h.editor(), Qt::Key(key));
    QCOMPARE(h.window().document().programChanged, changes);
    QCOMPARE(h.window().document().sourceEdited, changes);
  }

  void typingIntoAReadOnlyEditorOnlyMarksTheSourceEdited() {
    WindowHarness h;
    QVERIFY(h.Start());
    h.editor().SetProgramText(QStringLiteral("END;"));
    h.editor().setReadOnly(true);
    h.Type(QStringLiteral("X"));
    QCOMPARE(h.EditorText(), QStringLiteral("END;"));
    QVERIFY(!h.window().document().programChanged);
    QVERIFY(h.window().document().sourceEdited);
  }

  void charactersOutsideTheCodePageBecomeQuestionMarksAsTheyComeIn() {
    WindowHarness h;
    QVERIFY(h.Start());
    QGuiApplication::clipboard()->setText(QString::fromUtf8("A\u2192B ÇŞ"));
    h.editor().paste();
    QTest::sendKeyEvent(QTest::Click, &h.editor(), Qt::Key_unknown, QString::fromUtf8("\u4E2D"),
                        Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Click, &h.editor(), Qt::Key_unknown, QString::fromUtf8("ğ"),
                        Qt::NoModifier);
    QCOMPARE(h.EditorText(), QString::fromUtf8("A?B ÇŞ?ğ"));
    QVERIFY(h.window().document().programChanged);
  }

  void undoButtonUndoesTheLastEdit() {
    WindowHarness h;
    QVERIFY(h.Start());
    h.editor().SetProgramText(QStringLiteral("END;"));
    h.editor().SetCaret(4);
    h.Type(QStringLiteral("X"));
    QCOMPARE(h.EditorText(), QStringLiteral("END;X"));
    h.window().toolBar()->undo()->click();
    QCOMPARE(h.EditorText(), QStringLiteral("END;"));
    h.window().toolBar()->undo()->click();  // a loaded text is not undone
    QCOMPARE(h.EditorText(), QStringLiteral("END;"));
  }

  void lineAndColumnFollowTheCaret_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("column");
    QTest::newRow("very start") << 0 << QStringLiteral("1") << QStringLiteral("1");
    QTest::newRow("end of the first line") << 2 << QStringLiteral("1") << QStringLiteral("3");
    QTest::newRow("after the first line break") << 3 << QStringLiteral("2") << QStringLiteral("1");
    QTest::newRow("a tab is one column") << 4 << QStringLiteral("2") << QStringLiteral("2");
    QTest::newRow("last line") << 7 << QStringLiteral("3") << QStringLiteral("1");
  }
  void lineAndColumnFollowTheCaret() {
    QFETCH(int, position);
    QFETCH(QString, line);
    QFETCH(QString, column);
    WindowHarness h;
    QVERIFY(h.Start());
    h.editor().SetProgramText(QStringLiteral("AB\n\tCD\nE"));
    h.editor().SetCaret(7);
    h.editor().SetCaret(position);
    QCOMPARE(h.page().lineBox()->text(), line);
    QCOMPARE(h.page().columnBox()->text(), column);
  }

  // The check's own messages lead back to the lines they name, in both languages and
  // both Turkish header forms.
  void messageClickSelectsTheLineItNames_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("header");
    QTest::addColumn<int>("line");
    const QString noEnd = TwelveLines();  // END; missing: line 12 reports it
    QTest::newRow("English error") << true << noEnd << QStringLiteral("* Error : Line 12.") << 12;
    QTest::newRow("Turkish form A")
        << false << noEnd << QString::fromUtf8("* Hata : 12.satır:") << 12;
    const QString formB = QStringLiteral("       DELAY = 1;\n       MICROS 4;\n       END;\n");
    QTest::newRow("Turkish form B")
        << false << formB << QString::fromUtf8("* Hata : 2 .satır:") << 2;
    const QString twice =
        QStringLiteral("L:     IFINP 2 = 1 GO L;\n       IFINP 2 = 0 GO L;\n       END;\n");
    QTest::newRow("English warning") << true << twice << QStringLiteral("* Warning: Line 2.") << 2;
    QTest::newRow("Turkish warning")
        << false << twice << QString::fromUtf8("* Uyarı: 2 .satır:") << 2;
    QTest::newRow("first line") << true << QStringLiteral("       SPEED = 0;\n       END;\n")
                                << QStringLiteral("* Error : Line 1.") << 1;
    // The Turkish entry for a second END names the first one.
    QTest::newRow("Turkish second END") << false << QStringLiteral("       END;\n       END;\n")
                                        << QString::fromUtf8("* Hata : 1.satır:") << 1;
  }
  void messageClickSelectsTheLineItNames() {
    QFETCH(bool, english);
    QFETCH(QString, program);
    QFETCH(QString, header);
    QFETCH(int, line);
    WindowHarness h(
        {{QStringLiteral("LANGUAGE"), english ? QStringLiteral("1") : QStringLiteral("0")}});
    QVERIFY(h.Start());
    h.editor().SetProgramText(program);
    h.window().toolBar()->check()->click();
    const int row = static_cast<int>(h.Messages().split(QLatin1Char('\n')).indexOf(header));
    QVERIFY2(row >= 0, qPrintable(h.Messages()));
    ClickMessageLine(h, row);
    const QString lineText = program.split(QLatin1Char('\n')).at(line - 1);
    QCOMPARE(h.editor().textCursor().selectedText(), lineText.chopped(1));
    QCOMPARE(h.editor().textCursor().block().blockNumber(), line - 1);
    QVERIFY(h.prompts.shown.empty());
  }

  void messageClicksThatNameNoLineSelectNothing_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QString>("change");  // what happens between the check and the click
    const QString bad = QStringLiteral("       SPEED = 0;\n       END;\n");
    QTest::newRow("detail line") << true << bad << QStringLiteral("  ---> Speed range:1-15000")
                                 << QString();
    QTest::newRow("totals") << true << bad << QStringLiteral("Total error : 1,  Total warning : 0")
                            << QString();
    QTest::newRow("banner") << false << bad << QStringLiteral("**** 01.02.2026   13:14:15 **** ")
                            << QString();
    // English names the line after the program for a routine without RET.
    QTest::newRow("past the end") << true << QStringLiteral("INT 1,1;\nSTOP;\nEND;\n")
                                  << QStringLiteral("* Error : Line 4.") << QString();
    QTest::newRow("Turkish list, English interface")
        << false << bad << QString::fromUtf8("* Hata : 1.satır:") << QStringLiteral("switch");
    QTest::newRow("English list, Turkish interface")
        << true << bad << QStringLiteral("* Error : Line 1.") << QStringLiteral("switch");
    QTest::newRow("typed into the list")
        << true << bad << QStringLiteral("* Error : Line 1.") << QStringLiteral("type");
  }
  void messageClicksThatNameNoLineSelectNothing() {
    QFETCH(bool, english);
    QFETCH(QString, program);
    QFETCH(QString, clicked);
    QFETCH(QString, change);
    WindowHarness h(
        {{QStringLiteral("LANGUAGE"), english ? QStringLiteral("1") : QStringLiteral("0")}});
    QVERIFY(h.Start());
    h.editor().SetProgramText(program);
    h.window().toolBar()->check()->click();
    h.editor().SetCaret(5);
    if (change == QStringLiteral("switch")) h.window().SwitchLanguage();
    if (change == QStringLiteral("type"))
      h.page().messageList()->appendPlainText(QStringLiteral("note"));
    const int row = static_cast<int>(h.Messages().split(QLatin1Char('\n')).indexOf(clicked));
    QVERIFY2(row >= 0, qPrintable(h.Messages()));
    ClickMessageLine(h, row);
    QVERIFY(!h.editor().textCursor().hasSelection());
    QCOMPARE(h.editor().textCursor().position(), 5);
    QVERIFY(h.prompts.shown.empty());
  }

  void messageClickOnAnEmptyLinePutsTheCaretThere() {
    WindowHarness h;
    QVERIFY(h.Start());
    h.editor().SetProgramText(
        QStringLiteral("CURON = 5;\n\n"));  // END; missing: the empty line 2 says so
    h.window().toolBar()->check()->click();
    ClickMessageLine(
        h,
        static_cast<int>(
            h.Messages().split(QLatin1Char('\n')).indexOf(QString::fromUtf8("* Hata : 2.satır:"))));
    QVERIFY(!h.editor().textCursor().hasSelection());
    QCOMPARE(h.editor().textCursor().position(), 11);
  }

  void findOffersTheSelectionAndSearchesFromTheTop() {
    WindowHarness h;
    QVERIFY(h.Start());
    h.editor().SetProgramText(QStringLiteral("SPEED=1;\nMOVE;\nSPEED=2;\n"));
    h.editor().SelectRange(15, 5);  // the second SPEED
    h.window().toolBar()->find()->click();
    FindDialog* find = h.window().findDialog();
    QVERIFY(find->isVisible());
    QCOMPARE(find->FindText(), QStringLiteral("SPEED"));
    QVERIFY(!h.editor().textCursor().hasSelection());
    QCOMPARE(h.editor().textCursor().position(), 20);
    QCOMPARE(h.EditorText(), QStringLiteral("SPEED=1;\nMOVE;\nSPEED=2;\n"));

    find->findNextButton()->click();
    QCOMPARE(h.editor().textCursor().selectionStart(), 0);
    QCOMPARE(h.editor().textCursor().selectedText(), QStringLiteral("SPEED"));
    find->findNextButton()->click();
    QCOMPARE(h.editor().textCursor().selectionStart(), 15);
    find->findNextButton()->click();
    QCOMPARE(h.prompts.shown.back().text, QStringLiteral("Arama sonu!"));
    QCOMPARE(h.prompts.shown.back().buttons, Buttons::Yes);
    QCOMPARE(h.editor().textCursor().selectionStart(), 15);
  }

  void findIsCaseSensitiveAndCtrlFOpensIt() {
    WindowHarness h({{QStringLiteral("LANGUAGE"), QStringLiteral("1")}});
    QVERIFY(h.Start());
    h.editor().SetProgramText(QStringLiteral("speed=1;\nSPEED=2;\n"));
    QTest::keyClick(&h.editor(), Qt::Key_F, Qt::ControlModifier);
    FindDialog* find = h.window().findDialog();
    QVERIFY(find->isVisible());
    find->SetFindText(QStringLiteral("SPEED"));
    find->findNextButton()->click();
    QCOMPARE(h.editor().textCursor().selectionStart(), 9);
    find->SetFindText(QStringLiteral("ACCEL"));
    find->findNextButton()->click();
    QCOMPARE(h.prompts.LastText(), QStringLiteral("End of search!"));
  }

  void f1OpensTheTopicOfTheWordAtTheCaret_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("page");
    QTest::newRow("Turkish") << false << QStringLiteral("       SPEED = 1200;") << 12
                             << QStringLiteral("tr/SPEED.html");
    QTest::newRow("English") << true << QStringLiteral("       SPEED = 1200;") << 12
                             << QStringLiteral("en/SPEED.html");
    QTest::newRow("lower case, no blanks")
        << true << QStringLiteral("speed=1200;") << 2 << QStringLiteral("en/SPEED.html");
    QTest::newRow("no word: contents")
        << false << QStringLiteral("       ") << 3 << QStringLiteral("tr/index.html");
    QTest::newRow("no such topic: contents")
        << true << QStringLiteral("FOO;") << 2 << QStringLiteral("en/index.html");
    QTest::newRow("never outside the help")
        << true << QStringLiteral("../../SPEED;") << 4 << QStringLiteral("en/index.html");
  }
  void f1OpensTheTopicOfTheWordAtTheCaret() {
    QFETCH(bool, english);
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(QString, page);
    WindowHarness h(
        {{QStringLiteral("LANGUAGE"), english ? QStringLiteral("1") : QStringLiteral("0")}});
    QVERIFY(h.Start());
    h.editor().SetProgramText(text);
    h.editor().SetCaret(caret);
    QTest::keyClick(&h.editor(), Qt::Key_F1);
    QVERIFY(h.window().helpWindow()->isVisible());
    QVERIFY2(h.window().helpWindow()->CurrentSource().toString().endsWith(page),
             qPrintable(h.window().helpWindow()->CurrentSource().toString()));
    QCOMPARE(h.EditorText(), text);
  }

  void helpMenuOpensTheContentsInTheCurrentLanguage() {
    WindowHarness h;
    QVERIFY(h.Start());
    h.window().menu().helpContents->trigger();
    QVERIFY(h.window().helpWindow()->CurrentSource().toString().endsWith(
        QStringLiteral("tr/index.html")));
    h.window().SwitchLanguage();
    h.window().menu().helpContents->trigger();
    QVERIFY(h.window().helpWindow()->CurrentSource().toString().endsWith(
        QStringLiteral("en/index.html")));
  }

  void missingHelpIsReportedInTheViewer() {
    HelpWindow help(nullptr, QStringLiteral("/no/such/help"));
    help.ShowContents(Language::English);
    QVERIFY(help.findChild<QTextBrowser*>()->toPlainText().contains(
        QStringLiteral("Help file not found:")));
  }
};

}  // namespace kivra::app::testing

QTEST_MAIN(kivra::app::testing::EditorTest)
#include "editor_test.moc"
