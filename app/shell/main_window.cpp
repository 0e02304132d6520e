#include "app/shell/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/driver/download_window.h"
#include "app/driver/driver_side.h"
#include "app/driver/port_dialog.h"
#include "app/editor/editor_text.h"
#include "app/editor/find_dialog.h"
#include "app/editor/live_check.h"
#include "app/editor/program_editor.h"
#include "app/files/program_file.h"
#include "app/files/recent_files.h"
#include "app/files/settings_store.h"
#include "app/panels/direct_control_page.h"
#include "app/program/program_files.h"
#include "app/program/program_page.h"
#include "app/shell/about_dialog.h"
#include "app/shell/command_code_window.h"
#include "app/shell/help_window.h"
#include "app/shell/tool_bar.h"
#include "app/ui/captions.h"
#include "app/ui/prompts.h"
#include "app/ui/texts.h"
#include "app/ui/ui_look.h"
#include "app/watch/watch_windows.h"
#include "common/version.h"
#include "compiler/messages.h"

namespace kivra::app {
namespace {

// The window's size as designed; above it the editor and the message list grow.
constexpr QSize kDesignSize{924, 732};
constexpr QPoint kDesignPlace{226, 76};

// `r` moved, and made smaller where it must be, to lie whole within `screen`.
QRect Within(QRect r, const QRect& screen) {
  r.setSize(r.size().boundedTo(screen.size()));
  r.moveLeft(std::clamp(r.left(), screen.left(), screen.right() - r.width() + 1));
  r.moveTop(std::clamp(r.top(), screen.top(), screen.bottom() - r.height() + 1));
  return r;
}

// The screen that shows most of `r`, the primary one when none shows any of it.
QRect ScreenFor(const QRect& r) {
  QRect best = QGuiApplication::primaryScreen()->availableGeometry();
  qint64 shown = 0;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect part = screen->availableGeometry().intersected(r);
    const qint64 area = qint64(part.width()) * part.height();
    if (area > shown) {
      shown = area;
      best = screen->availableGeometry();
    }
  }
  return best;
}

}  // namespace

MainWindow::MainWindow(MainWindowServices services)
    : settings_(services.settings),
      prompts_(services.prompts),
      clock_(std::move(services.clock)),
      helpRoot_(std::move(services.helpRoot)),
      openAtStart_(std::move(services.openAtStart)),
      lastCheck_(std::make_unique<compiler::CompileResult>()) {
  language_.Set(
      UiLanguage::FromSetting(settings_.ReadSetting(setting::kLanguage, QStringLiteral("0"))));
  qtTranslations_.Follow(language_.Current());
  BuildWindow();
  CreateSecondaryWindows();
  toolBar_->ShowLanguageImage(language_.Current());
  ApplyLanguage();

  files_ = std::make_unique<ProgramFiles>(
      this, *programPage_, document_, settings_, prompts_, language_, clock_,
      ProgramFiles::Hooks{[this] { CheckProgram(); }, [this] { ClearListing(); },
                          [this](const QString& path) { RememberRecent(path); }});
  liveCheck_ = new LiveCheck(programPage_->editor(), language_);
  recentFiles_ = ParseRecentFiles(settings_.ReadSetting(setting::kRecentFiles, QString()));
  RefreshRecentMenu();
  CreateDriverSide(services);
  watch_ =
      new WatchWindows(this, menu_.settings, toolBar_->statusText(), *link_, language_, prompts_);
  ConnectCommands();
  ConnectKeys();
  ConnectEditor();
  setAcceptDrops(true);
  RefreshTitle();
  RestorePlace();
}

MainWindow::~MainWindow() {
  // The widgets are deleted after the members they report to; nothing they send on the way
  // out may reach this window.
  for (QObject* sender : std::initializer_list<QObject*>{
           programPage_->editor(), programPage_->editor()->document(), programPage_->messageList(),
           pages_, programPage_, commandCodes_, find_}) {
    sender->disconnect(this);
  }
  // The watch windows listen to the link: they go before it.
  delete watch_;
  watch_ = nullptr;
  // The link goes first: its timer and port stop before the windows it draws into.
  link_.reset();
}

