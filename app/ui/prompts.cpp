#include "app/ui/prompts.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/ui/texts.h"
#include "app/ui/ui_language.h"

namespace kivra::app {
namespace {

QMessageBox::Icon IconFor(MessageKind kind) {
  switch (kind) {
    case MessageKind::Confirmation:
      return QMessageBox::Question;
    case MessageKind::Warning:
      return QMessageBox::Warning;
    case MessageKind::Information:
      return QMessageBox::Information;
    case MessageKind::Error:
      return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsFor(Buttons buttons) {
  switch (buttons) {
    case Buttons::Ok:
      return QMessageBox::Ok;
    case Buttons::Yes:
      return QMessageBox::Yes;
    case Buttons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

// A message box that a Yes/No question turns deaf to Escape and to its close button: a
// stray key must never answer a question like "save before exit?", where No throws the
// program away.
class QuestionBox final : public QMessageBox {
 public:
  QuestionBox(Icon icon, const QString& text, StandardButtons buttons, QWidget* parent,
              bool mustAnswer)
      : QMessageBox(icon, ToQString(texts::kWindowTitle), text, buttons, parent),
        mustAnswer_(mustAnswer) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (mustAnswer_ && event->matches(QKeySequence::Cancel)) {
      event->accept();
      return;
    }
    QMessageBox::keyPressEvent(event);
  }
  void closeEvent(QCloseEvent* event) override {
    if (mustAnswer_ && !clickedButton()) {
      event->ignore();
      return;
    }
    QMessageBox::closeEvent(event);
  }

 private:
  bool mustAnswer_;
};

std::optional<QString> RunFileDialog(QWidget* parent, const FileDialogRequest& request, bool save) {
  QFileDialog dialog(parent, request.title);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // The shell asks its own overwrite question, in the interface language.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  dialog.setNameFilters(request.filters);
  dialog.setDefaultSuffix(request.defaultSuffix);
  if (!request.directory.isEmpty()) dialog.setDirectory(request.directory);
  const QFileInfo offered(request.fileName);
  if (!request.fileName.isEmpty() && offered.isAbsolute()) {
    dialog.setDirectory(offered.absolutePath());
    dialog.selectFile(offered.fileName());
  } else if (!request.fileName.isEmpty()) {
    dialog.selectFile(request.fileName);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

}  // namespace

Answer LeastChangingAnswer(Buttons buttons) {
  switch (buttons) {
    case Buttons::Ok:
      return Answer::Ok;
    case Buttons::Yes:
      return Answer::Yes;
    case Buttons::YesNo:
      return Answer::No;
    case Buttons::YesNoCancel:
      return Answer::Cancel;
  }
  return Answer::Cancel;
}

Answer WidgetPrompts::Show(QWidget* parent, MessageKind kind, const QString& text,
                           Buttons buttons) {
  QuestionBox box(IconFor(kind), text, ButtonsFor(buttons), parent, buttons == Buttons::YesNo);
  switch (box.exec()) {
    case QMessageBox::Ok:
      return Answer::Ok;
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    case QMessageBox::Cancel:
      return Answer::Cancel;
    default:
      break;
  }
  return LeastChangingAnswer(buttons);
}

std::optional<QString> WidgetPrompts::OpenFileName(QWidget* parent,
                                                   const FileDialogRequest& request) {
  return RunFileDialog(parent, request, false);
}

std::optional<QString> WidgetPrompts::SaveFileName(QWidget* parent,
                                                   const FileDialogRequest& request) {
  return RunFileDialog(parent, request, true);
}

std::optional<int> WidgetPrompts::AskLineNumber(QWidget* parent, const QString& title,
                                                const QString& label, int current, int last) {
  bool ok = false;
  const int line =
      QInputDialog::getInt(parent, title, label, current, 1, std::max(1, last), 1, &ok);
  if (!ok) return std::nullopt;
  return line;
}

std::optional<QString> WidgetPrompts::PickPort(QWidget* parent, const QList<PortChoice>& choices,
                                               Language language) {
  QDialog dialog(parent);
  dialog.setWindowTitle(ToQString(texts::kPortDialogTitle));
  auto* column = new QVBoxLayout(&dialog);
  column->addWidget(new QLabel(UiLanguage(language).Pick(texts::kChoosePort), &dialog));
  auto* list = new QListWidget(&dialog);
  for (const PortChoice& choice : choices) list->addItem(choice.label);
  list->setCurrentRow(0);
  list->setMinimumWidth(420);
  column->addWidget(list);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Cancel)->setText(UiLanguage(language).Pick(texts::kPortCancel));
  column->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
  if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0) return std::nullopt;
  return choices.at(list->currentRow()).port;
}

}  // namespace kivra::app
