#pragma once

#include <QWidget>
#include <vector>

#include "compiler/compile.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace kivra::app {

class IndicatorShape;
class MessageList;
class ProgramEditor;

// The background of the check's summary line: red after errors, lime otherwise, the
// button face while no check has run.
enum class SummaryColour { ButtonFace, Red, Lime };

// `TabSheet1`, the programming page: the file-name bar, the editor with its status strip,
// the message list with the check's summary line, the script and debug switches and the
// compact driver status panel, each at its fixed place. Above the design size the editor
// and the message list take the extra room; the rest keeps its place beside them.
class ProgramPage : public QWidget {
  Q_OBJECT
 public:
  explicit ProgramPage(QWidget* parent);

  ProgramEditor* editor() const { return editor_; }               // RichEdit1
  MessageList* messageList() const { return messageList_; }       // RichEdit2
  QLabel* fileNameBar() const { return fileNameBar_; }            // StaticText5
  QLabel* summary() const { return summary_; }                    // StaticText3
  QLabel* lineBox() const { return lineBox_; }                    // StaticText6
  QLabel* columnBox() const { return columnBox_; }                // StaticText7
  QLabel* codeUsedBox() const { return codeUsed_; }               // StaticText8
  QLabel* codeRemainingBox() const { return codeRemaining_; }     // StaticText11
  QProgressBar* codeMemoryBar() const { return codeMemoryBar_; }  // code used of 2048
  QPushButton* debugButton() const { return debugButton_; }       // Button2
  IndicatorShape* debugShape() const { return debugShape_; }      // Shape25

  // The path the next save writes to, or the generated name of a new program, as the
  // file-name bar shows it.
  QString FileName() const { return fileName_; }
  void SetFileName(const QString& path);

  void ClearSummary();
  void SetSummary(const QString& text, app::SummaryColour colour);
  app::SummaryColour SummaryColour() const { return summaryColour_; }

  void SetCodeCounters(std::uint32_t used, std::uint32_t remaining);

  // The window's size beyond its design size (924 x 732); nothing moves at zero.
  void SetExtraRoom(const QSize& extra);

 signals:
  void FileNameChanged();

 private:
  void BuildStatusStrip();
  void BuildSwitches();

  // How a control follows the extra room: wider and taller, or moved right and down.
  struct Follow {
    QWidget* widget;
    QRect design;
    bool growWidth, moveRight, growEditor, belowEditor, growList;
  };
  std::vector<Follow> follows_;
  ProgramEditor* editor_;
  MessageList* messageList_;
  QLabel* fileNameBar_;
  QLabel* summary_;
  QString fileName_;
  QLabel* lineBox_ = nullptr;
  QLabel* columnBox_ = nullptr;
  QLabel* codeUsed_ = nullptr;
  QLabel* codeRemaining_ = nullptr;
  QProgressBar* codeMemoryBar_ = nullptr;
  QPushButton* debugButton_ = nullptr;
  IndicatorShape* debugShape_ = nullptr;
  app::SummaryColour summaryColour_ = app::SummaryColour::ButtonFace;
};

}  // namespace kivra::app
