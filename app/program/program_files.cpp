#include "app/program/program_files.h"

#include <QFileInfo>

#include "app/editor/program_editor.h"
#include "app/files/document_state.h"
#include "app/files/program_file.h"
#include "app/files/settings_store.h"
#include "app/program/program_page.h"
#include "app/ui/prompts.h"
#include "app/ui/ui_language.h"

namespace kivra::app {
namespace {

const QString kDialogPattern = QStringLiteral("*.kv3");
const QString kSuffix = QStringLiteral("KV3");

// Names a file dialog can hand back that are no file at all.
bool IsNoFile(const QString& path) {
  return path == kDialogPattern || path == QStringLiteral(" ");
}

QStringList OpenFilters() {
#ifdef Q_OS_WIN
  return {ToQString(texts::kProgramFilesFilter), ToQString(texts::kAllFilesWindowsFilter)};
#else
  return {ToQString(texts::kProgramFilesAnyCaseFilter), ToQString(texts::kAllFilesFilter)};
#endif
}

QStringList SaveFilters() {
  return {ToQString(texts::kProgramFilesFilter)};
}

}  // namespace

ProgramFiles::ProgramFiles(QWidget* window, ProgramPage& page, DocumentState& document,
                           SettingsStore& settings, Prompts& prompts, const UiLanguage& language,
                           compiler::Clock clock, Hooks hooks)
    : window_(window),
      page_(page),
      document_(document),
      settings_(settings),
      prompts_(prompts),
      language_(language),
      clock_(std::move(clock)),
      hooks_(std::move(hooks)) {}

bool ProgramFiles::LoadProgramFile(const QString& path, FileReadError* why) {
  document_.selectedPath = path;
  page_.SetFileName(path);
  FileReadError error;
  const std::optional<QString> text = ReadProgramFile(path, error);
  if (!text) {
    if (why) *why = error;
    return false;
  }
  page_.editor()->SetProgramText(*text);
  document_.programChanged = false;
  document_.newProgramUnsaved = false;
  Remember(document_.selectedPath);
  return true;
}

void ProgramFiles::NewProgram() {
  // A fresh program must be saved, or a file loaded, before the next one is started.
  if (document_.newProgramUnsaved) return;
  if (prompts_.Show(window_, MessageKind::Confirmation, language_.Pick(texts::kStartNewProgram),
                    Buttons::YesNo) != Answer::Yes) {
    return;
  }
  if (!OfferToSave(texts::kSaveOnNew, false)) return;

  page_.editor()->SetProgramText(NewProgramHeader(language_.Current(), clock_()));
  page_.editor()->SetCaret(kNewProgramCaret);
  page_.messageList()->clear();
  page_.SetCodeCounters(0, compiler::CodeCapacity);
  ++document_.untitledCounter;
  page_.SetFileName(GeneratedProgramName(document_.untitledCounter));
  // The old text's "changed" state carries over to the new header on purpose: a program
  // that was not saved when asked stays marked until the new one is saved.
  document_.newProgramUnsaved = true;
  document_.sourceEdited = true;
  if (hooks_.clearListing) hooks_.clearListing();
}

bool ProgramFiles::OpenNamed(const QString& path) {
  // Read first: a name that leads nowhere must not cost the question or the editor's text.
  if (FileReadError error; !ReadProgramFile(path, error)) {
    ShowNotRead(path, error);
    return false;
  }
  if (!OfferToSave(texts::kSaveOnOpen, true)) return false;
  if (!LoadProgramFile(path)) return false;
  ClearMessages();
  if (hooks_.runCheck) hooks_.runCheck();
  return true;
}

void ProgramFiles::Open() {
  if (!OfferToSave(texts::kSaveOnOpen, true)) return;
  const QString directory =
      document_.currentFile.isEmpty() ? QString() : QFileInfo(document_.currentFile).path();
  const std::optional<QString> path = prompts_.OpenFileName(
      window_,
      {language_.Pick(texts::kOpenTitle), directory, kDialogPattern, OpenFilters(), kSuffix});
  if (!path) return;
  document_.selectedPath = *path;
  if (!IsProgramFileName(*path)) return;
  if (FileReadError error; !LoadProgramFile(*path, &error)) {
    // A file that cannot be opened is passed over in silence, as it always was; a name
    // that leads to no program file at all, or to one far too large, is explained.
    if (RefusedForWhatItIs(error.refusal)) ShowNotRead(*path, error);
    return;
  }
  ClearMessages();
  if (hooks_.runCheck) hooks_.runCheck();
}

SaveOutcome ProgramFiles::Save() {
  if (!document_.programChanged) return SaveOutcome::Unchanged;
  return Write();
}

std::optional<QString> ProgramFiles::SaveBeforeDebug() {
  if (HasFileName() && !document_.programChanged) return QString();
  if (Write() != SaveOutcome::Saved) return std::nullopt;
  return document_.currentFile;
}

bool ProgramFiles::HasFileName() const {
  return !document_.newProgramUnsaved && !page_.FileName().isEmpty();
}

SaveOutcome ProgramFiles::Write() {
  if (!HasFileName()) {
    // Without a file name a save is a save as, but one that counts: it clears the change
    // flags like any save.
    const QString offered = page_.FileName().isEmpty() ? kDialogPattern : page_.FileName();
    const std::optional<QString> path = prompts_.SaveFileName(
        window_, {language_.Pick(texts::kSaveTitle), QString(), offered, SaveFilters(), kSuffix});
    if (path) document_.selectedPath = *path;
    if (!path || IsNoFile(*path) || EditorEmpty()) {
      document_.saveSucceeded = false;
      return SaveOutcome::NotSaved;
    }
    ClearMessages();
    if (!ConfirmOverwrite(*path, false) || !WriteOrReport(*path)) {
      document_.saveSucceeded = false;
      return SaveOutcome::NotSaved;
    }
    page_.SetFileName(*path);
  } else {
    const QString path = page_.FileName();
    document_.selectedPath = path;
    if (IsNoFile(path) || EditorEmpty() || !WriteOrReport(path)) {
      document_.saveSucceeded = false;
      return SaveOutcome::NotSaved;
    }
  }
  Remember(document_.selectedPath);
  document_.saveSucceeded = true;
  document_.newProgramUnsaved = false;
  document_.programChanged = false;
  return SaveOutcome::Saved;
}

void ProgramFiles::SaveAs() {
  const QString offered = page_.FileName().isEmpty() ? kDialogPattern : page_.FileName();
  const std::optional<QString> path = prompts_.SaveFileName(
      window_, {language_.Pick(texts::kSaveTitle), QString(), offered, SaveFilters(), kSuffix});
  if (!path) return;
  document_.selectedPath = *path;
  if (IsNoFile(*path) || EditorEmpty()) return;
  ClearMessages();
  if (!ConfirmOverwrite(*path, true) || !WriteOrReport(*path)) return;
  // Save as leaves the change flags alone: a new program saved this way still asks for
  // its name on the next save, and exit still asks about changes.
  page_.SetFileName(*path);
  Remember(*path);
}

bool ProgramFiles::OfferToSave(const texts::Bilingual& question, bool withCancel) {
  if (!document_.programChanged) return true;
  const Answer answer = prompts_.Show(window_, MessageKind::Confirmation, language_.Pick(question),
                                      withCancel ? Buttons::YesNoCancel : Buttons::YesNo);
  if (answer == Answer::Cancel) return false;
  if (answer != Answer::Yes) return true;
  return Save() != SaveOutcome::NotSaved;
}

bool ProgramFiles::EditorEmpty() const {
  return page_.editor()->document()->isEmpty();
}

bool ProgramFiles::WriteOrReport(const QString& path) {
  if (WriteProgramFile(path, page_.editor()->toPlainText())) return true;
  prompts_.Show(window_, MessageKind::Warning,
                language_.Pick(texts::kSaveFailed) + QLatin1Char('\n') + path, Buttons::Ok);
  return false;
}

bool ProgramFiles::ConfirmOverwrite(const QString& path, bool saveAs) {
  if (!QFileInfo::exists(path)) return true;
  const QString question =
      QLatin1Char('"') + path + QLatin1Char('"') +
      language_.Pick(saveAs ? texts::kOverwriteOnSaveAs : texts::kOverwriteOnSave);
  return prompts_.Show(window_, MessageKind::Confirmation, question, Buttons::YesNo) == Answer::Yes;
}

void ProgramFiles::ShowNotRead(const QString& path, const FileReadError& error) {
  prompts_.Show(window_, MessageKind::Warning,
                language_.Pick(texts::kFileNotOpened) + QLatin1Char('\n') +
                    FileNotReadText(path, error, language_.Current()),
                Buttons::Ok);
}

void ProgramFiles::ClearMessages() {
  page_.messageList()->clear();
  page_.ClearSummary();
}

void ProgramFiles::Remember(const QString& path) {
  document_.currentFile = path;
  settings_.WriteSetting(setting::kLastFile, path);
  if (hooks_.remembered) hooks_.remembered(path);
}

}  // namespace kivra::app
