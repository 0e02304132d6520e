#pragma once

#include <QDialog>

#include "common/language.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace kivra::app {

// `FindDialog1`: a modeless dialog that holds the text to look for; each press of its
// find-next button searches the editor once.
class FindDialog : public QDialog {
  Q_OBJECT
 public:
  explicit FindDialog(QWidget* parent);

  QString FindText() const;
  void SetFindText(const QString& text);
  void Retranslate(Language language);

  QPushButton* findNextButton() const { return findNext_; }

 signals:
  void FindNext();

 private:
  QLabel* label_;
  QLineEdit* text_;
  QPushButton* findNext_;
  QPushButton* close_;
};

}  // namespace kivra::app
