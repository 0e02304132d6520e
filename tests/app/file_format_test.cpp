// The program file format, the ".KV3" rule, the new-program header and the settings store.

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "app/files/program_file.h"
#include "app/files/settings_store.h"
#include "app/shell/locale_format.h"
#include "app/ui/ui_language.h"

namespace kivra::app {
namespace {

std::optional<QString> ReadProgram(const QString& path) {
  FileReadError error;
  return ReadProgramFile(path, error);
}

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write(bytes), bytes.size());
}

}  // namespace

class FilesAndSettingsTest : public QObject {
  Q_OBJECT
 private slots:
  void decodesEveryLineBreakAndStopsAtZero_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("stored CR CR LF") << QByteArray("A\r\r\nB") << QStringLiteral("A\nB");
    QTest::newRow("other editors' CR LF") << QByteArray("A\r\nB\r\n") << QStringLiteral("A\nB\n");
    QTest::newRow("LF") << QByteArray("A\nB") << QStringLiteral("A\nB");
    QTest::newRow("lone CR") << QByteArray("A\rB") << QStringLiteral("A\nB");
    QTest::newRow("empty lines kept") << QByteArray("A\r\r\n\r\r\nB") << QStringLiteral("A\n\nB");
    QTest::newRow("zero byte ends the text")
        << QByteArray("A\r\r\nB\0C", 7) << QStringLiteral("A\nB");
    QTest::newRow("trailing zeros") << QByteArray("END;\0\0\0", 7) << QStringLiteral("END;");
    QTest::newRow("code page 1254")
        << QByteArray("\xDE\xFE\xD0\xF0\xDD\xFD\x80") << QString::fromUtf8("ŞşĞğİı€");
  }
  void decodesEveryLineBreakAndStopsAtZero() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(DecodeProgramText(bytes), text);
  }

  void encodesLineBreaksAsCrCrLf_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("two lines") << QStringLiteral("A\nB") << QByteArray("A\r\r\nB");
    QTest::newRow("nothing after the last character")
        << QStringLiteral("END;\n") << QByteArray("END;\r\r\n");
    QTest::newRow("Turkish letters") << QString::fromUtf8("ŞİĞ") << QByteArray("\xDE\xDD\xD0");
    QTest::newRow("outside the code page") << QString::fromUtf8("A\u4E2DB") << QByteArray("A?B");
    QTest::newRow("CR LF pasted in") << QStringLiteral("A\r\nB") << QByteArray("A\r\r\nB");
  }
  void encodesLineBreaksAsCrCrLf() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(EncodeProgramText(text), bytes);
  }

  void roundTripsThroughAFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("AB.KV3"));
    QVERIFY(WriteProgramFile(path, QStringLiteral("A\nB")));
    QCOMPARE(ReadBytes(path), QByteArray("A\r\r\nB"));
    QCOMPARE(ReadProgram(path), std::optional<QString>(QStringLiteral("A\nB")));
  }

  void loadsFilesBeyondTheOldBufferWhole() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("BIG.KV3"));
    QByteArray bytes;
    while (bytes.size() < 20000) bytes += "       SPEED = 1200;\r\r\n";
    WriteBytes(path, bytes);
    const std::optional<QString> text = ReadProgram(path);
    QVERIFY(text.has_value());
    QCOMPARE(EncodeProgramText(*text), bytes);
  }

  void loadsReadOnlyFiles() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RO.KV3"));
    WriteBytes(path, "END;\r\r\n");
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    QCOMPARE(ReadProgram(path), std::optional<QString>(QStringLiteral("END;\n")));
  }

  void missingFilesDoNotLoad() {
    QTemporaryDir dir;
    const struct {
      QString path;
      FileRefusal refusal;
    } cases[] = {{dir.filePath(QStringLiteral("none.KV3")), FileRefusal::Missing},
                 {QString(), FileRefusal::Missing},
                 {dir.path(), FileRefusal::Folder}};
    for (const auto& c : cases) {
      FileReadError error;
      QVERIFY(!ReadProgramFile(c.path, error).has_value());
      QCOMPARE(error.refusal, c.refusal);
    }
  }

  void failedWritesReportAndKeepTheOldFile() {
    QTemporaryDir dir;
    QVERIFY(!WriteProgramFile(dir.filePath(QStringLiteral("no/such/folder/P.KV3")),
                              QStringLiteral("A")));
    QVERIFY(!WriteProgramFile(QString(), QStringLiteral("A")));
    QVERIFY(!WriteProgramFile(dir.path(), QStringLiteral("A")));

#ifdef Q_OS_UNIX
    if (geteuid() == 0) QSKIP("permissions do not stop root");
#endif
    const QString path = dir.filePath(QStringLiteral("KEEP.KV3"));
    WriteBytes(path, "OLD");
    QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const bool written = WriteProgramFile(path, QStringLiteral("NEW"));
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(!written);
    QCOMPARE(ReadBytes(path), QByteArray("OLD"));
  }

  void programFileNameRule_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("windows path") << QStringLiteral("C:\\PRG\\MOTOR.KV3") << true;
    QTest::newRow("lower case") << QStringLiteral("/home/u/motor.kv3") << true;
    QTest::newRow("blanks around") << QStringLiteral("  Motor.Kv3  ") << true;
    QTest::newRow("contains .KV3") << QStringLiteral("/p/a.KV3.bak") << true;
    QTest::newRow("other extension") << QStringLiteral("/home/u/prog.txt") << false;
    QTest::newRow("only the folder has it") << QStringLiteral("/home/u/old.KV3/prog.txt") << false;
    QTest::newRow("the dialog's pattern") << QStringLiteral("*.kv3") << false;
    QTest::newRow("a blank") << QStringLiteral(" ") << false;
  }
  void programFileNameRule() {
    QFETCH(QString, path);
    QFETCH(bool, accepted);
    QCOMPARE(IsProgramFileName(path), accepted);
  }

  void newProgramHeader_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QStringList>("lines");
    const QStringList common = {
        QStringLiteral("       ;Program:                       "),
        QStringLiteral("       ;#############################################"),
        QStringLiteral("       "),
        QStringLiteral("       "),
        QStringLiteral("       "),
        QStringLiteral("       END;"),
        QString()};
    QTest::newRow("Turkish")
        << false
        << (QStringList{QString::fromUtf8("       ;###########  KIVRA3 Program Dosyası  ########"),
                        QStringLiteral("       ;Tarih  :01.02.2026  Saat :13:14:15")} +
            common);
    QTest::newRow("English")
        << true
        << (QStringList{QStringLiteral("       ;###########  KIVRA3  Program File    ########"),
                        QStringLiteral("       ;Date  :01.02.2026  Time :13:14:15")} +
            common);
  }
  void newProgramHeader() {
    QFETCH(bool, english);
    QFETCH(QStringList, lines);
    QCOMPARE(
        NewProgramHeader(LanguageOf(english), {"01.02.2026", "13:14:15"}).split(QLatin1Char('\n')),
        lines);
  }

  void generatedNamesWrapWithTheCounter() {
    QCOMPARE(GeneratedProgramName(1), QStringLiteral("Program1.KV3"));
    QCOMPARE(GeneratedProgramName(static_cast<std::uint8_t>(256 + 3)),
             QStringLiteral("Program3.KV3"));
  }

  void timestampHasSecondsAndNoZone_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::newRow("Turkish") << QLocale(QLocale::Turkish, QLocale::Turkey)
                             << QStringLiteral("2.01.2026") << QStringLiteral("13:04:05");
    QTest::newRow("US English") << QLocale(QLocale::English, QLocale::UnitedStates)
                                << QStringLiteral("1/2/26") << QStringLiteral("1:04:05 PM");
  }
  void timestampHasSecondsAndNoZone() {
    QFETCH(QLocale, locale);
    QFETCH(QString, date);
    QFETCH(QString, time);
    const compiler::Timestamp stamp =
        FormatTimestamp(QDateTime(QDate(2026, 1, 2), QTime(13, 4, 5)), locale);
    QCOMPARE(QString::fromStdString(stamp.date), date);
    QCOMPARE(QString::fromStdString(stamp.time), time);
  }

  void missingAndEmptyValuesReadAsTheirDefaultAndAreWritten() {
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("KIVRA3.conf"));
    {
      QSettings seed(ini, QSettings::IniFormat);
      seed.setValue(QStringLiteral("COMPORT"), QString());
      seed.setValue(QStringLiteral("LASTFILE"), QStringLiteral("/p/A.KV3"));
    }
    auto store = SettingsStore::InFile(ini);
    QCOMPARE(store->ReadSetting(QStringLiteral("LANGUAGE"), QStringLiteral("0")),
             QStringLiteral("0"));
    QCOMPARE(store->ReadSetting(QStringLiteral("COMPORT"), QStringLiteral("1")),
             QStringLiteral("1"));
    QCOMPARE(store->ReadSetting(QStringLiteral("LASTFILE"), QString()), QStringLiteral("/p/A.KV3"));
    store->WriteSetting(QStringLiteral("LANGUAGE"), QStringLiteral("1"));

    QSettings check(ini, QSettings::IniFormat);
    QCOMPARE(check.value(QStringLiteral("LANGUAGE")).toString(), QStringLiteral("1"));
    QCOMPARE(check.value(QStringLiteral("COMPORT")).toString(), QStringLiteral("1"));
  }

  // A settings file that is no file of settings (a FIFO would hold the start for ever, a
  // huge file would be read whole) is left alone; the values last for the run.
  void settingsFileThatIsNoSettingsFileIsLeftAlone() {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.conf"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString big = dir.filePath(QStringLiteral("big.conf"));
    QFile(big).open(QIODevice::WriteOnly);
    QVERIFY(QFile::resize(big, 64 * 1024 * 1024));
    const struct {
      QString path;
      FileRefusal refusal;
    } cases[] = {{fifo, FileRefusal::Fifo}, {big, FileRefusal::TooLarge}};
    for (const auto& c : cases) {
      auto store = SettingsStore::InFile(c.path);
      QVERIFY(store->Refused());
      QCOMPARE(store->Refused()->path, c.path);
      QCOMPARE(store->Refused()->error.refusal, c.refusal);
      QCOMPARE(store->ReadSetting(QStringLiteral("LANGUAGE"), QStringLiteral("0")),
               QStringLiteral("0"));
      store->WriteSetting(QStringLiteral("LASTFILE"), QStringLiteral("/p/A.KV3"));
      QCOMPARE(store->ReadSetting(QStringLiteral("LASTFILE"), QString()),
               QStringLiteral("/p/A.KV3"));
    }
    QCOMPARE(QFileInfo(big).size(), 64 * 1024 * 1024);
    QVERIFY(QFileInfo(fifo).isFile() == false && QFileInfo(fifo).exists());
    // A missing file is a first run, not a refusal.
    QVERIFY(!SettingsStore::InFile(dir.filePath(QStringLiteral("new.conf")))->Refused());
  }

  void languageValue_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("english");
    QTest::newRow("0") << QStringLiteral("0") << false;
    QTest::newRow("1") << QStringLiteral("1") << true;
    QTest::newRow("any nonzero") << QStringLiteral("7") << true;
    QTest::newRow("low byte zero") << QStringLiteral("256") << false;
    QTest::newRow("low byte nonzero") << QStringLiteral("257") << true;
    QTest::newRow("not a number") << QStringLiteral("EN") << false;
    QTest::newRow("blanks around") << QStringLiteral(" 1 ") << true;
  }
  void languageValue() {
    QFETCH(QString, stored);
    QFETCH(bool, english);
    QCOMPARE(UiLanguage::FromSetting(stored), LanguageOf(english));
  }
};

}  // namespace kivra::app

QTEST_MAIN(kivra::app::FilesAndSettingsTest)
#include "file_format_test.moc"
