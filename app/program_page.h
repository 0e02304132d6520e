#pragma once

#include <QWidget>

#include "compiler/compile.h"

class QLabel;
class QPushButton;

namespace kivra::app {

class DriverStatusPanel;
class IndicatorShape;
class MessageList;
class ProgramEditor;

// `TabSheet1`, the programming page: the file-name bar, the editor with its status strip,
// the message list with the check's summary line, the script and debug switches and the
// compact driver status panel, each at its fixed place.
class ProgramPage : public QWidget {
  Q_OBJECT
 public:
  explicit ProgramPage(QWidget* parent);

  ProgramEditor* editor() const { return editor_; }            // RichEdit1
  MessageList* messageList() const { return messageList_; }    // RichEdit2
  QLabel* fileNameBar() const { return fileNameBar_; }         // StaticText5
  QLabel* summary() const { return summary_; }                 // StaticText3
  QLabel* lineBox() const { return lineBox_; }                 // StaticText6
  QLabel* columnBox() const { return columnBox_; }             // StaticText7
  QLabel* codeUsedBox() const { return codeUsed_; }            // StaticText8
  QLabel* codeRemainingBox() const { return codeRemaining_; }  // StaticText11
  QPushButton* scriptButton() const { return scriptButton_; }  // Button3
  IndicatorShape* scriptShape() const { return scriptShape_; } // Shape26
  QPushButton* debugButton() const { return debugButton_; }    // Button2
  IndicatorShape* debugShape() const { return debugShape_; }   // Shape25
  DriverStatusPanel* statusPanel() const { return statusPanel_; }

  QString FileName() const;
  void SetFileName(const QString& path);

  void ClearSummary();
  void SetSummary(const QString& text, compiler::SummaryColour colour);
  compiler::SummaryColour SummaryColour() const { return summaryColour_; }

  void SetCodeCounters(std::uint32_t used, std::uint32_t remaining);

 private:
  void BuildStatusStrip();
  void BuildSwitches();

  ProgramEditor* editor_;
  MessageList* messageList_;
  QLabel* fileNameBar_;
  QLabel* summary_;
  QLabel* lineBox_ = nullptr;
  QLabel* columnBox_ = nullptr;
  QLabel* codeUsed_ = nullptr;
  QLabel* codeRemaining_ = nullptr;
  QPushButton* scriptButton_ = nullptr;
  IndicatorShape* scriptShape_ = nullptr;
  QPushButton* debugButton_ = nullptr;
  IndicatorShape* debugShape_ = nullptr;
  DriverStatusPanel* statusPanel_;
  compiler::SummaryColour summaryColour_ = compiler::SummaryColour::ButtonFace;
};

}  // namespace kivra::app
