#pragma once

// The strip left of the program text inside the editor: each line's number, the code
// address and byte count the line had in the last successful check, and a mark on every
// line the check has a message for (red for an error, amber for a warning). Hovering a
// mark shows the message.

#include <QWidget>
#include <functional>
#include <map>
#include <vector>

#include "compiler/compile.h"

namespace kivra::app {

class ProgramEditor;

using LineMarks = std::map<int, compiler::Severity>;  // 1-based line -> the worst message on it

// Shows a line's messages as a tooltip, exactly as written (they hold '<' and '>').
void ShowLineTip(const QPoint& globalPos, const QString& text, QWidget* over);

class EditorGutter final : public QWidget {
  Q_OBJECT
 public:
  explicit EditorGutter(ProgramEditor* editor);

  void SetMarks(LineMarks marks);
  const LineMarks& Marks() const { return marks_; }
  // From a successful check; an empty list shows line numbers only.
  void SetLineCode(std::vector<compiler::LineCode> code);
  const std::vector<compiler::LineCode>& LineCode() const { return code_; }
  void SetTips(std::function<QString(int line)> tips) { tips_ = std::move(tips); }

  // Wide enough for the largest line number and a four-digit address.
  int PreferredWidth() const;
  // The text one line shows beside its number: "0034 3" (address, bytes), or nothing.
  static QString CodeText(const compiler::LineCode& code);

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;

 private:
  int LineAt(int y) const;

  ProgramEditor* editor_;
  LineMarks marks_;
  std::vector<compiler::LineCode> code_;
  std::function<QString(int)> tips_;
};

}  // namespace kivra::app
