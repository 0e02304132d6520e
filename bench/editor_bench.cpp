// The editor while typing and loading: a key press in a 2,000-line program that fills the
// code memory, with its recolouring and the check that follows typing; colouring a
// 10,000-line file as it loads; and a file that is one megabyte-long line.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTextBlock>

#include "app/editor/live_check.h"
#include "app/editor/program_editor.h"
#include "app/ui/ui_language.h"
#include "bench/full_program.h"

namespace {

using kivra::app::LiveCheck;
using kivra::app::ProgramEditor;

// The full program with comment lines between its lines, 2,000 lines in all.
QString TwoThousandLines() {
  const std::vector<std::string> program = kivra::bench::FullProgram();
  QStringList lines;
  const std::size_t comments = 2000 - program.size();
  for (std::size_t i = 0; i < program.size(); ++i) {
    lines << QString::fromStdString(program[i]);
    for (std::size_t c = i * comments / program.size(); c < (i + 1) * comments / program.size();
         ++c) {
      lines
          << QStringLiteral("       ; step %1 of the run, as it was set up on the machine").arg(c);
    }
  }
  return lines.join(QLatin1Char('\n'));
}

void Press(ProgramEditor& editor, Qt::Key key, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(&editor, &press);
}

// One key typed into line 1000 (or taken back with Backspace), its line recoloured, then
// the check the editor runs once typing stops.
void BM_KeyPressColourAndLiveCheck(benchmark::State& state) {
  kivra::app::UiLanguage language(kivra::Language::English);
  ProgramEditor editor(nullptr, {0, 0, 761, 373});
  LiveCheck live(&editor, language);
  editor.SetProgramText(TwoThousandLines());
  live.RunNow();
  if (editor.blockCount() < 2000 || !live.Diagnostics().empty()) {
    state.SkipWithError("benchmark program is not a clean 2,000-line program");
    return;
  }
  QTextCursor at(editor.document()->findBlockByNumber(999));
  at.movePosition(QTextCursor::EndOfBlock);
  editor.setTextCursor(at);
  bool typed = false;
  for (auto _ : state) {
    if (typed) {
      Press(editor, Qt::Key_Backspace, QStringLiteral("\b"));
    } else {
      Press(editor, Qt::Key_Space, QStringLiteral(" "));
    }
    typed = !typed;
    live.RunNow();
  }
  state.counters["lines"] = editor.blockCount();
}
BENCHMARK(BM_KeyPressColourAndLiveCheck)->Unit(benchmark::kMicrosecond);

QString TenThousandLines() {
  const std::vector<std::string> program = kivra::bench::FullProgram();
  QStringList lines;
  for (int i = 0; lines.size() < 10000; ++i)
    lines << QString::fromStdString(program[i % (program.size() - 1)]);
  return lines.join(QLatin1Char('\n'));
}

// A 10,000-line file put into the editor: every line coloured before it returns.
void BM_LoadAndColourTenThousandLines(benchmark::State& state) {
  const QString text = TenThousandLines();
  ProgramEditor editor(nullptr, {0, 0, 761, 373});
  for (auto _ : state) editor.SetProgramText(text);
  state.counters["lines"] = editor.blockCount();
}
BENCHMARK(BM_LoadAndColourTenThousandLines)->Unit(benchmark::kMillisecond);

// The same without colours, for comparison: what the text box itself costs.
void BM_LoadTenThousandLinesPlain(benchmark::State& state) {
  const QString text = TenThousandLines();
  QPlainTextEdit editor;
  for (auto _ : state) editor.setPlainText(text);
}
BENCHMARK(BM_LoadTenThousandLinesPlain)->Unit(benchmark::kMillisecond);

// A file of one megabyte-long line: loaded, coloured and checked.
void BM_LoadMegabyteLine(benchmark::State& state) {
  const QString text = QStringLiteral("SPEED = 1 ") + QString(1 << 20, QLatin1Char('7')) +
                       QStringLiteral(";\nEND;\n");
  kivra::app::UiLanguage language(kivra::Language::English);
  ProgramEditor editor(nullptr, {0, 0, 761, 373});
  LiveCheck live(&editor, language);
  for (auto _ : state) {
    editor.SetProgramText(text);
    live.RunNow();
  }
}
BENCHMARK(BM_LoadMegabyteLine)->Unit(benchmark::kMillisecond);

}  // namespace