void MainWindow::CreateDriverSide(const MainWindowServices& services) {
  // Before debugging starts, an edited program is checked, saved and loaded again; the
  // flag is cleared first, so after a failed check or save the next click turns debugging
  // on without another attempt.
  PrepareDebug prepareDebug = [this]() -> std::optional<AddressLines> {
    if (document_.sourceEdited) {
      document_.sourceEdited = false;
      CheckProgram();
      if (!lastCheck_->programValid) return std::nullopt;
      // The success read here is this attempt's own; a program without a file is asked
      // for one first.
      const std::optional<QString> written = files_->SaveBeforeDebug();
      RefreshTitle();
      if (!written) return std::nullopt;
      // Only the file the save just wrote comes back: never another file's text.
      if (!written->isEmpty()) files_->LoadProgramFile(*written);
      RefreshTitle();
    }
    return lastCheck_->addressLines;
  };
  link_ = std::make_unique<DriverSide>(
      DriverSideWindows{this, programPage_->editor(), directPage_, portDialog_, download_,
                        toolBar_->statusText()},
      std::move(prepareDebug), settings_, prompts_, language_,
      DriverSide::Options{services.driverPort, services.simulatedDriver, services.serialLogFolder});
}

void MainWindow::BuildWindow() {
  setObjectName(QStringLiteral("TForm1"));
  setWindowTitle(ToQString(texts::kWindowTitle));
  setFont(look::UiFont());
  move(kDesignPlace);
  resize(kDesignSize);

  menu_ = MainMenu::Build(menuBar());
  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  toolBar_ = new MainToolBar(central);
  column->addWidget(toolBar_);

  pages_ = new QTabWidget(central);
  pages_->setObjectName(QStringLiteral("PageControl1"));
  programPage_ = new ProgramPage(pages_);
  directPage_ = new DirectControlPage(pages_);
  pages_->addTab(programPage_, QString());
  pages_->addTab(directPage_, QString());
  column->addWidget(pages_, 1);
  setCentralWidget(central);
}

void MainWindow::CreateSecondaryWindows() {
  portDialog_ = new PortDialog(this);
  about_ = new AboutDialog(
      this, QString::fromUtf8(kVersionText.data(), static_cast<qsizetype>(kVersionText.size())));
  download_ = new DownloadWindow(this);
  commandCodes_ = new CommandCodeWindow(this);
  find_ = new FindDialog(this);
  help_ = new HelpWindow(this, helpRoot_);
  // Only the main window's close ends the run.
  for (QWidget* window : std::initializer_list<QWidget*>{portDialog_, about_, download_,
                                                         commandCodes_, find_, help_}) {
    window->setAttribute(Qt::WA_QuitOnClose, false);
  }
}

void MainWindow::ConnectCommands() {
  const auto run = [this](QToolButton* button, QAction* item, auto command) {
    connect(button, &QToolButton::clicked, this, command);
    if (item) connect(item, &QAction::triggered, this, command);
  };
  ProgramFiles* files = files_.get();
  // The title follows whatever a file command did to the name and the change flag.
  const auto thenTitle = [this](auto command) {
    return [this, command] {
      command();
      RefreshTitle();
    };
  };
  run(toolBar_->newProgram(), menu_.newProgram, thenTitle([files] { files->NewProgram(); }));
  run(toolBar_->open(), menu_.open, thenTitle([files] { files->Open(); }));
  run(toolBar_->save(), menu_.save, thenTitle([files] { files->Save(); }));
  run(toolBar_->saveAs(), menu_.saveAs, thenTitle([files] { files->SaveAs(); }));
  run(toolBar_->check(), menu_.check, [this] { CheckProgram(); });
  run(toolBar_->download(), menu_.download, [this] { Download(); });
  run(toolBar_->find(), nullptr, [this] { Find(); });
  run(toolBar_->undo(), menu_.undo, [this] { programPage_->editor()->undo(); });
  run(toolBar_->language(), nullptr, [this] { SwitchLanguage(); });
  connect(menu_.find, &QAction::triggered, this, &MainWindow::Find);
  connect(menu_.redo, &QAction::triggered, this, [this] { programPage_->editor()->redo(); });
  connect(menu_.findNext, &QAction::triggered, this, &MainWindow::FindNextOrAsk);
  connect(menu_.goToLine, &QAction::triggered, this, &MainWindow::GoToLine);

  connect(menu_.exit, &QAction::triggered, this, &MainWindow::Exit);
  connect(menu_.comPort, &QAction::triggered, this, [this] { link_->ShowPortDialog(); });
  connect(menu_.commandCode, &QAction::triggered, this, &MainWindow::SetCommandCodesWanted);
  connect(menu_.helpContents, &QAction::triggered, this,
          [this] { help_->ShowContents(language_.Current()); });
  connect(menu_.guide, &QAction::triggered, this,
          [this] { help_->ShowGuide(language_.Current()); });
  connect(menu_.about, &QAction::triggered, this, &MainWindow::ShowAbout);
  connect(commandCodes_, &CommandCodeWindow::Closed, this,
          [this] { SetCommandCodesWanted(false); });
  connect(find_, &FindDialog::FindNext, this, &MainWindow::FindNext);
  connect(pages_, &QTabWidget::currentChanged, this, &MainWindow::PageChanged);
}

