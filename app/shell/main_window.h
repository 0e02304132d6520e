#pragma once

#include <QMainWindow>
#include <QStringList>
#include <memory>
#include <string>

#include "app/files/document_state.h"
#include "app/shell/main_menu.h"
#include "app/shell/qt_translations.h"
#include "app/ui/ui_language.h"
#include "compiler/compile.h"

namespace kivra::link {
class LinePort;
}  // namespace kivra::link

class QTabWidget;

namespace kivra::app {

class AboutDialog;
class CommandCodeWindow;
class DirectControlPage;
class DownloadWindow;
class DriverSide;
class FindDialog;
class HelpWindow;
class LiveCheck;
class MainToolBar;
class PortDialog;
class ProgramFiles;
class ProgramPage;
class Prompts;
class SettingsStore;
class WatchWindows;

struct MainWindowServices {
  SettingsStore& settings;
  Prompts& prompts;
  compiler::Clock clock;  // the banner's and the new header's date and time
  QString helpRoot =
      QStringLiteral(":/help");  // holds tr/ and en/ with index.html and KEYWORD.html
  // The driver's port: null for the machine's serial ports, or a stand-in (not owned).
  link::LinePort* driverPort = nullptr;
  // Connect to the simulated driver for this run without storing it as the port.
  bool simulatedDriver = false;
  // Where the serial port's diagnostic log goes; empty: the working directory.
  std::string serialLogFolder{};
  // A program to open once start-up is done (`kivra-ps FILE`, a file manager's double click).
  QString openAtStart = QString();
};

// `TForm1`, the main window. It owns the document state, the language and the windows
// that live as long as it does: the port dialog, the About box, the download progress and
// the command-code window, created in that order after it. Its title names the program
// and whether it changed; a program file dropped on it opens.
class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(MainWindowServices services);
  ~MainWindow() override;

  // The commands, as the menu, the tool bar and the editor's keys run them.
  void CheckProgram();
  void Exit();
  void SwitchLanguage();
  void Find();
  void FindNext();
  void ContextHelp();
  void ShowAbout();
  void SetCommandCodesWanted(bool wanted);
  void GoToLine();
  // F3: the next match, or the find dialog while there is nothing to find yet.
  void FindNextOrAsk();
  // The download button: exactly the program on screen goes to the driver.
  void Download();
  // Opens a program from the recent files, a drop or the command line.
  void OpenNamed(const QString& path);

  // Start-up runs in two steps: when the window is first shown, and once the event loop
  // runs (the focus has reached the page area). True when both have run.
  bool StartupDone() const { return pageAreaEntered_; }

  const DocumentState& document() const { return document_; }
  const UiLanguage& language() const { return language_; }
  const compiler::CompileResult& lastCheck() const { return *lastCheck_; }
  QString ListingText() const { return listingText_; }
  LiveCheck& liveCheck() const { return *liveCheck_; }
  const QStringList& recentFiles() const { return recentFiles_; }

  ProgramFiles& files() const { return *files_; }
  MainToolBar* toolBar() const { return toolBar_; }
  const MainMenu& menu() const { return menu_; }
  QTabWidget* pages() const { return pages_; }
  ProgramPage* programPage() const { return programPage_; }
  DirectControlPage* directControlPage() const { return directPage_; }
  PortDialog* portDialog() const { return portDialog_; }
  AboutDialog* aboutDialog() const { return about_; }
  DownloadWindow* downloadWindow() const { return download_; }
  CommandCodeWindow* commandCodeWindow() const { return commandCodes_; }
  FindDialog* findDialog() const { return find_; }
  HelpWindow* helpWindow() const { return help_; }
  DriverSide& driverSide() const { return *link_; }
  WatchWindows& watchWindows() const { return *watch_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildWindow();
  void CreateSecondaryWindows();
  void ConnectCommands();
  void ConnectEditor();
  void CreateDriverSide(const MainWindowServices& services);
  void ApplyLanguage();
  void ConnectKeys();

  void ShowStep();
  void EnterPageArea();
  void UpdateLineColumn();
  void MarkTyped();
  void JumpToMessageLine(int line, Language writtenIn);
  void RefreshCommandCodes();
  void ClearListing();
  void PageChanged();
  void RefreshTitle();
  void ProgramTextChanged();
  void RestorePlace();
  void RememberPlace();
  void RememberRecent(const QString& path);
  void RefreshRecentMenu();
  bool OnProgrammingPage() const;

  SettingsStore& settings_;
  Prompts& prompts_;
  compiler::Clock clock_;
  QString helpRoot_;
  QString openAtStart_;

  UiLanguage language_;
  QtTranslations qtTranslations_;
  DocumentState document_;
  std::unique_ptr<compiler::CompileResult> lastCheck_;
  QString checkedText_;  // the editor's text the last check ran on
  QString listingText_;
  QString downloadedText_;  // the text the last download sent, null once the editor differs
  QStringList recentFiles_;

  MainMenu menu_;
  MainToolBar* toolBar_ = nullptr;
  QTabWidget* pages_ = nullptr;
  ProgramPage* programPage_ = nullptr;
  DirectControlPage* directPage_ = nullptr;
  PortDialog* portDialog_ = nullptr;
  AboutDialog* about_ = nullptr;
  DownloadWindow* download_ = nullptr;
  CommandCodeWindow* commandCodes_ = nullptr;
  FindDialog* find_ = nullptr;
  HelpWindow* help_ = nullptr;
  LiveCheck* liveCheck_ = nullptr;
  std::unique_ptr<ProgramFiles> files_;
  std::unique_ptr<DriverSide> link_;
  WatchWindows* watch_ = nullptr;

  bool shown_ = false;
  bool pageAreaEntered_ = false;
  bool quitting_ = false;
};

}  // namespace kivra::app
