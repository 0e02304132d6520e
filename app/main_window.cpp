#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QTabWidget>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/about_dialog.h"
#include "app/command_code_window.h"
#include "app/direct_control_page.h"
#include "app/download_window.h"
#include "app/driver_link.h"
#include "app/editor_text.h"
#include "app/find_dialog.h"
#include "app/fixed_texts.h"
#include "app/help_window.h"
#include "app/port_dialog.h"
#include "app/program_editor.h"
#include "app/program_files.h"
#include "app/program_page.h"
#include "app/prompts.h"
#include "app/settings_store.h"
#include "app/tool_bar.h"
#include "app/ui_look.h"

namespace kivra::app {

MainWindow::MainWindow(MainWindowServices services)
    : settings_(services.settings),
      prompts_(services.prompts),
      clock_(std::move(services.clock)),
      helpRoot_(std::move(services.helpRoot)),
      lastCheck_(std::make_unique<compiler::CompileResult>()) {
  language_.SetEnglish(UiLanguage::FromSetting(settings_.ReadSetting(setting::kLanguage, QStringLiteral("0"))));
  BuildWindow();
  CreateSecondaryWindows();
  toolBar_->ShowLanguageImage(language_.IsEnglish());
  ApplyLanguage();

  files_ = std::make_unique<ProgramFiles>(
      this, *programPage_, document_, settings_, prompts_, language_, clock_,
      ProgramFiles::Hooks{[this] { CheckProgram(); }, [this] { ClearListing(); }});
  CreateDriverLink(services);
  ConnectCommands();
  ConnectEditor();
}

MainWindow::~MainWindow() {
  // The widgets are deleted after the members they report to; nothing they send on the way
  // out may reach this window.
  for (QObject* sender : std::initializer_list<QObject*>{programPage_->editor(), programPage_->messageList(), pages_,
                                                         commandCodes_, find_}) {
    sender->disconnect(this);
  }
  // The link goes first: its timer and port stop before the windows it draws into.
  link_.reset();
}

void MainWindow::CreateDriverLink(const MainWindowServices& services) {
  DriverLinkHooks hooks{
      [this] { return document_.sourceEdited; },
      [this] { document_.sourceEdited = false; },
      [this] {
        CheckProgram();
        return lastCheck_->programValid;
      },
      [this] {
        files_->Save();
        return document_.saveSucceeded;
      },
      [this] { files_->LoadProgramFile(document_.selectedPath); },
      [this](std::uint16_t address) { return lastCheck_->addressLines.at(address); },
  };
  link_ = std::make_unique<DriverLink>(
      DriverLinkWindows{this, programPage_, directPage_, portDialog_, download_}, std::move(hooks),
      settings_, prompts_, language_,
      DriverLink::Options{services.driverPort, services.simulatedDriver, services.serialLogFolder});
}

void MainWindow::BuildWindow() {
  setObjectName(QStringLiteral("TForm1"));
  setWindowTitle(QStringLiteral("Kivra-PS"));
  setFont(look::UiFont());
  move(226, 76);
  resize(924, 732);

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
  about_ = new AboutDialog(this, QString::fromUtf8(text::kVersionText));
  download_ = new DownloadWindow(this);
  commandCodes_ = new CommandCodeWindow(this);
  find_ = new FindDialog(this);
  help_ = new HelpWindow(this, helpRoot_);
  // Only the main window's close ends the run.
  for (QWidget* window : std::initializer_list<QWidget*>{portDialog_, about_, download_, commandCodes_, find_, help_}) {
    window->setAttribute(Qt::WA_QuitOnClose, false);
  }
}

void MainWindow::ConnectCommands() {
  const auto run = [this](QToolButton* button, QAction* item, auto command) {
    connect(button, &QToolButton::clicked, this, command);
    if (item) connect(item, &QAction::triggered, this, command);
  };
  ProgramFiles* files = files_.get();
  run(toolBar_->newProgram(), menu_.newProgram, [files] { files->NewProgram(); });
  run(toolBar_->open(), menu_.open, [files] { files->Open(); });
  run(toolBar_->save(), menu_.save, [files] { files->Save(); });
  run(toolBar_->saveAs(), menu_.saveAs, [files] { files->SaveAs(); });
  run(toolBar_->check(), nullptr, [this] { CheckProgram(); });
  run(toolBar_->download(), nullptr, [this] { Download(); });
  run(toolBar_->find(), nullptr, [this] { Find(); });
  run(toolBar_->undo(), nullptr, [this] { programPage_->editor()->undo(); });
  run(toolBar_->language(), nullptr, [this] { SwitchLanguage(); });

  connect(menu_.exit, &QAction::triggered, this, &MainWindow::Exit);
  connect(menu_.comPort, &QAction::triggered, this, [this] { link_->ShowPortDialog(); });
  connect(menu_.commandCode, &QAction::triggered, this, &MainWindow::SetCommandCodesWanted);
  connect(menu_.helpContents, &QAction::triggered, this, [this] { help_->ShowContents(language_.IsEnglish()); });
  connect(menu_.about, &QAction::triggered, this, &MainWindow::ShowAbout);
  connect(commandCodes_, &CommandCodeWindow::Closed, this, [this] { SetCommandCodesWanted(false); });
  connect(find_, &FindDialog::FindNext, this, &MainWindow::FindNext);
  connect(pages_, &QTabWidget::currentChanged, this, &MainWindow::PageChanged);
}

void MainWindow::ConnectEditor() {
  ProgramEditor* editor = programPage_->editor();
  connect(editor, &ProgramEditor::CharacterKeyPressed, this, &MainWindow::MarkTyped);
  connect(editor, &ProgramEditor::EditedByUser, this, [this] {
    document_.programChanged = true;
    document_.sourceEdited = true;
  });
  connect(editor, &QPlainTextEdit::cursorPositionChanged, this, &MainWindow::UpdateLineColumn);
  connect(editor, &QPlainTextEdit::selectionChanged, this, &MainWindow::UpdateLineColumn);
  connect(editor, &ProgramEditor::FindRequested, this, &MainWindow::Find);
  connect(editor, &ProgramEditor::HelpRequested, this, &MainWindow::ContextHelp);
  connect(programPage_->messageList(), &MessageList::LineClicked, this, &MainWindow::JumpToMessageLine);
}

void MainWindow::ApplyLanguage() { ApplyFixedTexts({this, commandCodes_}, language_.IsEnglish()); }

void MainWindow::SwitchLanguage() {
  language_.Toggle();
  toolBar_->ShowLanguageImage(language_.IsEnglish());
  ApplyLanguage();
  link_->LanguageChanged();
  settings_.WriteSetting(setting::kLanguage, UiLanguage::ToSetting(language_.IsEnglish()));
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
}

void MainWindow::Exit() {
  if (!files_->OfferToSave(text::kSaveOnExit, true)) return;
  quitting_ = true;
  close();
  QCoreApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!quitting_ && !files_->OfferToSave(text::kSaveOnClose, false)) {
    // Yes was answered but nothing was saved: keep the program open with its text.
    event->ignore();
    return;
  }
  for (QWidget* window : std::initializer_list<QWidget*>{portDialog_, download_, commandCodes_, find_, help_}) {
    window->hide();
  }
  event->accept();
}