// The keys of the tool bar's commands, shown in their tooltips; the menus carry the same.
void MainWindow::ConnectKeys() {
  toolBar_->SetKey(toolBar_->newProgram(), menu_.newProgram->shortcut());
  toolBar_->SetKey(toolBar_->open(), menu_.open->shortcut());
  toolBar_->SetKey(toolBar_->save(), menu_.save->shortcut());
  toolBar_->SetKey(toolBar_->saveAs(), menu_.saveAs->shortcut());
  toolBar_->SetKey(toolBar_->check(), menu_.check->shortcut());
  toolBar_->SetKey(toolBar_->download(), menu_.download->shortcut());
  toolBar_->SetKey(toolBar_->find(), menu_.find->shortcut());
  toolBar_->SetKey(toolBar_->undo(), menu_.undo->shortcut());
}

void MainWindow::ConnectEditor() {
  ProgramEditor* editor = programPage_->editor();
  connect(editor, &ProgramEditor::CharacterKeyPressed, this, &MainWindow::MarkTyped);
  connect(editor, &ProgramEditor::EditedByUser, this, [this] {
    document_.programChanged = true;
    document_.sourceEdited = true;
    RefreshTitle();
  });
  // Opened once the drop is over: the save question must not run inside the drag.
  connect(editor, &ProgramEditor::ProgramFileDropped, this, &MainWindow::OpenNamed,
          Qt::QueuedConnection);
  connect(programPage_, &ProgramPage::FileNameChanged, this, &MainWindow::RefreshTitle);
  connect(editor->document(), &QTextDocument::contentsChanged, this,
          &MainWindow::ProgramTextChanged);
  connect(editor, &QPlainTextEdit::cursorPositionChanged, this, &MainWindow::UpdateLineColumn);
  connect(editor, &QPlainTextEdit::selectionChanged, this, &MainWindow::UpdateLineColumn);
  connect(editor, &ProgramEditor::FindRequested, this, &MainWindow::Find);
  connect(editor, &ProgramEditor::HelpRequested, this, &MainWindow::ContextHelp);
  connect(programPage_->messageList(), &MessageList::LineClicked, this,
          &MainWindow::JumpToMessageLine);
}

void MainWindow::ApplyLanguage() {
  ApplyCaptions({this, commandCodes_}, language_.Current());
  if (watch_) watch_->LanguageChanged();
}

void MainWindow::SwitchLanguage() {
  language_.Toggle();
  qtTranslations_.Follow(language_.Current());
  toolBar_->ShowLanguageImage(language_.Current());
  ApplyLanguage();
  link_->LanguageChanged();
  settings_.WriteSetting(setting::kLanguage, UiLanguage::ToSetting(language_.Current()));
}

// --- Start-up and the end of the run ---

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  ShowStep();
  QTimer::singleShot(0, this, &MainWindow::EnterPageArea);
}

