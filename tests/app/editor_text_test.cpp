// The word F1 looks up, the line a message names, and what the jump to it selects.

#include <QTest>

#include "app/editor_text.h"

namespace kivra::app {

class EditorTextTest : public QObject {
  Q_OBJECT
 private slots:
  void helpWord_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("word");
    const QString speed = QStringLiteral("       SPEED = 1200;");
    QTest::newRow("caret right after the keyword") << speed << 12 << 0 << QStringLiteral("SPEED");
    QTest::newRow("caret inside the keyword") << speed << 10 << 0 << QStringLiteral("SPEED");
    QTest::newRow("caret before the keyword: the blank counts") << speed << 7 << 0 << QString();
    QTest::newRow("keyword selected") << speed << 7 << 5 << QStringLiteral("SPEED");
    QTest::newRow("one character selected") << speed << 9 << 1 << QStringLiteral("SPEED");
    QTest::newRow("at the very start") << QStringLiteral("END;") << 0 << 0 << QStringLiteral("END");
    QTest::newRow("no blanks around =") << QStringLiteral("SPEED=1200;") << 3 << 0 << QStringLiteral("SPEED=1200");
    QTest::newRow("tab before") << QStringLiteral("\tMOVE;") << 3 << 0 << QStringLiteral("MOVE");
    QTest::newRow("line break ends the word") << QStringLiteral("LOOP:\nJUMP LOOP;") << 5 << 0
                                              << QStringLiteral("LOOP:");
    QTest::newRow("blank line") << QStringLiteral("A;\n   \nB;") << 4 << 0 << QString();
    QTest::newRow("empty text") << QString() << 0 << 0 << QString();
    QTest::newRow("past the end") << QStringLiteral("END") << 3 << 0 << QStringLiteral("END");
    const QString longWord(60, QLatin1Char('X'));
    QTest::newRow("twenty steps each way") << longWord << 30 << 0 << QString(40, QLatin1Char('X'));
  }
  void helpWord() {
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, word);
    QCOMPARE(HelpWordAt(text, start, length), word);
  }

  void jumpSelection_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    // Lines: "AB", "CDE", "", "X"; the text ends with a line break.
    QTest::newRow("first line") << 1 << true << 0 << 1;
    QTest::newRow("without its last character") << 2 << true << 3 << 2;
    QTest::newRow("empty line") << 3 << true << 7 << 0;
    QTest::newRow("one character") << 4 << true << 8 << 0;
    QTest::newRow("past the end") << 5 << false << 0 << 0;
    QTest::newRow("line 0") << 0 << false << 0 << 0;
    QTest::newRow("negative") << -3 << false << 0 << 0;
  }
  void jumpSelection() {
    QFETCH(int, line);
    QFETCH(bool, found);
    QFETCH(int, start);
    QFETCH(int, length);
    const std::optional<TextRange> range = MessageJumpSelection(QStringLiteral("AB\nCDE\n\nX\n"), line);
    QCOMPARE(range.has_value(), found);
    if (found) {
      QCOMPARE(range->start, start);
      QCOMPARE(range->length, length);
    }
  }

  // The debug display's selection: the whole line, no line break, the last line too.
  void debugLineRange_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    // Lines: "AB", "CDE", "", "XY" without a final line break.
    QTest::newRow("first line") << 1 << true << 0 << 2;
    QTest::newRow("second line") << 2 << true << 3 << 3;
    QTest::newRow("empty line") << 3 << true << 7 << 0;
    QTest::newRow("last line, no break") << 4 << true << 8 << 2;
    QTest::newRow("past the end") << 5 << false << 0 << 0;
  }
  void debugLineRange() {
    QFETCH(int, line);
    QFETCH(bool, found);
    QFETCH(int, start);
    QFETCH(int, length);
    const std::optional<TextRange> range = EditorLineRange(QStringLiteral("AB\nCDE\n\nXY"), line);
    QCOMPARE(range.has_value(), found);
    if (found) {
      QCOMPARE(range->start, start);
      QCOMPARE(range->length, length);
    }
  }

  void lineCount() {
    QCOMPARE(EditorLineCount(QString()), 0);
    QCOMPARE(EditorLineCount(QStringLiteral("A")), 1);
    QCOMPARE(EditorLineCount(QStringLiteral("A\n")), 1);
    QCOMPARE(EditorLineCount(QStringLiteral("A\n\n")), 2);
  }
};

}  // namespace kivra::app

QTEST_GUILESS_MAIN(kivra::app::EditorTextTest)
#include "editor_text_test.moc"
