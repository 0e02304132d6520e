#pragma once

// A stand-in for the message boxes and file dialogs: answers come from queues, and every
// box and dialog shown is recorded.

#include <deque>
#include <optional>
#include <vector>

#include "app/ui/prompts.h"

namespace kivra::app::testing {

class ScriptedPrompts final : public Prompts {
 public:
  struct Shown {
    MessageKind kind;
    QString text;
    Buttons buttons;
  };

  std::deque<Answer> answers;
  std::deque<QString> fileNames;               // a null QString() cancels the dialog
  std::deque<std::optional<int>> lineNumbers;  // the go-to-line answers; nothing cancels
  std::vector<Shown> shown;
  std::vector<FileDialogRequest> dialogs;
  // The port prompt: the port of the line to pick, a null QString() to cancel.
  std::deque<QString> ports;
  std::vector<QList<PortChoice>> portPrompts;

  Answer Show(QWidget*, MessageKind kind, const QString& text, Buttons buttons) override {
    shown.push_back({kind, text, buttons});
    if (!answers.empty()) {
      const Answer answer = answers.front();
      answers.pop_front();
      return answer;
    }
    return LeastChangingAnswer(buttons);  // unscripted
  }

  std::optional<QString> OpenFileName(QWidget*, const FileDialogRequest& request) override {
    return Next(request);
  }
  std::optional<QString> SaveFileName(QWidget*, const FileDialogRequest& request) override {
    return Next(request);
  }

  std::optional<int> AskLineNumber(QWidget*, const QString&, const QString& label, int,
                                   int) override {
    lineQuestions.push_back(label);
    if (lineNumbers.empty()) return std::nullopt;
    const std::optional<int> line = lineNumbers.front();
    lineNumbers.pop_front();
    return line;
  }
  std::vector<QString> lineQuestions;

  std::optional<QString> PickPort(QWidget*, const QList<PortChoice>& choices, Language) override {
    portPrompts.push_back(choices);
    if (ports.empty() || ports.front().isNull()) {
      if (!ports.empty()) ports.pop_front();
      return std::nullopt;
    }
    const QString port = ports.front();
    ports.pop_front();
    return port;
  }

  QString LastText() const { return shown.empty() ? QString() : shown.back().text; }

 private:
  std::optional<QString> Next(const FileDialogRequest& request) {
    dialogs.push_back(request);
    if (fileNames.empty()) return std::nullopt;
    const QString name = fileNames.front();
    fileNames.pop_front();
    if (name.isNull()) return std::nullopt;
    return name;
  }
};

}  // namespace kivra::app::testing