void MainWindow::ShowStep() {
  if (const auto& refused = settings_.Refused()) {
    prompts_.Show(this, MessageKind::Warning,
                  language_.Pick(texts::kSettingsNotKept) + QLatin1Char('\n') +
                      FileNotReadText(refused->path, refused->error, language_.Current()),
                  Buttons::Ok);
  }
  // The link is idle and the remembered port open before the last program is loaded; a
  // port that cannot be opened is reported and start-up goes on.
  link_->StartUp();
  document_.currentFile = settings_.ReadSetting(setting::kLastFile, QString());
  if (!document_.currentFile.isEmpty() && files_->LoadProgramFile(document_.currentFile)) {
    programPage_->messageList()->clear();
    programPage_->ClearSummary();
  }
}

// Runs once: running it again when the focus comes back would throw away the editor's text.
void MainWindow::EnterPageArea() {
  if (pageAreaEntered_) return;
  pageAreaEntered_ = true;
  pages_->setCurrentWidget(programPage_);
  ProgramEditor* editor = programPage_->editor();
  editor->setFocus();
  editor->SetProgramText(QString());
  programPage_->messageList()->clear();
  listingText_.clear();
  document_.programChanged = false;
  document_.newProgramUnsaved = false;
  programPage_->lineBox()->setText(QStringLiteral("1"));
  programPage_->columnBox()->setText(QStringLiteral("1"));

  document_.currentFile = settings_.ReadSetting(setting::kLastFile, QString());
  if (!document_.currentFile.isEmpty() && files_->LoadProgramFile(document_.currentFile)) {
    programPage_->ClearSummary();
    CheckProgram();
  }
  if (!openAtStart_.isEmpty()) files_->OpenNamed(QFileInfo(openAtStart_).absoluteFilePath());
  RefreshTitle();
}

void MainWindow::Exit() {
  if (!files_->OfferToSave(texts::kSaveOnExit, true)) return;
  quitting_ = true;
  close();
  QCoreApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // The title bar's close button and the window manager's close key ask as Exit does, with
  // Cancel: a close clicked by mistake must not cost the program.
  if (!quitting_ && !files_->OfferToSave(texts::kSaveOnClose, true)) {
    // Cancel, or Yes answered but nothing saved: the program stays open with its text.
    event->ignore();
    return;
  }
  for (QWidget* window :
       std::initializer_list<QWidget*>{portDialog_, download_, commandCodes_, find_, help_}) {
    window->hide();
  }
  RememberPlace();
  event->accept();
}

// The window opens where it was last closed, with its size and maximised state. A place that
// no screen shows whole any more (a monitor unplugged, a smaller screen) is moved onto the
// screen that shows most of it, and made smaller where it must be. Without the setting, or
// with one that is no place, it opens at its design place and size.
void MainWindow::RestorePlace() {
  if (!settings_.Holds(setting::kWindow)) return;
  const QByteArray stored =
      QByteArray::fromBase64(settings_.ReadSetting(setting::kWindow, QString()).toLatin1());
  if (!restoreGeometry(stored)) {
    move(kDesignPlace);
    resize(kDesignSize);
    return;
  }
  if (!isMaximized() && !isFullScreen()) setGeometry(Within(geometry(), ScreenFor(geometry())));
}

void MainWindow::RememberPlace() {
  settings_.WriteSetting(setting::kWindow, QString::fromLatin1(saveGeometry().toBase64()));
}

// --- The check and the command-code window ---

void MainWindow::CheckProgram() {
  checkedText_ = programPage_->editor()->toPlainText();
  const Language language = language_.Current();
  *lastCheck_ =
      compiler::Compile(compiler::SplitLines(checkedText_.toStdString()), language, clock_);
  const compiler::CompileResult& result = *lastCheck_;

  compiler::RenderedMessages rendered =
      compiler::RenderMessages(result.diagnostics, result.stamp, language);
  programPage_->messageList()->ShowCheck(QString::fromStdString(rendered.text),
                                         std::move(rendered.rowLines), language);
  programPage_->SetSummary(QString::fromStdString(compiler::TotalsLine(
                               result.errorCount, result.warningCount, language)),
                           result.errorCount != 0 ? SummaryColour::Red : SummaryColour::Lime);
  if (result.countersSet) programPage_->SetCodeCounters(result.codeUsed, result.codeRemaining);
  listingText_ = QString::fromStdString(result.listingText);
  if (menu_.commandCode->isChecked()) RefreshCommandCodes();
  liveCheck_->Show(result);
  if (link_) link_->AddressLinesChanged(result.addressLines);
}

