#include "app/port_dialog.h"

#include <QLineEdit>
#include <QPushButton>

#include "app/texts.h"
#include "app/ui_language.h"
#include "app/ui_look.h"

namespace kivra::app {

PortDialog::PortDialog(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("TForm2"));
  setWindowTitle(QStringLiteral("Com Port"));
  setModal(false);
  setFixedSize(209, 105);
  look::AddLabel(this, QString(), QStringLiteral("Comm port "), {24, 22, 70, 17});
  number_ = new QLineEdit(QStringLiteral("1"), this);
  number_->setObjectName(QStringLiteral("MaskEdit1"));
  number_->setGeometry(100, 20, 49, 21);
  number_->setInputMask(QStringLiteral("999"));
  number_->setText(QStringLiteral("1"));
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  ok_->setObjectName(QStringLiteral("Button1"));
  ok_->setGeometry(24, 60, 75, 25);
  cancel_ = new QPushButton(QStringLiteral("IPTAL"), this);
  cancel_->setObjectName(QStringLiteral("Button2"));
  cancel_->setGeometry(110, 60, 75, 25);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::hide);
}

void PortDialog::ShowFor(bool english) {
  cancel_->setText(UiLanguage(english).Pick(text::kPortCancel));
  show();
  raise();
  activateWindow();
}

}  // namespace kivra::app