// --- The check and the command-code window ---

void MainWindow::CheckProgram() {
  const std::string text = programPage_->editor()->toPlainText().toStdString();
  *lastCheck_ = compiler::Compile(compiler::SplitLines(text), language_.CompilerLanguage(), clock_);
  const compiler::CompileResult& result = *lastCheck_;

  programPage_->messageList()->setPlainText(QString::fromStdString(result.messages));
  programPage_->SetSummary(QString::fromStdString(result.summaryText), result.summaryColour);
  if (result.countersSet) programPage_->SetCodeCounters(result.codeUsed, result.codeRemaining);
  listingText_ = QString::fromStdString(result.listingText);
  if (menu_.commandCode->isChecked()) RefreshCommandCodes();
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
  find_->Retranslate(language_.IsEnglish());
  find_->show();
  find_->raise();
  find_->activateWindow();
}

void MainWindow::FindNext() {
  ProgramEditor* editor = programPage_->editor();
  const QTextCursor cursor = editor->textCursor();
  const int start = cursor.hasSelection() ? cursor.selectionEnd() : 0;
  const QString what = find_->FindText();
  const qsizetype found = what.isEmpty() ? -1 : editor->toPlainText().indexOf(what, start, Qt::CaseSensitive);
  if (found < 0) {
    prompts_.Show(find_, MessageKind::Warning, language_.Pick(text::kEndOfSearch), Buttons::Yes);
    return;
  }
  editor->setFocus();
  editor->SelectRange(static_cast<int>(found), static_cast<int>(what.size()));
}

void MainWindow::ContextHelp() {
  const ProgramEditor* editor = programPage_->editor();
  const QString word = HelpWordAt(editor->toPlainText(), editor->SelectionStart(), editor->SelectionLength());
  if (word.isEmpty()) {
    help_->ShowContents(language_.IsEnglish());
  } else {
    help_->ShowTopic(language_.IsEnglish(), word);
  }
}

void MainWindow::JumpToMessageLine(const QString& line) {
  const MessageLineTarget target = ParseMessageLine(line, language_.IsEnglish());
  if (target.kind == MessageLineTarget::Kind::NoMarker) return;
  if (target.kind == MessageLineTarget::Kind::BadNumber) {
    prompts_.Show(this, MessageKind::Information, language_.Pick(text::kLineNumberError), Buttons::Ok);
    return;
  }
  ProgramEditor* editor = programPage_->editor();
  // The text may have changed since the check: a line that is gone selects nothing.
  const std::optional<TextRange> range = MessageJumpSelection(editor->toPlainText(), target.line);
  if (!range) return;
  editor->setFocus();
  editor->SelectRange(range->start, range->length);
}

// --- Other windows and pages ---

void MainWindow::ShowAbout() {
  about_->Prepare(language_.IsEnglish(), link_->engine().Variables().firmwareVersion);
  about_->exec();
}

void MainWindow::PageChanged() {
  const bool programming = pages_->currentWidget() == programPage_;
  toolBar_->SetProgrammingButtonsEnabled(programming);
  menu_.SetFileCommandsEnabled(programming);
  if (!programming) directPage_->SetMemoryAccessVisible(false);
}

void MainWindow::Download() { link_->StartDownload(*lastCheck_, document_.selectedPath); }

}  // namespace kivra::app