void MainWindow::SetCommandCodesWanted(bool wanted) {
  menu_.commandCode->setChecked(wanted);
  if (wanted) {
    RefreshCommandCodes();
  } else {
    commandCodes_->setEnabled(false);
    commandCodes_->hide();
  }
}

void MainWindow::RefreshCommandCodes() {
  commandCodes_->setEnabled(true);
  commandCodes_->SetListing(listingText_);
  commandCodes_->show();
}

void MainWindow::ClearListing() {
  listingText_.clear();
  if (menu_.commandCode->isChecked()) RefreshCommandCodes();
}

// --- The editor and the message list ---

void MainWindow::MarkTyped() {
  if (!programPage_->editor()->isReadOnly()) document_.programChanged = true;
  document_.sourceEdited = true;
}

void MainWindow::UpdateLineColumn() {
  const ProgramEditor* editor = programPage_->editor();
  const int position = editor->SelectionStart();
  const QTextBlock block = editor->document()->findBlock(position);
  programPage_->lineBox()->setText(QString::number(block.blockNumber() + 1));
  programPage_->columnBox()->setText(QString::number(position - block.position() + 1));
}

void MainWindow::Find() {
  ProgramEditor* editor = programPage_->editor();
  find_->move(editor->mapToGlobal(QPoint(editor->width(), 100)));
  QString selected = editor->textCursor().selectedText();
  selected.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  find_->SetFindText(selected);
  // No selection afterwards, the caret at its end: the first find-next searches from the top.
  QTextCursor cursor = editor->textCursor();
  cursor.setPosition(cursor.selectionEnd());
  editor->setTextCursor(cursor);
  find_->Retranslate(language_.Current());
  find_->show();
  find_->raise();
  find_->activateWindow();
}

void MainWindow::FindNext() {
  ProgramEditor* editor = programPage_->editor();
  const QTextCursor cursor = editor->textCursor();
  const int start = cursor.hasSelection() ? cursor.selectionEnd() : 0;
  const QString what = find_->FindText();
  const qsizetype found =
      what.isEmpty() ? -1 : editor->toPlainText().indexOf(what, start, Qt::CaseSensitive);
  if (found < 0) {
    prompts_.Show(find_, MessageKind::Warning, language_.Pick(texts::kEndOfSearch), Buttons::Yes);
    return;
  }
  editor->setFocus();
  editor->SelectRange(static_cast<int>(found), static_cast<int>(what.size()));
}

void MainWindow::ContextHelp() {
  const ProgramEditor* editor = programPage_->editor();
  const QString word =
      HelpWordAt(editor->toPlainText(), editor->SelectionStart(), editor->SelectionLength());
  if (word.isEmpty()) {
    help_->ShowContents(language_.Current());
  } else {
    help_->ShowTopic(language_.Current(), word);
  }
}

void MainWindow::JumpToMessageLine(int line, Language writtenIn) {
  // A list written in the other language is not read: its markers are not this language's.
  if (writtenIn != language_.Current()) return;
  ProgramEditor* editor = programPage_->editor();
  // The text may have changed since the check: a line that is gone selects nothing.
  const std::optional<TextRange> range = MessageJumpSelection(editor->toPlainText(), line);
  if (!range) return;
  editor->setFocus();
  editor->SelectRange(range->start, range->length);
}

// --- Other windows and pages ---

void MainWindow::ShowAbout() {
  about_->Prepare(language_.Current(), link_->engine().Variables().firmwareVersion);
  about_->exec();
}

bool MainWindow::OnProgrammingPage() const {
  return pages_->currentWidget() == programPage_;
}

void MainWindow::PageChanged() {
  const bool programming = OnProgrammingPage();
  toolBar_->SetProgrammingButtonsEnabled(programming);
  menu_.SetFileCommandsEnabled(programming);
  menu_.recent->setEnabled(programming && !recentFiles_.isEmpty());
  if (!programming) directPage_->SetMemoryAccessVisible(false);
}

