#pragma once

#include <QString>
#include <functional>

#include "app/texts.h"
#include "compiler/compile.h"

class QWidget;

namespace kivra::app {

struct DocumentState;
class ProgramPage;
class Prompts;
class SettingsStore;
class UiLanguage;

// The file commands of the main window: new program, open, save, save as and the load
// that open and start-up share. They work on the editor and the file-name bar of the
// programming page and keep the document state and LASTFILE up to date.
class ProgramFiles {
 public:
  struct Hooks {
    std::function<void()> runCheck;       // after a program was opened
    std::function<void()> clearListing;   // a new program has no listing yet
  };

  ProgramFiles(QWidget* window, ProgramPage& page, DocumentState& document, SettingsStore& settings,
               Prompts& prompts, const UiLanguage& language, compiler::Clock clock, Hooks hooks);

  // Shows `path` in the file-name bar and loads it into the editor; false, with nothing
  // else changed and no message, when the file can't be read.
  bool LoadProgramFile(const QString& path);

  void NewProgram();
  void Open();
  // Does nothing unless the program changed; sets saveSucceeded otherwise.
  void Save();
  void SaveAs();

  // Before the program in the editor is discarded: when it changed, asks `question` and
  // saves on Yes. True when the caller may go on; false on Cancel and when a save that
  // was asked for did not happen.
  bool OfferToSave(const Bilingual& question, bool withCancel);

 private:
  bool EditorEmpty() const;
  bool WriteOrReport(const QString& path);
  bool ConfirmOverwrite(const QString& path, bool saveAs);
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
