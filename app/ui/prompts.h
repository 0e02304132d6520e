#pragma once

// Every modal question, message box and file dialog of the shell goes through this
// interface, so that tests can answer them and read what was asked.

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "common/language.h"

class QWidget;

namespace kivra::app {

enum class MessageKind { Confirmation, Warning, Information, Error };
enum class Buttons { Ok, Yes, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };

// The answer that changes least: what a box closed without a choice means.
Answer LeastChangingAnswer(Buttons buttons);

// One line of the port lists (the port dialog's and the prompt for port number 0).
struct PortChoice {
  QString label;  // what the user reads: the device, its number, its description
  QString port;   // what is opened and stored: "3", a device path, or "SIM"
};

struct FileDialogRequest {
  QString title;
  QString directory;      // where the dialog starts; empty for the last one used
  QString fileName;       // offered in the name field
  QStringList filters;    // "Kivra3 program files (*.KV3)", ...
  QString defaultSuffix;  // added when the typed name has none
};

class Prompts {
 public:
  virtual ~Prompts() = default;

  // Shows a modal box and returns the button pressed. Escape and the title bar's close
  // button count as Cancel where there is one and as the only button of a one-button box;
  // a Yes/No question ignores them, so a stray key never answers it.
  virtual Answer Show(QWidget* parent, MessageKind kind, const QString& text, Buttons buttons) = 0;

  // The chosen path, or nothing when the dialog was cancelled.
  virtual std::optional<QString> OpenFileName(QWidget* parent,
                                              const FileDialogRequest& request) = 0;
  virtual std::optional<QString> SaveFileName(QWidget* parent,
                                              const FileDialogRequest& request) = 0;

  // A line number from 1 to `last`, offering `current`; nothing when cancelled.
  virtual std::optional<int> AskLineNumber(QWidget* parent, const QString& title,
                                           const QString& label, int current, int last) = 0;

  // The serial component's question when port number 0 is opened: the port of the
  // chosen line, or nothing when the user cancelled.
  virtual std::optional<QString> PickPort(QWidget* parent, const QList<PortChoice>& choices,
                                          Language language) = 0;
};

// The real boxes and dialogs.
class WidgetPrompts final : public Prompts {
 public:
  Answer Show(QWidget* parent, MessageKind kind, const QString& text, Buttons buttons) override;
  std::optional<QString> OpenFileName(QWidget* parent, const FileDialogRequest& request) override;
  std::optional<QString> SaveFileName(QWidget* parent, const FileDialogRequest& request) override;
  std::optional<int> AskLineNumber(QWidget* parent, const QString& title, const QString& label,
                                   int current, int last) override;
  std::optional<QString> PickPort(QWidget* parent, const QList<PortChoice>& choices,
                                  Language language) override;
};

}  // namespace kivra::app
