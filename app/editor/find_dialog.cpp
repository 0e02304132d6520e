#include "app/editor/find_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/ui/texts.h"
#include "app/ui/ui_language.h"

namespace kivra::app {

FindDialog::FindDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FindDialog1"));
  setModal(false);
  label_ = new QLabel(this);
  text_ = new QLineEdit(this);
  text_->setObjectName(QStringLiteral("FindText"));
  label_->setBuddy(text_);
  findNext_ = new QPushButton(this);
  findNext_->setObjectName(QStringLiteral("FindNextButton"));
  findNext_->setDefault(true);
  close_ = new QPushButton(this);

  auto* grid = new QGridLayout(this);
  grid->addWidget(label_, 0, 0);
  grid->addWidget(text_, 0, 1);
  grid->addWidget(findNext_, 0, 2);
  grid->addWidget(close_, 1, 2);
  text_->setMinimumWidth(200);

  connect(findNext_, &QPushButton::clicked, this, &FindDialog::FindNext);
  connect(close_, &QPushButton::clicked, this, &QDialog::hide);
  Retranslate(Language::Turkish);
}

QString FindDialog::FindText() const {
  return text_->text();
}

void FindDialog::SetFindText(const QString& text) {
  text_->setText(text);
  text_->selectAll();
}

void FindDialog::Retranslate(Language shown) {
  const UiLanguage language(shown);
  setWindowTitle(language.Pick(texts::kFindTitle));
  label_->setText(language.Pick(texts::kFindWhat));
  findNext_->setText(language.Pick(texts::kFindNext));
  close_->setText(language.Pick(texts::kFindClose));
}

}  // namespace kivra::app
