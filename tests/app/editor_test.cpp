// The editor and the message list in the main window: change flags, line and column,
// find, undo, F1 help and the jump from a message to its program line.

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QToolButton>

#include "app/find_dialog.h"
#include "app/help_window.h"
#include "app/tool_bar.h"
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
    QTest::sendKeyEvent(QTest::Click, &h.editor(), Qt::Key_unknown, QString::fromUtf8("\u4E2D"), Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Click, &h.editor(), Qt::Key_unknown, QString::fromUtf8("ğ"), Qt::NoModifier);
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

  void messageClickSelectsTheLineItNames_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("messages");
    QTest::addColumn<int>("clicked");
    QTest::addColumn<int>("line");
    QTest::newRow("English error") << true << QStringLiteral("banner\n* Error : Line 12.\n  ---> x\n") << 1 << 12;
    QTest::newRow("English warning") << true << QStringLiteral("* Warning: Line 3.\n") << 0 << 3;
    QTest::newRow("first line") << true << QStringLiteral("* Error : Line 1.\n") << 0 << 1;
    QTest::newRow("Turkish form A") << false << QString::fromUtf8("* Hata : 12.satır:\n") << 0 << 12;
    QTest::newRow("Turkish form B") << false << QString::fromUtf8("* Hata : 12 .satır:\n") << 0 << 12;
    QTest::newRow("Turkish warning") << false << QString::fromUtf8("* Uyarı: 5 .satır:\n") << 0 << 5;
  }
  void messageClickSelectsTheLineItNames() {
    QFETCH(bool, english);
    QFETCH(QString, messages);
    QFETCH(int, clicked);
    QFETCH(int, line);
    WindowHarness h({{QStringLiteral("LANGUAGE"), english ? QStringLiteral("1") : QStringLiteral("0")}});
    QVERIFY(h.Start());
    h.editor().SetProgramText(TwelveLines());
    h.page().messageList()->setPlainText(messages);
    ClickMessageLine(h, clicked);
    const QString lineText = QStringLiteral("       DELAY = %1;").arg(line);
    QCOMPARE(h.editor().textCursor().selectedText(), lineText.chopped(1));
    QCOMPARE(h.editor().textCursor().block().blockNumber(), line - 1);
    QVERIFY(h.prompts.shown.empty());
  }

  // The whole way: the check's own messages lead back to the lines they name.
  void clickOnACheckMessageSelectsTheFaultyLine_data() {
    QTest::addColumn<bool>("english");
    QTest::newRow("Turkish") << false;
    QTest::newRow("English") << true;
  }
  void clickOnACheckMessageSelectsTheFaultyLine() {
    QFETCH(bool, english);
    WindowHarness h({{QStringLiteral("LANGUAGE"), english ? QStringLiteral("1") : QStringLiteral("0")}});
    QVERIFY(h.Start());
    h.editor().SetProgramText(QStringLiteral("       SPEED = 1200;\n       FOO;\n       SPEED=99999;\n       END;\n"));
    h.window().toolBar()->check()->click();
    const QStringList lines = h.Messages().split(QLatin1Char('\n'));
    const QString header = english ? QStringLiteral("* Error : Line 3.") : QString::fromUtf8("* Hata : 3.satır:");
    const int at = static_cast<int>(lines.indexOf(header));
    QVERIFY2(at >= 0, qPrintable(h.Messages()));
    ClickMessageLine(h, at);
    QCOMPARE(h.editor().textCursor().selectedText(), QStringLiteral("       SPEED=99999"));
  }

  void messageClicksThatNameNoLineSelectNothing_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("message");
    QTest::newRow("detail line") << true << QStringLiteral("  ---> Number expected!");
    QTest::newRow("line 0") << true << QStringLiteral("* Error : Line 0.");
    QTest::newRow("past the end") << true << QStringLiteral("* Error : Line 13.");
    QTest::newRow("Turkish message, English interface") << true << QString::fromUtf8("* Hata : 2.satır:");
    QTest::newRow("English message, Turkish interface") << false << QStringLiteral("* Error : Line 2.");
  }
  void messageClicksThatNameNoLineSelectNothing() {
    QFETCH(bool, english);
    QFETCH(QString, message);
    WindowHarness h({{QStringLiteral("LANGUAGE"), english ? QStringLiteral("1") : QStringLiteral("0")}});
    QVERIFY(h.Start());
    h.editor().SetProgramText(TwelveLines());
    h.editor().SetCaret(20);
    h.page().messageList()->setPlainText(message);
    ClickMessageLine(h, 0);
    QVERIFY(!h.editor().textCursor().hasSelection());
    QCOMPARE(h.editor().textCursor().position(), 20);
    QVERIFY(h.prompts.shown.empty());
  }

  void messageClickOnAnUnreadableNumberSaysSo() {
    WindowHarness h;
    QVERIFY(h.Start());
    h.editor().SetProgramText(TwelveLines());
    h.page().messageList()->setPlainText(QStringLiteral("* Hata : ?"));
    ClickMessageLine(h, 0);
    QCOMPARE(h.prompts.LastText(), QString::fromUtf8("Satır numarası bulunamadı!"));
    QVERIFY(!h.editor().textCursor().hasSelection());
  }

  void messageClickOnAnEmptyLinePutsTheCaretThere() {
    WindowHarness h;
    QVERIFY(h.Start());
    h.editor().SetProgramText(QStringLiteral("A;\n\nEND;\n"));
    h.page().messageList()->setPlainText(QStringLiteral("* Hata : 2.satır:"));
    ClickMessageLine(h, 0);
    QVERIFY(!h.editor().textCursor().hasSelection());
    QCOMPARE(h.editor().textCursor().position(), 3);
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
    QTest::newRow("Turkish") << false << QStringLiteral("       SPEED = 1200;") << 12 << QStringLiteral("tr/SPEED.html");
    QTest::newRow("English") << true << QStringLiteral("       SPEED = 1200;") << 12 << QStringLiteral("en/SPEED.html");
    QTest::newRow("lower case, no blanks") << true << QStringLiteral("speed=1200;") << 2
                                           << QStringLiteral("en/SPEED.html");
    QTest::newRow("no word: contents") << false << QStringLiteral("       ") << 3 << QStringLiteral("tr/index.html");
    QTest::newRow("no such topic: contents") << true << QStringLiteral("FOO;") << 2
                                             << QStringLiteral("en/index.html");
    QTest::newRow("never outside the help") << true << QStringLiteral("../../SPEED;") << 4
                                            << QStringLiteral("en/index.html");
  }
  void f1OpensTheTopicOfTheWordAtTheCaret() {
    QFETCH(bool, english);
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(QString, page);
    WindowHarness h({{QStringLiteral("LANGUAGE"), english ? QStringLiteral("1") : QStringLiteral("0")}});
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
    QVERIFY(h.window().helpWindow()->CurrentSource().toString().endsWith(QStringLiteral("tr/index.html")));
    h.window().SwitchLanguage();
    h.window().menu().helpContents->trigger();
    QVERIFY(h.window().helpWindow()->CurrentSource().toString().endsWith(QStringLiteral("en/index.html")));
  }

  void missingHelpIsReportedInTheViewer() {
    HelpWindow help(nullptr, QStringLiteral("/no/such/help"));
    help.ShowContents(true);
    QVERIFY(help.findChild<QTextBrowser*>()->toPlainText().contains(QStringLiteral("Help file not found:")));
  }
};

}  // namespace kivra::app::testing

QTEST_MAIN(kivra::app::testing::EditorTest)
#include "editor_test.moc"
