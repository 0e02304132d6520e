// Start-up, the settings it reads and writes, both languages and the auxiliary windows.

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "app/panels/direct_control_page.h"
#include "app/shell/about_dialog.h"
#include "app/shell/command_code_window.h"
#include "app/shell/help_window.h"
#include "app/shell/tool_bar.h"
#include "app/ui/texts.h"
#include "common/version.h"
#include "window_harness.h"

Q_DECLARE_METATYPE(kivra::app::SummaryColour)

namespace kivra::app::testing {
namespace {

// tests/app/golden/captions.tsv: one line per caption or hint the language switch sets,
// object name, "caption" or "hint", Turkish, English, tab-separated, menus with the '&'
// before their Alt letter.
const QString kGoldenCaptions = QStringLiteral(KIVRA_TEST_GOLDEN_DIR "/captions.tsv");

struct GoldenCaption {
  QString name;
  texts::TextRole role;
  QString turkish;
  QString english;
};

QString RoleWord(texts::TextRole role) {
  return role == texts::TextRole::Hint ? QStringLiteral("hint") : QStringLiteral("caption");
}

std::vector<GoldenCaption> ReadGoldenCaptions() {
  std::vector<GoldenCaption> rows;
  QFile file(kGoldenCaptions);
  if (!file.open(QIODevice::ReadOnly)) return rows;
  for (const QByteArray& line : file.readAll().split('\n')) {
    const QStringList cells = QString::fromUtf8(line).split(QLatin1Char('\t'));
    if (cells.size() != 4) continue;
    rows.push_back(
        {cells[0],
         cells[1] == QStringLiteral("hint") ? texts::TextRole::Hint : texts::TextRole::Caption,
         cells[2], cells[3]});
  }
  return rows;
}

}  // namespace

class StartupTest : public QObject {
  Q_OBJECT
 private slots:
  void firstRunWritesEveryDefaultAndStartsTurkishAndEmpty() {
    WindowHarness h;
    QVERIFY(h.Start());
    for (const char* name : {"LASTFILE", "LANGUAGE", "COMPORT"})
      QVERIFY2(h.IsStored(QString::fromLatin1(name)), name);
    QCOMPARE(h.Stored(QStringLiteral("LASTFILE")), QString());
    QCOMPARE(h.Stored(QStringLiteral("LANGUAGE")), QStringLiteral("0"));
    QCOMPARE(h.Stored(QStringLiteral("COMPORT")), QStringLiteral("1"));
    QCOMPARE(h.Caption("D1"), QStringLiteral("Dosya"));
    QCOMPARE(h.Caption("ToolButton18", texts::TextRole::Hint), QStringLiteral("English"));
    QCOMPARE(h.window().toolBar()->language()->property("imageIndex").toInt(), 10);
    QCOMPARE(h.window().windowTitle(), QStringLiteral("Kivra-PS"));
    QCOMPARE(h.EditorText(), QString());
    QCOMPARE(h.Messages(), QString());  // no check ran
    QCOMPARE(h.FileNameBar(), QString());
    QCOMPARE(h.page().lineBox()->text(), QStringLiteral("1"));
    QCOMPARE(h.page().columnBox()->text(), QStringLiteral("1"));
    QVERIFY(h.prompts.shown.empty());
    QVERIFY(!h.window().commandCodeWindow()->isVisible());
    QVERIFY(!h.window().aboutDialog()->isVisible());
  }

  void storedEnglishOpensInEnglish() {
    WindowHarness h({{QStringLiteral("LANGUAGE"), QStringLiteral("1")}});
    QVERIFY(h.Start());
    QCOMPARE(h.Caption("D1"), QStringLiteral("File"));
    QCOMPARE(h.Caption("TabSheet2"), QStringLiteral("Direct Control"));
    QCOMPARE(h.Caption("ToolButton18", texts::TextRole::Hint), QStringLiteral("Türkçe"));
    QCOMPARE(h.Caption("TForm5"), QStringLiteral("Command Codes"));
    QCOMPARE(h.window().toolBar()->language()->property("imageIndex").toInt(), 9);
  }

