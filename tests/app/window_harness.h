#pragma once

// A main window on a settings file of its own in a temporary folder, with scripted boxes
// and dialogs, a fixed clock and the test help documents.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <memory>

#include "app/editor/program_editor.h"
#include "app/files/settings_store.h"
#include "app/program/program_page.h"
#include "app/shell/command_code_window.h"
#include "app/shell/main_window.h"
#include "app/ui/captions.h"
#include "app/watch/frame_window.h"
#include "app/watch/live_plots.h"
#include "app/watch/simulator_panel.h"
#include "app/watch/watch_windows.h"
#include "fake_driver_port.h"
#include "scripted_prompts.h"

namespace kivra::app::testing {

inline compiler::Timestamp FixedTime() {
  return {"01.02.2026", "13:14:15"};
}

// What a control shows: the text a caption or hint went to.
inline QString ShownText(const QObject* control, texts::TextRole role) {
  if (role == texts::TextRole::Hint) {
    const auto* widget = qobject_cast<const QWidget*>(control);
    return widget ? widget->toolTip() : QString();
  }
  if (const auto* action = qobject_cast<const QAction*>(control)) return action->text();
  if (const auto* menu = qobject_cast<const QMenu*>(control)) return menu->title();
  if (const auto* group = qobject_cast<const QGroupBox*>(control)) return group->title();
  if (const auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
  if (const auto* label = qobject_cast<const QLabel*>(control)) return label->text();
  if (const auto* widget = qobject_cast<const QWidget*>(control)) {
    // A page sits in its tab widget's internal stack.
    const QWidget* stack = widget->parentWidget();
    if (const auto* tabs = stack ? qobject_cast<const QTabWidget*>(stack->parentWidget()) : nullptr)
      return tabs->tabText(tabs->indexOf(widget));
    if (widget->isWindow()) return widget->windowTitle();
  }
  return QStringLiteral("<no text>");
}

class WindowHarness {
 public:
  explicit WindowHarness(const QMap<QString, QString>& stored = {}) {
    iniPath_ = dir_.filePath(QStringLiteral("KIVRA3.conf"));
    QSettings seed(iniPath_, QSettings::IniFormat);
    for (auto it = stored.begin(); it != stored.end(); ++it) seed.setValue(it.key(), it.value());
  }

  // Builds and shows the window and waits until both start-up steps have run. The window
  // talks to `port` unless the test asked for the machine's serial ports.
  bool Start() {
    settings_ = SettingsStore::InFile(iniPath_);
    MainWindowServices services{*settings_,
                                realPrompts ? *realPrompts : static_cast<Prompts&>(prompts),
                                [] { return FixedTime(); }, QStringLiteral(KIVRA_TEST_HELP_ROOT)};
    services.driverPort = realSerial ? nullptr : &port;
    services.simulatedDriver = simulatedDriver;
    services.serialLogFolder = serialLogFolder;
    services.openAtStart = openAtStart;
    window_ = std::make_unique<MainWindow>(std::move(services));
    window_->show();
    return QTest::qWaitFor([this] { return window_->StartupDone(); });
  }

  MainWindow& window() { return *window_; }
  void Close() { window_.reset(); }
  ProgramPage& page() { return *window_->programPage(); }
  ProgramEditor& editor() { return *window_->programPage()->editor(); }
  QString EditorText() { return editor().toPlainText(); }
  QString Messages() { return page().messageList()->toPlainText(); }
  QString FileNameBar() { return page().fileNameBar()->text(); }

  QString Path(const QString& name) const { return dir_.filePath(name); }
  QString Stored(const QString& name) const {
    return QSettings(iniPath_, QSettings::IniFormat).value(name).toString();
  }
  bool IsStored(const QString& name) const {
    return QSettings(iniPath_, QSettings::IniFormat).contains(name);
  }

  QString WriteProgram(const QString& name, const QByteArray& bytes) const {
    const QString path = Path(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    return path;
  }
  static QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  // Typing into the editor, as the user does it.
  void Type(const QString& text) {
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
      if (i > 0) QTest::keyClick(&editor(), Qt::Key_Return);
      QTest::keyClicks(&editor(), lines[i]);
    }
  }

  // The windows whose captions the language switch sets.
  std::vector<QWidget*> CaptionedWindows() {
    const WatchWindows& watch = window_->watchWindows();
    return {window_.get(), window_->commandCodeWindow(), watch.inspector(), watch.plots(),
            watch.simulatorPanel()};
  }

  // The control's text as the language switch sets it: a button's or label's text, a
  // group's or menu's title, a page's tab, a window's title or a tooltip (the hint). Menus
  // keep the '&' before their Alt letter.
  QString MarkedCaption(const QString& name, texts::TextRole role = texts::TextRole::Caption) {
    for (QWidget* window : CaptionedWindows()) {
      if (QObject* control = FindControl(window, name)) return ShownText(control, role);
    }
    return QStringLiteral("<missing %1>").arg(name);
  }
  QString Caption(const char* name, texts::TextRole role = texts::TextRole::Caption) {
    return MarkedCaption(QString::fromLatin1(name), role).remove(QLatin1Char('&'));
  }

  ScriptedPrompts prompts;
  FakeDriverPort port;
  bool realSerial = false;         // the serial component instead of `port`
  bool simulatedDriver = false;    // as the command-line option does
  std::string serialLogFolder;     // where SERIAL.LOG goes; empty: the working directory
  Prompts* realPrompts = nullptr;  // the real boxes and dialogs instead of `prompts` (not owned)
  QString openAtStart;             // as `kivra-ps FILE` does

 private:
  QTemporaryDir dir_;
  QString iniPath_;
  std::unique_ptr<SettingsStore> settings_;
  std::unique_ptr<MainWindow> window_;
};

// With KIVRA_SCREENSHOT_DIR set, keeps a picture of the window. On a real display it is
// the whole screen, so that tooltips, message boxes and the title bar are in it.
inline void KeepPicture(QWidget* widget, const char* name) {
  const QString folder = qEnvironmentVariable("KIVRA_SCREENSHOT_DIR");
  if (folder.isEmpty()) return;
  QApplication::processEvents();
  const QPixmap picture = QGuiApplication::platformName() == QStringLiteral("offscreen")
                              ? widget->window()->grab()
                              : widget->screen()->grabWindow(0);
  picture.save(folder + QLatin1Char('/') + QString::fromLatin1(name));
}

// With KIVRA_SCREENSHOT_DIR set, keeps a picture of the widget's window alone, as drawn,
// on any platform: the user guide's pictures (scripts/help-pictures).
inline void KeepWindowPicture(QWidget* widget, const QString& name) {
  const QString folder = qEnvironmentVariable("KIVRA_SCREENSHOT_DIR");
  if (folder.isEmpty()) return;
  QApplication::processEvents();
  widget->window()->grab().save(folder + QLatin1Char('/') + name);
}

// The result of the check the window ran on the editor's text, as the compiler gives it.
inline QString ExpectedMessages(const QString& editorText, Language language) {
  return QString::fromStdString(
      compiler::Compile(compiler::SplitLines(editorText.toStdString()), language, [] {
        return FixedTime();
      }).messages);
}

}  // namespace kivra::app::testing
