#pragma once

#include <QDialog>

#include "app/driver/port_choices.h"
#include "common/language.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace kivra::app {

// `TForm2`, the serial port dialog. Shown without being modal. Beside the number box it
// lists the serial devices present and the simulated driver, so that a port is picked
// rather than guessed; the link opens the chosen one when OK is pressed.
class PortDialog : public QDialog {
  Q_OBJECT
 public:
  explicit PortDialog(QWidget* parent);

  void SetCancelCaption(const QString& caption);
  void SetChoices(const QList<PortChoice>& choices, Language language);
  // Selects the list entry of `port`; a port number also goes into the number box.
  void ShowPort(const QString& port);
  // The selected list entry's port, or else the number box's text.
  QString ChosenPort() const;

  QLineEdit* numberBox() const { return number_; }       // MaskEdit1
  QListWidget* portList() const { return list_; }        // ListBox1
  QPushButton* okButton() const { return ok_; }          // Button1
  QPushButton* cancelButton() const { return cancel_; }  // Button2

 signals:
  // OK, or a double click on a list entry.
  void Chosen(const QString& port);
  void Cancelled();

 private:
  void ListSelectionChanged();

  QLineEdit* number_;
  QLabel* listCaption_;
  QListWidget* list_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace kivra::app
