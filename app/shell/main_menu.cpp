#include "app/shell/main_menu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "app/ui/controls.h"
#include "app/ui/texts.h"
#include "app/ui/ui_language.h"

namespace kivra::app {
namespace {

QMenu* AddMenu(QMenuBar* bar, Control control) {
  QMenu* menu = bar->addMenu(QString());
  menu->setObjectName(ObjectName(control));
  return menu;
}

QAction* AddItem(QMenu* menu, Control control, const QString& caption = QString()) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(ObjectName(control));
  return action;
}

QAction* AddItem(QMenu* menu, Control control, const QKeySequence& key) {
  QAction* action = AddItem(menu, control);
  action->setShortcut(key);
  return action;
}

// The editor handles these keys itself (Ctrl+F must still reach it, undo belongs to the
// text that has the focus); the menu only shows them.
QAction* AddShownKeyItem(QMenu* menu, Control control, const QKeySequence& key) {
  QAction* action = AddItem(menu, control, key);
  action->setShortcutContext(Qt::WidgetShortcut);
  return action;
}

}  // namespace

MainMenu MainMenu::Build(QMenuBar* bar) {
  bar->setObjectName(QStringLiteral("MainMenu1"));
  MainMenu m;
  m.file = AddMenu(bar, Control::FileMenu);
  m.newProgram = AddItem(m.file, Control::NewItem, QKeySequence::New);
  m.file->addSeparator();
  m.open = AddItem(m.file, Control::OpenItem, QKeySequence::Open);
  m.save = AddItem(m.file, Control::SaveItem, QKeySequence::Save);
  m.saveAs = AddItem(m.file, Control::SaveAsItem, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  m.recent = m.file->addMenu(QString());
  m.recent->setObjectName(ObjectName(Control::RecentMenu));
  m.file->addSeparator();
  m.exit = AddItem(m.file, Control::ExitItem);

  m.edit = AddMenu(bar, Control::EditMenu);
  m.undo = AddShownKeyItem(m.edit, Control::UndoItem, QKeySequence(Qt::CTRL | Qt::Key_Z));
  m.redo = AddShownKeyItem(m.edit, Control::RedoItem, QKeySequence(Qt::CTRL | Qt::Key_Y));
  m.edit->addSeparator();
  m.find = AddShownKeyItem(m.edit, Control::FindItem, QKeySequence(Qt::CTRL | Qt::Key_F));
  m.findNext = AddItem(m.edit, Control::FindNextItem, QKeySequence(Qt::Key_F3));
  m.goToLine = AddItem(m.edit, Control::GoToLineItem, QKeySequence(Qt::CTRL | Qt::Key_G));

  m.program = AddMenu(bar, Control::ProgramMenu);
  m.check = AddItem(m.program, Control::CheckItem, QKeySequence(Qt::Key_F7));
  m.download = AddItem(m.program, Control::DownloadItem, QKeySequence(Qt::Key_F8));

  m.settings = AddMenu(bar, Control::SettingsMenu);
  m.comPort = AddItem(m.settings, Control::ComPortItem, ToQString(texts::kComPortItem));
  m.settings->addSeparator();
  m.commandCode = AddItem(m.settings, Control::CommandCodeItem, ToQString(texts::kCommandCodeItem));
  m.commandCode->setCheckable(true);

  m.help = AddMenu(bar, Control::HelpMenu);
  m.helpContents = AddItem(m.help, Control::HelpItem);
  m.guide = AddItem(m.help, Control::GuideItem);
  m.help->addSeparator();
  m.about = AddItem(m.help, Control::AboutItem);
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
