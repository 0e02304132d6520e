#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace kivra::app {

// `TForm5`: the listing of the last check beside the main window, on top of the others.
class CommandCodeWindow : public QWidget {
  Q_OBJECT
 public:
  explicit CommandCodeWindow(QWidget* parent);

  void SetListing(const QString& listing);

 signals:
  // Closed with its title-bar button.
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  QPlainTextEdit* listing_;
  bool placed_ = false;
};

}  // namespace kivra::app