  void lastFileIsLoadedAndCheckedOnce() {
    WindowHarness h;
    const QString path =
        h.WriteProgram(QStringLiteral("LAST.KV3"), "       SPEED = 1200;\r\r\n       END;\r\r\n");
    QSettings(h.Path(QStringLiteral("KIVRA3.conf")), QSettings::IniFormat)
        .setValue(QStringLiteral("LASTFILE"), path);
    QVERIFY(h.Start());
    QCOMPARE(h.EditorText(), QStringLiteral("       SPEED = 1200;\n       END;\n"));
    QCOMPARE(h.FileNameBar(), path);
    QCOMPARE(h.Messages(), ExpectedMessages(h.EditorText(), Language::Turkish));
    QVERIFY(!h.window().document().programChanged);
    QCOMPARE(h.window().document().currentFile, path);
  }

  void missingLastFileLeavesTheEditorEmptyAndShowsThePath() {
    WindowHarness h({{QStringLiteral("LASTFILE"), QStringLiteral("/no/such/folder/GONE.KV3")}});
    QVERIFY(h.Start());
    QCOMPARE(h.EditorText(), QString());
    QCOMPARE(h.FileNameBar(), QStringLiteral("/no/such/folder/GONE.KV3"));
    QCOMPARE(h.Messages(), QString());
    QCOMPARE(h.page().summary()->text(), QString());
    QVERIFY(h.prompts.shown.empty());
  }

  void everyRowOfTheRelabellingTableNamesOneControl() {
    WindowHarness h;
    QVERIFY(h.Start());
    for (const texts::Caption& row : texts::kCaptions) {
      const QString name = ObjectName(row.control);
      int found = 0;
      for (QWidget* window : h.CaptionedWindows()) {
        if (FindControl(window, name)) ++found;
      }
      QVERIFY2(found == 1, qPrintable(name));
    }
  }

  // With KIVRA_UPDATE_GOLDEN=1 the golden file is written from what the window shows;
  // review its diff.
  void languageSwitchSetsEveryGoldenCaptionBothWays() {
    WindowHarness h;
    QVERIFY(h.Start());
    if (qEnvironmentVariableIsSet("KIVRA_UPDATE_GOLDEN")) {
      QStringList turkish;
      for (const texts::Caption& row : texts::kCaptions)
        turkish << h.MarkedCaption(ObjectName(row.control), row.role);
      h.window().toolBar()->language()->click();
      QByteArray file;
      qsizetype i = 0;
      for (const texts::Caption& row : texts::kCaptions) {
        const QString name = ObjectName(row.control);
        file += QStringList{name, RoleWord(row.role), turkish[i++], h.MarkedCaption(name, row.role)}
                    .join(QLatin1Char('\t'))
                    .toUtf8() +
                '\n';
      }
      QFile out(kGoldenCaptions);
      QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
      out.write(file);
      h.window().toolBar()->language()->click();
    }
    const std::vector<GoldenCaption> golden = ReadGoldenCaptions();
    QVERIFY2(golden.size() > 100, qPrintable(kGoldenCaptions));
    // The table has no row without its golden line.
    for (const texts::Caption& row : texts::kCaptions) {
      const QString name = ObjectName(row.control);
      QVERIFY2(
          std::any_of(golden.begin(), golden.end(),
                      [&](const GoldenCaption& g) { return g.name == name && g.role == row.role; }),
          qPrintable(name));
    }

    h.page().messageList()->setPlainText(QString::fromUtf8("* Hata : 3.satır:"));
    const auto expectAll = [&](Language language) {
      for (const GoldenCaption& g : golden) {
        const QString& want = language == Language::English ? g.english : g.turkish;
        const QString shown = h.MarkedCaption(g.name, g.role);
        if (shown != want) return g.name + QStringLiteral(": ") + shown;
      }
      return QString();
    };
    QCOMPARE(expectAll(Language::Turkish), QString());

    h.window().toolBar()->language()->click();
    QCOMPARE(expectAll(Language::English), QString());
    QCOMPARE(h.Stored(QStringLiteral("LANGUAGE")), QStringLiteral("1"));
    QCOMPARE(h.window().toolBar()->language()->property("imageIndex").toInt(), 9);
    QCOMPARE(h.Caption("Button1"), QStringLiteral("SET"));
    QCOMPARE(h.Caption("Button23"), QStringLiteral("YAZ"));  // parameter write buttons never change
    QCOMPARE(h.Caption("Button2"), QStringLiteral("DEBUG ON/OFF"));
    QCOMPARE(h.Messages(), QString::fromUtf8("* Hata : 3.satır:"));  // texts already shown stay

    h.window().toolBar()->language()->click();
    QCOMPARE(expectAll(Language::Turkish), QString());
    QCOMPARE(h.Stored(QStringLiteral("LANGUAGE")), QStringLiteral("0"));
    QCOMPARE(h.window().toolBar()->language()->property("imageIndex").toInt(), 10);
  }

