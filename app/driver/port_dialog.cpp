#include "app/driver/port_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "app/driver/simulated_driver.h"
#include "app/ui/texts.h"
#include "app/ui/ui_language.h"
#include "app/ui/ui_look.h"

namespace kivra::app {
namespace {

// What the box may show: a port number, a device path, or the simulated driver's word.
bool IsBoxText(const QString& port) {
  bool number = false;
  port.trimmed().toUInt(&number, 10);
  return number || port.startsWith(QLatin1Char('/')) || port == SimulatedDriver::kSettingText;
}

}  // namespace

PortDialog::PortDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("TForm2"));
  setWindowTitle(ToQString(texts::kPortDialogTitle));
  setModal(false);
  setFixedSize(560, 150);
  look::AddLabel(this, QString(), ToQString(texts::kPortNumberCaption), {24, 22, 70, 17});
  number_ = new QLineEdit(this);
  number_->setObjectName(QStringLiteral("MaskEdit1"));
  number_->setGeometry(100, 20, 49, 21);
  // A port number (three digits reach every port a machine has), a device path typed in
  // full, or the simulated driver's word, which the box shows while the link is on it.
  number_->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("\\d{0,3}|/\\S*|SIM")), number_));
  number_->setText(QStringLiteral("1"));
  ok_ = new QPushButton(ToQString(texts::kPortOk), this);
  ok_->setObjectName(QStringLiteral("Button1"));
  ok_->setGeometry(24, 60, 75, 25);
  ok_->setDefault(true);
  cancel_ = new QPushButton(ToQString(texts::kPortCancel.turkish), this);
  cancel_->setObjectName(QStringLiteral("Button2"));
  cancel_->setGeometry(110, 60, 75, 25);

  listCaption_ = look::AddLabel(this, QString(), QString(), {210, 4, 338, 17});
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("ListBox1"));
  list_->setGeometry(210, 22, 338, 116);

  connect(ok_, &QPushButton::clicked, this, [this] { emit Chosen(ChosenPort()); });
  connect(cancel_, &QPushButton::clicked, this, &PortDialog::Cancelled);
  connect(list_, &QListWidget::itemSelectionChanged, this, &PortDialog::ListSelectionChanged);
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { emit Chosen(ChosenPort()); });
  // A number typed by hand wins over the list.
  connect(number_, &QLineEdit::textEdited, list_, &QListWidget::clearSelection);
}

void PortDialog::SetCancelCaption(const QString& caption) {
  cancel_->setText(caption);
}

void PortDialog::SetChoices(const QList<PortChoice>& choices, Language language) {
  const QString chosen = list_->selectedItems().isEmpty() ? QString() : ChosenPort();
  listCaption_->setText(UiLanguage(language).Pick(texts::kPortsPresent));
  list_->clear();
  for (const PortChoice& choice : choices) {
    auto* item = new QListWidgetItem(choice.label, list_);
    item->setData(Qt::UserRole, choice.port);
    item->setToolTip(choice.label);
  }
  if (!chosen.isEmpty()) ShowPort(chosen);
}

void PortDialog::ShowPort(const QString& port) {
  const QSignalBlocker quiet(list_);
  list_->clearSelection();
  for (int row = 0; row < list_->count(); ++row) {
    QListWidgetItem* item = list_->item(row);
    if (item->data(Qt::UserRole).toString() == port) {
      item->setSelected(true);
      list_->setCurrentItem(item);
      break;
    }
  }
  if (IsBoxText(port)) number_->setText(port.trimmed());
}

QString PortDialog::ChosenPort() const {
  const QList<QListWidgetItem*> selected = list_->selectedItems();
  if (!selected.isEmpty()) return selected.front()->data(Qt::UserRole).toString();
  return number_->text();
}

void PortDialog::ListSelectionChanged() {
  const QList<QListWidgetItem*> selected = list_->selectedItems();
  if (selected.isEmpty()) return;
  const QString port = selected.front()->data(Qt::UserRole).toString();
  if (IsBoxText(port)) number_->setText(port);
}

}  // namespace kivra::app
