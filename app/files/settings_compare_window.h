#pragma once

#include <QDialog>
#include <optional>

#include "app/ui/ui_language.h"
#include "common/language.h"
#include "params/param_set.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace kivra::app {

// The comparison of a parameter file with a driver: one row per value of the file, with
// the file's and the driver's value side by side, the differences marked and counted.
// A window of its own beside the main window, not modal; its texts follow the language.
class SettingsCompareWindow : public QDialog {
  Q_OBJECT
 public:
  explicit SettingsCompareWindow(QWidget* parent);

  // Shows the comparison (and the window).
  void ShowComparison(const QString& filePath, const params::ParameterSet& file,
                      const params::ParameterSet& driver, Language language);
  void SetLanguage(Language language);

  QTableWidget* table() const { return table_; }
  QLabel* summary() const { return summary_; }
  // The summary line as shown: the file is the same as the driver, or how many differ.
  QString SummaryText() const { return summaryText_; }
  int Differences() const { return differences_; }

 private:
  void Fill();

  QLabel* summary_;
  QTableWidget* table_;
  QPushButton* close_;
  QString filePath_;
  params::ParameterSet file_;
  params::ParameterSet driver_;
  UiLanguage language_;
  int differences_ = 0;
  QString summaryText_;
};

}  // namespace kivra::app