  void firmwareLineUsesTheSystemDecimalSeparator_data() {
    QTest::addColumn<int>("tenths");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("line");
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    QTest::newRow("no driver yet") << 0 << english << QStringLiteral("Driver Firmware Ver:0.00");
    QTest::newRow("3.2") << 32 << english << QStringLiteral("Driver Firmware Ver:3.20");
    QTest::newRow("largest byte") << 255 << english << QStringLiteral("Driver Firmware Ver:25.50");
    QTest::newRow("decimal comma") << 32 << turkish << QStringLiteral("Driver Firmware Ver:3,20");
    QTest::newRow("zero, decimal comma")
        << 0 << turkish << QStringLiteral("Driver Firmware Ver:0,00");
  }
  void firmwareLineUsesTheSystemDecimalSeparator() {
    QFETCH(int, tenths);
    QFETCH(QLocale, locale);
    QFETCH(QString, line);
    QCOMPARE(AboutDialog::FirmwareLine(tenths, locale), line);
  }

  void aboutBoxFollowsTheLanguageEachTimeItIsShown() {
    WindowHarness h;
    QVERIFY(h.Start());
    AboutDialog* about = h.window().aboutDialog();
    QStringList seen;
    const auto closeWhenShown = [&] {
      QTimer::singleShot(0, about, [&] {
        seen << about->windowTitle() << about->closeButton()->text()
             << about->versionLine()->text();
        about->closeButton()->click();
      });
    };
    closeWhenShown();
    h.window().menu().about->trigger();
    h.window().toolBar()->language()->click();
    closeWhenShown();
    h.window().menu().about->trigger();
    QCOMPARE(seen, (QStringList{
                       QString::fromUtf8("Kivra-PS Sürücü Arayüz Programı"),
                       QStringLiteral("Kapat"), QStringLiteral("KIVRA-PS: Ver 1.11   01/2012"),
                       QStringLiteral("Kivra-PS Driver Interface Software"),
                       QStringLiteral("Close"), QStringLiteral("KIVRA-PS: Ver 1.11   01/2012")}));
    QVERIFY(about->firmwareLine()->text().startsWith(QStringLiteral("Driver Firmware Ver:0")));
    QVERIFY(!about->isVisible());
  }

  // Where a maker's telephone, fax, web and mail addresses would stand: the product's name,
  // version and licence, in the current language; nothing that looks like a contact.
  void aboutBoxShowsTheProductAndNoInventedContacts() {
    AboutDialog about(nullptr, QString::fromUtf8(kVersionText.data(),
                                                 static_cast<qsizetype>(kVersionText.size())));
    const QString version =
        QString::fromUtf8(kProductVersion.data(), static_cast<qsizetype>(kProductVersion.size()));
    about.Prepare(Language::English, 0);
    QCOMPARE(about.productBlock()->text(),
             QStringLiteral("Kivra-PS Studio\nVersion %1\nLicense: MIT").arg(version));
    about.Prepare(Language::Turkish, 0);
    QCOMPARE(about.productBlock()->text(),
             QString::fromUtf8("Kivra-PS Studio\nSürüm %1\nLisans: MIT").arg(version));
    const QRegularExpression contact(QStringLiteral("Tel|Fax|www\\.|@|\\+\\d"));
    for (const QLabel* label : about.findChildren<QLabel*>()) {
      QVERIFY2(!contact.match(label->text()).hasMatch(), qPrintable(label->text()));
    }
  }

