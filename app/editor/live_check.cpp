#include "app/editor/live_check.h"

#include "app/editor/program_editor.h"
#include "app/ui/ui_language.h"
#include "compiler/messages.h"

namespace kivra::app {

LiveCheck::LiveCheck(ProgramEditor* editor, const UiLanguage& language)
    : QObject(editor), editor_(editor), language_(language) {
  timer_.setSingleShot(true);
  timer_.setInterval(kDelayMs);
  connect(&timer_, &QTimer::timeout, this, &LiveCheck::RunNow);
  connect(editor->document(), &QTextDocument::contentsChange, this,
          [this](int, int removed, int added) {
            if (removed > 0 || added > 0) timer_.start();
          });
  editor->SetLineTips([this](int line) { return TipFor(line); });
}

void LiveCheck::RunNow() {
  timer_.stop();
  const std::string text = editor_->toPlainText().toStdString();
  Show(compiler::Compile(compiler::SplitLines(text), language_.Current(), {}));
}

void LiveCheck::Show(const compiler::CompileResult& result) {
  diagnostics_ = result.diagnostics;
  LineMarks marks;
  for (const compiler::Diagnostic& d : diagnostics_) {
    if (d.line == 0) continue;
    auto [mark, added] = marks.try_emplace(static_cast<int>(d.line), d.severity);
    if (!added && d.severity == compiler::Severity::Error) mark->second = d.severity;
  }
  editor_->SetMarks(marks);
  if (result.programValid) editor_->gutter()->SetLineCode(result.lineCode);
}

QString LiveCheck::TipFor(int line) const {
  std::string tip;
  for (const compiler::Diagnostic& d : diagnostics_) {
    if (d.line == static_cast<std::uint32_t>(line))
      tip += compiler::RenderEntry(d, language_.Current());
  }
  if (!tip.empty()) tip.pop_back();
  return QString::fromStdString(tip);
}

}  // namespace kivra::app
