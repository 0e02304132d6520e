// kivra-ps's command line before the window: --help and --version, the state folder for a
// start from the desktop menu (its rules per system: tests/common/state_folder_test.cpp),
// and the serial log that goes there.

#include "app/shell/command_line.h"

#include <QDir>

#include "common/version.h"
#include "driver_fixture.h"

namespace kivra::app::testing {
namespace {

namespace fs = std::filesystem;

Environment Env(std::map<std::string, std::string> values) {
  return [values = std::move(values)](const char* name) -> std::optional<std::string> {
    const auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    return it->second;
  };
}

// What the program prints before any window, or "window" when it starts one.
QString Answer(std::vector<std::string_view> args) {
  const auto text = TextInsteadOfWindow(args);
  if (!text) return QStringLiteral("window");
  if (text->starts_with("usage: kivra-ps")) return QStringLiteral("help");
  return QString::fromStdString(*text);
}

}  // namespace

class CommandLineTest : public QObject {
  Q_OBJECT
 private slots:
  void helpAndVersionComeBeforeTheWindow() {
    const QString version = QStringLiteral("kivra-ps (Kivra-PS Studio) %1\n")
                                .arg(QString::fromUtf8(kProductVersion.data()));
    const struct {
      std::vector<std::string_view> args;
      QString answer;
    } cases[] = {
        {{}, QStringLiteral("window")},
        {{"--help"}, QStringLiteral("help")},
        {{"-h"}, QStringLiteral("help")},
        {{"-?"}, QStringLiteral("help")},
        {{"--version"}, version},
        {{"--simulated-driver", "--version"}, version},
        {{"program.kv3", "--help"}, QStringLiteral("help")},
        {{"--version", "--help"}, version},
        {{"program.kv3"}, QStringLiteral("window")},
        {{"--log-to-state-folder"}, QStringLiteral("window")},
        // After "--" everything is a file name, however it looks.
        {{"--", "--help"}, QStringLiteral("window")},
        {{"--", "--version"}, QStringLiteral("window")},
    };
    for (const auto& c : cases) QCOMPARE(Answer(c.args), c.answer);
  }

  void helpNamesEveryOption() {
    const std::string help = *TextInsteadOfWindow({"--help"});
    for (const char* option :
         {"FILE", "--simulated-driver", "--log-to-state-folder", "--help", "--version"}) {
      QVERIFY2(help.find(option) != std::string::npos, option);
    }
  }

  void stateLogFolderIsCreatedOrTheWorkingDirectoryKept() {
    QTemporaryDir dir;
    const std::string base = dir.filePath(QStringLiteral("deep/state")).toStdString();
    std::FILE* err = std::tmpfile();
    QCOMPARE(PrepareStateLogFolder(Env({{"XDG_STATE_HOME", base}}), err), base + "/kivra-ps");
    QVERIFY(fs::is_directory(base + "/kivra-ps"));
    // Created already: taken as it is.
    QCOMPARE(PrepareStateLogFolder(Env({{"XDG_STATE_HOME", base}}), err), base + "/kivra-ps");
    QCOMPARE(std::ftell(err), 0L);

    // A file where the folder should be: said, and the log stays in the working directory.
    const std::string blocked = dir.filePath(QStringLiteral("file")).toStdString();
    std::fclose(std::fopen(blocked.c_str(), "w"));
    QCOMPARE(PrepareStateLogFolder(Env({{"XDG_STATE_HOME", blocked}}), err), std::string());
    QCOMPARE(PrepareStateLogFolder(Env({}), err), std::string());
    QVERIFY(std::ftell(err) > 0);
    std::fclose(err);
  }

  void serialLogGoesToTheGivenFolderNotTheWorkingDirectory() {
    QTemporaryDir working;
    QTemporaryDir state;
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(working.path()));
    {
      LiveWindow w;
      w.h.serialLogFolder = state.path().toStdString();
      QVERIFY(w.Start());
      // Some traffic, so that the log has something to write.
      QVERIFY(Reaches(w.sim, [](const sim::DriverState& s) { return s.framesReceived >= 2; }));
    }  // the port closes with the window and writes its log
    QDir::setCurrent(before);
    QVERIFY(QFileInfo(state.filePath(QStringLiteral("SERIAL.LOG"))).size() > 0);
    QVERIFY(!QFileInfo::exists(working.filePath(QStringLiteral("SERIAL.LOG"))));
  }
};

}  // namespace kivra::app::testing

QTEST_MAIN(kivra::app::testing::CommandLineTest)
#include "command_line_test.moc"
