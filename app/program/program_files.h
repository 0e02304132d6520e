#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "app/ui/texts.h"
#include "common/file_read.h"
#include "compiler/compile.h"

class QWidget;

namespace kivra::app {

struct DocumentState;
class ProgramPage;
class Prompts;
class SettingsStore;
class UiLanguage;

// What a save did.
enum class SaveOutcome {
  Unchanged,  // nothing to save: the program was not changed
  Saved,
  NotSaved,  // cancelled, refused or failed; the program stays marked as changed
};

// The file commands of the main window: new program, open, save, save as and the load
// that open and start-up share. They work on the editor and the file-name bar of the
// programming page and keep the document state and LASTFILE up to date.
class ProgramFiles {
 public:
  struct Hooks {
    std::function<void()> runCheck;      // after a program was opened
    std::function<void()> clearListing;  // a new program has no listing yet
    std::function<void(const QString&)>
        remembered;  // a program was loaded or saved under this path
  };

  ProgramFiles(QWidget* window, ProgramPage& page, DocumentState& document, SettingsStore& settings,
               Prompts& prompts, const UiLanguage& language, compiler::Clock clock, Hooks hooks);

  // Shows `path` in the file-name bar and loads it into the editor; false, with nothing
  // else changed and no message, when the file can't be read (`why`, when given, says why).
  bool LoadProgramFile(const QString& path, FileReadError* why = nullptr);

  void NewProgram();
  void Open();
  // Opens a program named from outside the open dialog (recent files, a drop, the command
  // line) as Open does: the save question, the load, the check. A file that can't be read
  // is reported and changes nothing. True when it was loaded.
  bool OpenNamed(const QString& path);
  // Does nothing unless the program changed; sets saveSucceeded otherwise. A program
  // without a file name (a new one, or text typed before anything was loaded) asks for
  // one with the save dialog.
  SaveOutcome Save();
  void SaveAs();

  // Before debugging, the program in the editor must be the one in its file: a program
  // without a file asks where to save it even when unchanged, a changed one is saved. The
  // path this attempt wrote, empty when nothing needed writing; nothing when it was not
  // saved.
  std::optional<QString> SaveBeforeDebug();

  // Before the program in the editor is discarded: when it changed, asks `question` and
  // saves on Yes. True when the caller may go on; false on Cancel and when a save that
  // was asked for did not happen.
  bool OfferToSave(const texts::Bilingual& question, bool withCancel);

 private:
  SaveOutcome Write();
  bool HasFileName() const;
  bool EditorEmpty() const;
  bool WriteOrReport(const QString& path);
  bool ConfirmOverwrite(const QString& path, bool saveAs);
  // "Program dosyası açılamadı!" and why.
  void ShowNotRead(const QString& path, const FileReadError& error);
  void ClearMessages();
  void Remember(const QString& path);

  QWidget* window_;
  ProgramPage& page_;
  DocumentState& document_;
  SettingsStore& settings_;
  Prompts& prompts_;
  const UiLanguage& language_;
  compiler::Clock clock_;
  Hooks hooks_;
};

}  // namespace kivra::app
