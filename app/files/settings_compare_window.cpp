#include "app/files/settings_compare_window.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/ui/texts.h"
#include "app/ui/ui_language.h"
#include "app/ui/ui_look.h"

namespace kivra::app {
namespace {

QString Value(const params::Item& item, const std::optional<std::int64_t>& value,
              const UiLanguage& language) {
  if (!value) return language.Pick(texts::kCompareNotRead);
  return QString::fromStdString(params::FormatValue(item, *value));
}

}  // namespace

SettingsCompareWindow::SettingsCompareWindow(QWidget* parent) : QDialog(parent, Qt::Tool) {
  setObjectName(QStringLiteral("SettingsCompareWindow"));
  setModal(false);
  resize(380, 560);
  auto* layout = new QVBoxLayout(this);
  summary_ = new QLabel(this);
  summary_->setObjectName(QStringLiteral("SettingsCompareSummary"));
  summary_->setWordWrap(true);
  table_ = new QTableWidget(0, 3, this);
  table_->setObjectName(QStringLiteral("SettingsCompareTable"));
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  close_ = new QPushButton(this);
  close_->setObjectName(QStringLiteral("SettingsCompareClose"));
  connect(close_, &QPushButton::clicked, this, &QDialog::hide);
  layout->addWidget(summary_);
  layout->addWidget(table_);
  layout->addWidget(close_, 0, Qt::AlignRight);
  SetLanguage(Language::Turkish);
}

void SettingsCompareWindow::ShowComparison(const QString& filePath,
                                           const params::ParameterSet& file,
                                           const params::ParameterSet& driver, Language language) {
  filePath_ = filePath;
  file_ = file;
  driver_ = driver;
  language_.Set(language);
  Fill();
  show();
  raise();
  activateWindow();
}

void SettingsCompareWindow::SetLanguage(Language language) {
  language_.Set(language);
  Fill();
}

void SettingsCompareWindow::Fill() {
  setWindowTitle(language_.Pick(texts::kCompareTitle));
  close_->setText(language_.Pick(texts::kCompareClose));
  table_->setHorizontalHeaderLabels({language_.Pick(texts::kCompareName),
                                     language_.Pick(texts::kCompareFile),
                                     language_.Pick(texts::kCompareDriver)});
  table_->setRowCount(0);
  differences_ = 0;
  const auto items = params::Items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!file_.values[i]) continue;
    const bool differs = file_.values[i] != driver_.values[i];
    differences_ += differs ? 1 : 0;
    const int row = table_->rowCount();
    table_->insertRow(row);
    const QString cells[] = {
        QString::fromLatin1(items[i].name.data(), static_cast<qsizetype>(items[i].name.size())),
        Value(items[i], file_.values[i], language_), Value(items[i], driver_.values[i], language_)};
    for (int column = 0; column < 3; ++column) {
      auto* cell = new QTableWidgetItem(cells[column]);
      if (differs) {
        QFont bold = cell->font();
        bold.setBold(true);
        cell->setFont(bold);
        cell->setForeground(look::kRed);
      }
      table_->setItem(row, column, cell);
    }
  }
  const QString name = QFileInfo(filePath_).fileName();
  summaryText_ = differences_ == 0
                     ? language_.Pick(texts::kCompareEqual).arg(name)
                     : language_.Pick(texts::kCompareDiffers).arg(name).arg(differences_);
  summary_->setText(summaryText_);
}

}  // namespace kivra::app
