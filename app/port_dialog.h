#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace kivra::app {

// `TForm2`, the serial port number dialog. It is shown without being modal; the link
// opens the chosen port when OK is pressed.
class PortDialog : public QDialog {
  Q_OBJECT
 public:
  explicit PortDialog(QWidget* parent);

  // The cancel button's caption follows the language each time the dialog is shown.
  void ShowFor(bool english);

  QLineEdit* numberBox() const { return number_; }    // MaskEdit1
  QPushButton* okButton() const { return ok_; }       // Button1
  QPushButton* cancelButton() const { return cancel_; }  // Button2

 private:
  QLineEdit* number_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace kivra::app
