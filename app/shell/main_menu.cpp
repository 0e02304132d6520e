#include "app/shell/main_menu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace kivra::app {
namespace {

QMenu* AddMenu(QMenuBar* bar, const char* objectName) {
  QMenu* menu = bar->addMenu(QString());
  menu->setObjectName(QString::fromLatin1(objectName));
  return menu;
}

QAction* AddItem(QMenu* menu, const char* objectName, const QString& caption = QString()) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(QString::fromLatin1(objectName));
  return action;
}

QAction* AddItem(QMenu* menu, const char* objectName, const QKeySequence& key) {
  QAction* action = AddItem(menu, objectName);
  action->setShortcut(key);
  return action;
}

// The editor handles these keys itself (Ctrl+F must still reach it, undo belongs to the
// text that has the focus); the menu only shows them.
QAction* AddShownKeyItem(QMenu* menu, const char* objectName, const QKeySequence& key) {
  QAction* action = AddItem(menu, objectName, key);
  action->setShortcutContext(Qt::WidgetShortcut);
  return action;
}

}  // namespace

MainMenu MainMenu::Build(QMenuBar* bar) {
  bar->setObjectName(QStringLiteral("MainMenu1"));
  MainMenu m;
  m.file = AddMenu(bar, "D1");
  m.newProgram = AddItem(m.file, "Y1", QKeySequence::New);
  m.file->addSeparator();
  m.open = AddItem(m.file, "A1", QKeySequence::Open);
  m.save = AddItem(m.file, "Sakla1", QKeySequence::Save);
  m.saveAs = AddItem(m.file, "Farklsakla1", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  m.recent = m.file->addMenu(QString());
  m.recent->setObjectName(QStringLiteral("SonDosyalar1"));
  m.file->addSeparator();
  m.exit = AddItem(m.file, "N1");

  m.edit = AddMenu(bar, "Duzen1");
  m.undo = AddShownKeyItem(m.edit, "GeriAl1", QKeySequence(Qt::CTRL | Qt::Key_Z));
  m.redo = AddShownKeyItem(m.edit, "Yinele1", QKeySequence(Qt::CTRL | Qt::Key_Y));
  m.edit->addSeparator();
  m.find = AddShownKeyItem(m.edit, "Bul1", QKeySequence(Qt::CTRL | Qt::Key_F));
  m.findNext = AddItem(m.edit, "SonrakiniBul1", QKeySequence(Qt::Key_F3));
  m.goToLine = AddItem(m.edit, "SatiraGit1", QKeySequence(Qt::CTRL | Qt::Key_G));

  m.program = AddMenu(bar, "Program1");
  m.check = AddItem(m.program, "ProgramKontrol1", QKeySequence(Qt::Key_F7));
  m.download = AddItem(m.program, "SurucuyeYaz1", QKeySequence(Qt::Key_F8));

  m.settings = AddMenu(bar, "Ayarlar1");
  m.comPort = AddItem(m.settings, "ComPort1", QStringLiteral("&Com Port ..."));
  m.settings->addSeparator();
  m.commandCode = AddItem(m.settings, "KomutKodu1", QStringLiteral("&Komut Kodu"));
  m.commandCode->setCheckable(true);

  m.help = AddMenu(bar, "Yardm1");
  m.helpContents = AddItem(m.help, "Yardm2");
  m.help->addSeparator();
  m.about = AddItem(m.help, "ProgramHakknda1");
  return m;
}

void MainMenu::SetFileCommandsEnabled(bool enabled) {
  for (QAction* action :
       {newProgram, open, save, saveAs, undo, redo, find, findNext, goToLine, check, download}) {
    action->setEnabled(enabled);
  }
  recent->setEnabled(enabled);
}

}  // namespace kivra::app