  void commandCodeWindowFollowsTheMenuItem() {
    WindowHarness h;
    QVERIFY(h.Start());
    CommandCodeWindow* codes = h.window().commandCodeWindow();
    QAction* item = h.window().menu().commandCode;
    h.editor().SetProgramText(QStringLiteral("END;\n"));

    item->trigger();
    QVERIFY(item->isChecked());
    QVERIFY(codes->isVisible());
    h.window().toolBar()->check()->click();
    QVERIFY(codes->isVisible());
    QVERIFY(codes->isEnabled());
    QCOMPARE(codes->findChild<QPlainTextEdit*>()->toPlainText(), h.window().ListingText());

    codes->close();
    QVERIFY(!codes->isVisible());
    QVERIFY(!item->isChecked());
    h.window().toolBar()->check()->click();
    QVERIFY(!codes->isVisible());

    item->trigger();
    QVERIFY(codes->isVisible());
    item->trigger();
    QVERIFY(!codes->isVisible());
    QVERIFY(!codes->isEnabled());
  }

  void checkFillsTheSummaryCountersAndListing_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<SummaryColour>("colour");
    QTest::addColumn<QString>("used");
    QTest::addColumn<QString>("remaining");
    QTest::addColumn<bool>("listed");
    QTest::newRow("valid, Turkish")
        << false << QStringLiteral("       SPEED = 1200;\n       END;\n")
        << QString::fromUtf8("Toplam Hata : 0,   Toplam Uyarı : 0") << SummaryColour::Lime
        << QStringLiteral("4") << QStringLiteral("2044") << true;
    QTest::newRow("valid, English")
        << true << QStringLiteral("END;\n") << QStringLiteral("Total error : 0,  Total warning : 0")
        << SummaryColour::Lime << QStringLiteral("1") << QStringLiteral("2047") << true;
    QTest::newRow("errors") << true << QStringLiteral("FOO;\nEND;\n")
                            << QStringLiteral("Total error : 1,  Total warning : 0")
                            << SummaryColour::Red << QStringLiteral("0") << QStringLiteral("2048")
                            << false;
    // An empty program leaves the counters as they were.
    QTest::newRow("empty") << true << QStringLiteral("   \n\n")
                           << QStringLiteral("Total error : 0,  Total warning : 1")
                           << SummaryColour::Lime << QStringLiteral("7") << QStringLiteral("2041")
                           << false;
  }
  void checkFillsTheSummaryCountersAndListing() {
    QFETCH(bool, english);
    QFETCH(QString, program);
    QFETCH(QString, summary);
    QFETCH(SummaryColour, colour);
    QFETCH(QString, used);
    QFETCH(QString, remaining);
    QFETCH(bool, listed);
    WindowHarness h(
        {{QStringLiteral("LANGUAGE"), english ? QStringLiteral("1") : QStringLiteral("0")}});
    QVERIFY(h.Start());
    h.page().SetCodeCounters(7, 2041);
    h.editor().SetProgramText(program);
    h.window().toolBar()->check()->click();
    QCOMPARE(h.page().summary()->text(), summary);
    QCOMPARE(h.page().SummaryColour(), colour);
    QCOMPARE(h.page().codeUsedBox()->text(), used);
    QCOMPARE(h.page().codeRemainingBox()->text(), remaining);
    QCOMPARE(h.page().codeMemoryBar()->value(), used.toInt());
    QCOMPARE(h.Messages(), ExpectedMessages(program, LanguageOf(english)));
    QVERIFY(h.Messages().contains(QStringLiteral("Ver 1.11   01/2012 **** ")));
    QVERIFY(h.Messages().contains(QStringLiteral("**** 01.02.2026   13:14:15 ****")));
    QCOMPARE(!h.window().ListingText().isEmpty(), listed);
    QCOMPARE(h.window().lastCheck().programValid, listed);
  }

  void listingIsEmptiedByEveryCheckThatFails() {
    WindowHarness h;
    QVERIFY(h.Start());
    h.editor().SetProgramText(QStringLiteral("NOSUCHWORD;\nEND;\n"));
    h.window().menu().commandCode->trigger();
    h.window().CheckProgram();
    QVERIFY(!h.window().lastCheck().programValid);
    QCOMPARE(h.window().ListingText(), QString());
    QCOMPARE(h.window().commandCodeWindow()->findChild<QPlainTextEdit*>()->toPlainText(),
             QString());
    QCOMPARE(h.page().SummaryColour(), SummaryColour::Red);
  }

