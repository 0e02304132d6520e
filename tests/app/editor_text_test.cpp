// The word F1 looks up, what the jump to a line selects, the colours of a program line
// and the list of recent files.

#include "app/editor/editor_text.h"

#include <QTest>

#include "app/editor/program_highlighter.h"
#include "app/files/recent_files.h"

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
    QTest::newRow("no blanks around =")
        << QStringLiteral("SPEED=1200;") << 3 << 0 << QStringLiteral("SPEED=1200");
    QTest::newRow("tab before") << QStringLiteral("\tMOVE;") << 3 << 0 << QStringLiteral("MOVE");
    QTest::newRow("line break ends the word")
        << QStringLiteral("LOOP:\nJUMP LOOP;") << 5 << 0 << QStringLiteral("LOOP:");
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
    const std::optional<TextRange> range =
        MessageJumpSelection(QStringLiteral("AB\nCDE\n\nX\n"), line);
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

  // Each coloured part as "kind:text": K keyword, E END, N number, L label, R the label a
  // jump names, C comment.
  void colours_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("parts");
    QTest::newRow("assignment") << QStringLiteral("       SPEED = 1200;  ; note")
                                << QStringLiteral("K:SPEED N:1200 C:;  ; note");
    QTest::newRow("any case, no blanks")
        << QStringLiteral("speed=-5;") << QStringLiteral("K:speed N:-5 C:;");
    QTest::newRow("label and GO") << QStringLiteral("LOOP:  IFINP 1 = 1 GO HOME;")
                                  << QStringLiteral("L:LOOP: K:IFINP N:1 N:1 K:GO R:HOME C:;");
    QTest::newRow("jump") << QStringLiteral("       JUMP LOOP;")
                          << QStringLiteral("K:JUMP R:LOOP C:;");
    QTest::newRow("return to a label")
        << QStringLiteral("       RET SAFE;") << QStringLiteral("K:RET R:SAFE C:;");
    QTest::newRow("interrupt") << QStringLiteral("ESTOP: INT 6,0;")
                               << QStringLiteral("L:ESTOP: K:INT N:6 N:0 C:;");
    QTest::newRow("end") << QStringLiteral("       END;") << QStringLiteral("E:END C:;");
    QTest::newRow("comment line") << QStringLiteral("; SPEED = 5")
                                  << QStringLiteral("C:; SPEED = 5");
    QTest::newRow("colon in the comment")
        << QStringLiteral("SPEED = 1 ; a: b") << QStringLiteral("K:SPEED N:1 C:; a: b");
    QTest::newRow("label line without a statement end")
        << QStringLiteral("LOOP: CURON = 5") << QStringLiteral("L:LOOP: K:CURON N:5");
    QTest::newRow("unknown word") << QStringLiteral("FOO = 12A;") << QStringLiteral("C:;");
    QTest::newRow("Turkish letter") << QString::fromUtf8("İNITV = 5;") << QStringLiteral("N:5 C:;");
    QTest::newRow("keyword as operand")
        << QStringLiteral("JUMP END;") << QStringLiteral("K:JUMP R:END C:;");
  }
  void colours() {
    QFETCH(QString, line);
    QFETCH(QString, parts);
    static constexpr char kKinds[] = "KENLRC";
    QStringList shown;
    for (const TokenSpan& span : ColourLine(line)) {
      shown << QString(QLatin1Char(kKinds[static_cast<int>(span.token)])) + QLatin1Char(':') +
                   line.mid(span.start, span.length);
    }
    QCOMPARE(shown.join(QLatin1Char(' ')), parts);
  }

  void megabyteLineIsColouredOnlyAtItsStart() {
    const QString line =
        QStringLiteral("SPEED = 1 ") + QString(1 << 20, QLatin1Char('7')) + QLatin1Char(';');
    for (const TokenSpan& span : ColourLine(line))
      QVERIFY(span.start + span.length <= kMaxColouredColumns);
  }

  void recentFiles() {
    QStringList recent;
    for (int i = 1; i <= 10; ++i)
      recent = AddRecentFile(recent, QStringLiteral("/p/%1.KV3").arg(i));
    QCOMPARE(recent.size(), kRecentFileCount);
    QCOMPARE(recent.front(), QStringLiteral("/p/10.KV3"));
    QCOMPARE(recent.back(), QStringLiteral("/p/3.KV3"));
    recent = AddRecentFile(recent, QStringLiteral("/p/5.KV3"));  // moves to the front, no twin
    QCOMPARE(recent.front(), QStringLiteral("/p/5.KV3"));
    QCOMPARE(recent.count(QStringLiteral("/p/5.KV3")), 1);
    QCOMPARE(AddRecentFile(recent, QStringLiteral("  ")), recent);
    QCOMPARE(ParseRecentFiles(StoreRecentFiles(recent)), recent);
    QCOMPARE(ParseRecentFiles(QStringLiteral("/a\n\n/b\n/a\n")),
             (QStringList{QStringLiteral("/a"), QStringLiteral("/b")}));
  }
};

}  // namespace kivra::app

QTEST_GUILESS_MAIN(kivra::app::EditorTextTest)
#include "editor_text_test.moc"
