#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

#include "common/language.h"

class QPushButton;
class QTextBrowser;

namespace kivra::app {

// The help viewer: one HTML document per language, a contents page (index.html) and one
// page per keyword named after it in upper case (SPEED.html), under `root`/tr and
// `root`/en. The application's own help is compiled in under ":/help".
class HelpWindow : public QWidget {
  Q_OBJECT
 public:
  HelpWindow(QWidget* parent, const QString& root);

  void ShowContents(Language language);
  // The user guide (guide.html): the window, the driver, the tools and the command line.
  void ShowGuide(Language language);
  // The contents first, then the keyword's page when there is one for `word`.
  void ShowTopic(Language language, const QString& word);

  QUrl CurrentSource() const;

  // The page file for a word at the caret: the word itself when it names a page, else its
  // leading letters ("SPEED=1200" finds SPEED). Empty when there is no such page.
  QString TopicFile(Language language, const QString& word) const;

 private:
  void Retranslate(Language language);
  void Open(const QString& file, Language language);
  QUrl UrlFor(const QString& file) const;

  QString root_;
  QTextBrowser* browser_;
  QPushButton* contents_;
  QPushButton* back_;
  QPushButton* forward_;
  Language language_ = Language::Turkish;
};

}  // namespace kivra::app