  void directControlPageDisablesTheProgramCommands() {
    WindowHarness h;
    QVERIFY(h.Start());
    MainToolBar* bar = h.window().toolBar();
    h.window().pages()->setCurrentWidget(h.window().directControlPage());
    for (QToolButton* b : {bar->newProgram(), bar->open(), bar->save(), bar->saveAs(), bar->check(),
                           bar->download(), bar->find(), bar->undo()}) {
      QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
    }
    QVERIFY(bar->language()->isEnabled());
    QVERIFY(!h.window().menu().open->isEnabled());
    QVERIFY(h.window().menu().exit->isEnabled());
    QVERIFY(!h.window().directControlPage()->MemoryAccessVisible());
    h.window().pages()->setCurrentWidget(h.window().programPage());
    QVERIFY(bar->check()->isEnabled());
    QVERIFY(h.window().menu().open->isEnabled());
  }

  void toolBarButtonsStandInOrderWithTheirImages() {
    WindowHarness h;
    QVERIFY(h.Start());
    struct Expected {
      const char* name;
      int x;
      int image;
    };
    // Gaps of 9, 8, 8, 8, a 36 divider, 8, a 38 divider, 10 and a 40 divider.
    for (const Expected& e : {Expected{"ToolButton6", 9, 0}, Expected{"ToolButton3", 56, 1},
                              Expected{"ToolButton9", 103, 2}, Expected{"ToolButton1", 150, 3},
                              Expected{"ToolButton8", 225, 8}, Expected{"ToolButton11", 272, 5},
                              Expected{"ToolButton13", 349, 6}, Expected{"ToolButton14", 398, 7},
                              Expected{"ToolButton18", 477, 10}}) {
      auto* button = h.window().toolBar()->findChild<QToolButton*>(QString::fromLatin1(e.name));
      QVERIFY2(button, e.name);
      QCOMPARE(button->x(), e.x);
      QCOMPARE(button->size(), QSize(39, 38));
      QCOMPARE(button->property("imageIndex").toInt(), e.image);
      QVERIFY2(!button->icon().isNull(), e.name);
    }
    QCOMPARE(h.window().toolBar()->height(), 57);
  }