void MainWindow::Download() {
  // Exactly the program on screen goes to the driver: a text that is not the one the last
  // successful check ran on (edited since, or replaced by New or Open) is checked first,
  // and only a valid one is sent; otherwise the message list says why.
  if (!lastCheck_->programValid || programPage_->editor()->toPlainText() != checkedText_)
    CheckProgram();
  // The name the driver keeps is the name of the program on screen.
  downloadedText_ = checkedText_;
  link_->StartDownload(*lastCheck_, programPage_->FileName());
}

// "Program downloaded" describes the program on screen: once the text is another (a new
// program, one opened, an edit), it goes.
void MainWindow::ProgramTextChanged() {
  if (downloadedText_.isNull() || programPage_->editor()->toPlainText() == downloadedText_) return;
  downloadedText_ = QString();
  link_->ProgramReplaced();
}

void MainWindow::GoToLine() {
  ProgramEditor* editor = programPage_->editor();
  const int last = std::max(1, editor->blockCount());
  const QString label =
      language_.Pick(texts::kGoToLineLabel) + QString::number(last) + QStringLiteral("):");
  const std::optional<int> line =
      prompts_.AskLineNumber(this, language_.Pick(texts::kGoToLineTitle), label,
                             editor->textCursor().blockNumber() + 1, last);
  if (!line) return;
  editor->setFocus();
  editor->SetCaret(
      editor->document()->findBlockByNumber(std::clamp(*line, 1, last) - 1).position());
  editor->ensureCursorVisible();
}

void MainWindow::FindNextOrAsk() {
  if (find_->FindText().isEmpty()) {
    Find();
  } else {
    FindNext();
  }
}

void MainWindow::OpenNamed(const QString& path) {
  if (!OnProgrammingPage()) return;
  files_->OpenNamed(path);
  RefreshTitle();
}

// --- Title, recent files, size and drops ---

void MainWindow::RefreshTitle() {
  QString title = ToQString(texts::kWindowTitle);
  const QString name = programPage_->FileName();
  if (!name.isEmpty()) title += QStringLiteral(" - ") + QFileInfo(name).fileName();
  if (document_.programChanged)
    title += name.isEmpty() ? QStringLiteral(" *") : QStringLiteral("*");
  setWindowTitle(title);
}

void MainWindow::RememberRecent(const QString& path) {
  const QStringList recent = AddRecentFile(recentFiles_, path);
  if (recent == recentFiles_) return;
  recentFiles_ = recent;
  settings_.WriteSetting(setting::kRecentFiles, StoreRecentFiles(recentFiles_));
  // Rebuilt once the current command is over: it may be one of the items going away.
  QTimer::singleShot(0, this, &MainWindow::RefreshRecentMenu);
}

void MainWindow::RefreshRecentMenu() {
  menu_.recent->clear();
  for (qsizetype i = 0; i < recentFiles_.size(); ++i) {
    const QString path = recentFiles_[i];
    QString caption = path;
    caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* item = menu_.recent->addAction(QStringLiteral("&%1  %2").arg(i + 1).arg(caption));
    connect(item, &QAction::triggered, this, [this, path] {
      FileReadError error;
      const bool readable = ReadProgramFile(path, error).has_value();
      OpenNamed(path);  // says so when it can't read the file
      if (readable) return;
      recentFiles_ = RemoveRecentFile(recentFiles_, path);
      settings_.WriteSetting(setting::kRecentFiles, StoreRecentFiles(recentFiles_));
      QTimer::singleShot(0, this, &MainWindow::RefreshRecentMenu);
    });
  }
  menu_.recent->setEnabled(OnProgrammingPage() && !recentFiles_.isEmpty());
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  programPage_->SetExtraRoom(size() - kDesignSize);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (OnProgrammingPage() && !DroppedProgramFile(event->mimeData()).isEmpty())
    event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QString path = DroppedProgramFile(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  // Opened once the drop is over: the save question must not run inside the drag.
  QTimer::singleShot(0, this, [this, path] { OpenNamed(path); });
}

}  // namespace kivra::app
