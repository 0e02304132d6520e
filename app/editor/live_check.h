#pragma once

// The check that runs while the user types: shortly after the last edit the editor's text
// is compiled on the window's event loop (a program that fills the code memory compiles
// in well under a millisecond) and every line with a message is marked, its message the
// line's tooltip in the interface language of the moment. It never writes the message
// list, the change flags, the counters or the listing: those follow the check button.

#include <QObject>
#include <QTimer>
#include <vector>

#include "compiler/compile.h"

namespace kivra::app {

class ProgramEditor;
class UiLanguage;

class LiveCheck final : public QObject {
  Q_OBJECT
 public:
  static constexpr int kDelayMs = 150;

  LiveCheck(ProgramEditor* editor, const UiLanguage& language);

  // Checks the editor's text now (the timer's work; tests and benchmarks call it directly).
  void RunNow();
  // Marks from a check that just ran on the editor's text, such as the check button's.
  void Show(const compiler::CompileResult& result);
  bool Pending() const { return timer_.isActive(); }

  const std::vector<compiler::Diagnostic>& Diagnostics() const { return diagnostics_; }
  // Every entry for that 1-based line, as the message list would show it; empty for none.
  QString TipFor(int line) const;

 private:
  ProgramEditor* editor_;
  const UiLanguage& language_;
  QTimer timer_;
  std::vector<compiler::Diagnostic> diagnostics_;
};

}  // namespace kivra::app