  // At the design size every control stands at its design place; above it the editor and
  // the message list take the room, the controls beside them move along, and the direct
  // control page keeps its places.
  void controlsFollowTheWindowSize_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("dw");
    QTest::addColumn<int>("editorDh");
    QTest::addColumn<int>("listDh");
    QTest::newRow("design size") << QSize(924, 732) << 0 << 0 << 0;
    QTest::newRow("larger") << QSize(1200, 900) << 276 << 112 << 56;
    QTest::newRow("smaller") << QSize(800, 600) << 0 << 0 << 0;
  }
  void controlsFollowTheWindowSize() {
    QFETCH(QSize, size);
    QFETCH(int, dw);
    QFETCH(int, editorDh);
    QFETCH(int, listDh);
    WindowHarness h;
    QVERIFY(h.Start());
    h.window().resize(size);
    QTRY_COMPARE(h.window().size(), size);
    QTRY_COMPARE(h.window().toolBar()->width(), h.window().centralWidget()->width());
    struct Place {
      const char* name;
      QRect rect;
    };
    const int e = editorDh;
    for (const Place& p :
         {Place{"RichEdit1", {0, 24, 761 + dw, 373 + e}},
          Place{"StaticText5", {72, 4, 685 + dw, 17}},
          Place{"GroupBox1", {0, 396 + e, 757 + dw, 33}},
          Place{"StaticText3", {88, 436 + e, 393, 17}},
          Place{"RichEdit2", {4, 456 + e, 531 + dw, 129 + listDh}},
          Place{"Panel2", {652 + dw, 456 + e, 104, 72}},
          Place{"GroupBox2", {760 + dw, 4, 101, 567}}, Place{"GroupBox11", {60, 12, 213, 537}},
          Place{"GroupBox5", {288, 12, 233, 537}}, Place{"GroupBox6", {528, 12, 251, 537}},
          Place{"Button17", {8, 36, 57, 365}}, Place{"Button8", {38, 468, 153, 37}}}) {
      auto* widget = qobject_cast<QWidget*>(FindControl(&h.window(), QString::fromLatin1(p.name)));
      QVERIFY2(widget, p.name);
      QCOMPARE(widget->geometry(), p.rect);
    }
  }

  // The window forgot its size and place: closing keeps them in one setting, WINDOW, and the
  // next start opens there.
  void theWindowOpensWhereItWasClosed() {
    WindowHarness h;
    QVERIFY(h.Start());
    QVERIFY(!h.IsStored(QStringLiteral("WINDOW")));
    QCOMPARE(h.window().pos(), QPoint(226, 76));  // the design place
    QCOMPARE(h.window().size(), QSize(924, 732));
    const QRect place(40, 30, 700, 500);
    h.window().setGeometry(place);
    QTRY_COMPARE(h.window().geometry(), place);
    QVERIFY(h.window().close());
    QVERIFY(h.IsStored(QStringLiteral("WINDOW")));
    h.Close();

    QVERIFY(h.Start());
    QCOMPARE(h.window().geometry(), place);
    QVERIFY(!h.window().isMaximized());
  }

  // A place no screen shows any more (a second monitor unplugged) opens on the screen, and a
  // setting that is no place opens at the design place.
  void aStoredPlaceNeverOpensOffTheScreen_data() {
    QTest::addColumn<QRect>("stored");
    QTest::newRow("far right and down") << QRect(5000, 4000, 600, 400);
    QTest::newRow("left of every screen") << QRect(-3000, 50, 600, 400);
    QTest::newRow("larger than the screen") << QRect(0, 0, 4000, 3000);
  }
  void aStoredPlaceNeverOpensOffTheScreen() {
    QFETCH(QRect, stored);
    QWidget somewhere;
    somewhere.setGeometry(stored);
    WindowHarness h(
        {{QStringLiteral("WINDOW"), QString::fromLatin1(somewhere.saveGeometry().toBase64())}});
    QVERIFY(h.Start());
    const QRect screen = h.window().screen()->availableGeometry();
    const QRect shown = h.window().geometry();
    QVERIFY2(screen.contains(shown.topLeft()) && shown.width() <= screen.width() &&
                 shown.height() <= screen.height(),
             qPrintable(QStringLiteral("%1,%2 %3x%4")
                            .arg(h.window().x())
                            .arg(h.window().y())
                            .arg(h.window().width())
                            .arg(h.window().height())));
  }
  void aSettingThatIsNoPlaceOpensAtTheDesignPlace() {
    WindowHarness h({{QStringLiteral("WINDOW"), QStringLiteral("not a place")}});
    QVERIFY(h.Start());
    QCOMPARE(h.window().pos(), QPoint(226, 76));
    QCOMPARE(h.window().size(), QSize(924, 732));
  }

  void shippedHelpHasContentsAndTopicsInBothLanguages() {
    if (!QFile::exists(QStringLiteral(":/help/en/index.html")))
      QSKIP("no help documents in this build");
    HelpWindow help(nullptr, QStringLiteral(":/help"));
    for (const Language language : {Language::Turkish, Language::English}) {
      QVERIFY(QFile::exists(IsEnglish(language) ? QStringLiteral(":/help/en/index.html")
                                                : QStringLiteral(":/help/tr/index.html")));
      for (const char* keyword :
           {"END", "SPEED", "JUMP", "IFINP", "VRB", "TABLE", "INT", "FILTER"}) {
        QVERIFY2(!help.TopicFile(language, QString::fromLatin1(keyword)).isEmpty(), keyword);
      }
    }
  }

  void downloadWithoutAnOpenPortSaysSo() {
    WindowHarness h;
    QVERIFY(h.Start());
    h.window().toolBar()->download()->click();
    QCOMPARE(h.prompts.LastText(), QString::fromUtf8("Geçerli program yok!"));
    QCOMPARE(h.prompts.shown.back().kind, MessageKind::Error);
  }
};

}  // namespace kivra::app::testing

QTEST_MAIN(kivra::app::testing::StartupTest)
#include "startup_test.moc"
