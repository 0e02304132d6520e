#pragma once

#include <QFrame>
#include <QIcon>
#include <QKeySequence>
#include <array>

#include "app/ui/controls.h"
#include "common/language.h"

class QLabel;
class QToolButton;

namespace kivra::app {

// `ImageList1`: the tool bar's eleven 32 x 32 images, drawn from the SVGs in app/icons.
// Image 4 is kept for its index but shown by no button.
class ToolBarImages {
 public:
  static constexpr int kCount = 11;
  static constexpr int kTurkishToEnglish = 10;  // shown while the interface is Turkish
  static constexpr int kEnglishToTurkish = 9;   // shown while it is English

  ToolBarImages();
  QIcon Image(int index) const;

 private:
  std::array<QIcon, kCount> images_;
};

// `ToolBar1`: ten image buttons with tooltips, at fixed gaps along the top of the window,
// and at its right end a short status text ("downloaded", or a first start's offer of help
// with the port).
class MainToolBar : public QFrame {
  Q_OBJECT
 public:
  explicit MainToolBar(QWidget* parent);

  QToolButton* newProgram() const { return newProgram_; }  // ToolButton6
  QToolButton* open() const { return open_; }              // ToolButton3
  QToolButton* save() const { return save_; }              // ToolButton9
  QToolButton* saveAs() const { return saveAs_; }          // ToolButton1
  QToolButton* check() const { return check_; }            // ToolButton8
  QToolButton* download() const { return download_; }      // ToolButton11
  QToolButton* find() const { return find_; }              // ToolButton13
  QToolButton* undo() const { return undo_; }              // ToolButton14
  QToolButton* language() const { return language_; }      // ToolButton18
  QLabel* statusText() const { return statusText_; }       // StatusText

  // The button's tooltip shows its hint and, after it, the key of the same command.
  void SetKey(QToolButton* button, const QKeySequence& key);
  // The tooltip as it is shown: "Program Kontrol (F7)".
  static QString ShownTip(const QToolButton* button);

  // The language button shows the flag of the language it switches to.
  void ShowLanguageImage(Language language);

  // The buttons that only make sense on the programming page.
  void SetProgrammingButtonsEnabled(bool enabled);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QToolButton* AddButton(Control control, int image);

  ToolBarImages images_;
  QToolButton* newProgram_;
  QToolButton* open_;
  QToolButton* save_;
  QToolButton* saveAs_;
  QToolButton* check_;
  QToolButton* download_;
  QToolButton* find_;
  QToolButton* undo_;
  QToolButton* language_;
  QLabel* statusText_;
};

}  // namespace kivra::app
