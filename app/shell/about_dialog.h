#pragma once

#include <QDialog>
#include <QLocale>

#include "common/language.h"

class QLabel;
class QPushButton;

namespace kivra::app {

// `TForm3`, the About box: the logo with the product's name, version and licence, the
// product titles in both languages, the program version and the firmware version of the
// driver that answered last.
class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  AboutDialog(QWidget* parent, const QString& versionText);

  // Title, product block and close button in the current language, the firmware line for
  // `firmwareTenths` (0 until a driver has answered) in the system's number format.
  void Prepare(Language language, int firmwareTenths, const QLocale& locale = QLocale::system());

  // "Driver Firmware Ver:" and the version in tenths as a number with two decimals.
  static QString FirmwareLine(int firmwareTenths, const QLocale& locale);

  QLabel* productBlock() const { return product_; }
  QLabel* versionLine() const { return version_; }     // StaticText5
  QLabel* firmwareLine() const { return firmware_; }   // StaticText7
  QPushButton* closeButton() const { return close_; }  // Button1

 private:
  void BuildHeader();
  void BuildTitles();

  QLabel* product_ = nullptr;
  QLabel* version_;
  QLabel* firmware_;
  QPushButton* close_;
};

}  // namespace kivra::app
