#include "app/main_menu.h"

#include <QAction>
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

}  // namespace

MainMenu MainMenu::Build(QMenuBar* bar) {
  bar->setObjectName(QStringLiteral("MainMenu1"));
  MainMenu m;
  m.file = AddMenu(bar, "D1");
  m.newProgram = AddItem(m.file, "Y1");
  m.file->addSeparator();
  m.open = AddItem(m.file, "A1");
  m.save = AddItem(m.file, "Sakla1");
  m.saveAs = AddItem(m.file, "Farklsakla1");
  m.file->addSeparator();
  m.exit = AddItem(m.file, "N1");

  m.settings = AddMenu(bar, "Ayarlar1");
  m.comPort = AddItem(m.settings, "ComPort1", QStringLiteral("Com Port ..."));
  m.settings->addSeparator();
  m.commandCode = AddItem(m.settings, "KomutKodu1", QStringLiteral("Komut Kodu"));
  m.commandCode->setCheckable(true);

  m.help = AddMenu(bar, "Yardm1");
  m.helpContents = AddItem(m.help, "Yardm2");
  m.help->addSeparator();
  m.about = AddItem(m.help, "ProgramHakknda1");
  return m;
}

void MainMenu::SetFileCommandsEnabled(bool enabled) {
  for (QAction* action : {newProgram, open, save, saveAs}) action->setEnabled(enabled);
}

}  // namespace kivra::app
