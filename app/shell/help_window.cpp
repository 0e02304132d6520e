#include "app/shell/help_window.h"

#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/ui/texts.h"
#include "app/ui/ui_language.h"

namespace kivra::app {
namespace {

QString LanguageFolder(Language language) {
  return IsEnglish(language) ? QStringLiteral("en") : QStringLiteral("tr");
}

// Topic names are keywords: letters and digits only, so that a word from the editor can
// never reach a file outside the help folder.
bool IsTopicName(const QString& name) {
  if (name.isEmpty()) return false;
  for (QChar c : name) {
    if (!(c >= QLatin1Char('A') && c <= QLatin1Char('Z')) &&
        !(c >= QLatin1Char('0') && c <= QLatin1Char('9')) && c != QLatin1Char('_')) {
      return false;
    }
  }
  return true;
}

QString LeadingLetters(const QString& word) {
  qsizetype n = 0;
  while (n < word.size() && word[n] >= QLatin1Char('A') && word[n] <= QLatin1Char('Z')) ++n;
  return word.left(n);
}

}  // namespace

HelpWindow::HelpWindow(QWidget* parent, const QString& root)
    : QWidget(parent, Qt::Window), root_(root) {
  setObjectName(QStringLiteral("HelpWindow"));
  resize(720, 640);

  browser_ = new QTextBrowser(this);
  browser_->setObjectName(QStringLiteral("HelpBrowser"));
  browser_->setOpenExternalLinks(true);
  contents_ = new QPushButton(this);
  back_ = new QPushButton(this);
  forward_ = new QPushButton(this);
  back_->setEnabled(false);
  forward_->setEnabled(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(contents_);
  buttons->addWidget(back_);
  buttons->addWidget(forward_);
  buttons->addStretch(1);
  auto* column = new QVBoxLayout(this);
  column->addLayout(buttons);
  column->addWidget(browser_);

  connect(contents_, &QPushButton::clicked, this, [this] { ShowContents(language_); });
  connect(back_, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(forward_, &QPushButton::clicked, browser_, &QTextBrowser::forward);
  connect(browser_, &QTextBrowser::backwardAvailable, back_, &QPushButton::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QPushButton::setEnabled);
  Retranslate(Language::Turkish);
}

void HelpWindow::Retranslate(Language language) {
  language_ = language;
  const UiLanguage words(language);
  setWindowTitle(words.Pick(texts::kHelpTitle));
  contents_->setText(words.Pick(texts::kHelpContents));
  back_->setText(words.Pick(texts::kHelpBack));
  forward_->setText(words.Pick(texts::kHelpForward));
}

QString HelpWindow::TopicFile(Language language, const QString& word) const {
  const QString upper = word.trimmed().toUpper();
  for (const QString& name : {upper, LeadingLetters(upper)}) {
    if (!IsTopicName(name)) continue;
    const QString file = root_ + QLatin1Char('/') + LanguageFolder(language) + QLatin1Char('/') +
                         name + QStringLiteral(".html");
    if (QFile::exists(file)) return file;
  }
  return {};
}

QUrl HelpWindow::UrlFor(const QString& file) const {
  // Resource paths (":/help/...") become qrc URLs so that relative links between pages work.
  if (file.startsWith(QLatin1Char(':'))) return QUrl(QStringLiteral("qrc") + file);
  return QUrl::fromLocalFile(file);
}

void HelpWindow::Open(const QString& file, Language language) {
  Retranslate(language);
  if (QFile::exists(file)) {
    browser_->setSource(UrlFor(file));
  } else {
    browser_->setHtml(
        QStringLiteral("<p>%1<br><code>%2</code></p>")
            .arg(UiLanguage(language).Pick(texts::kHelpMissing), file.toHtmlEscaped()));
  }
  show();
  raise();
  activateWindow();
}

void HelpWindow::ShowContents(Language language) {
  Open(root_ + QLatin1Char('/') + LanguageFolder(language) + QStringLiteral("/index.html"),
       language);
}

void HelpWindow::ShowGuide(Language language) {
  Open(root_ + QLatin1Char('/') + LanguageFolder(language) + QStringLiteral("/guide.html"),
       language);
}

void HelpWindow::ShowTopic(Language language, const QString& word) {
  ShowContents(language);
  const QString file = TopicFile(language, word);
  if (!file.isEmpty()) browser_->setSource(UrlFor(file));
}

QUrl HelpWindow::CurrentSource() const {
  return browser_->source();
}

}  // namespace kivra::app
