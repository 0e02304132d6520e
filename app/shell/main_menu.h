#pragma once

class QAction;
class QMenu;
class QMenuBar;

namespace kivra::app {

// The menu bar of the main window; the language switch sets the captions. Besides the
// file, settings and help menus, an edit and a program menu list the editor's and the
// tool bar's commands with their keys.
struct MainMenu {
  QMenu* file = nullptr;            // D1
  QMenu* edit = nullptr;            // Duzen1
  QMenu* program = nullptr;         // Program1
  QMenu* settings = nullptr;        // Ayarlar1
  QMenu* help = nullptr;            // Yardm1
  QAction* newProgram = nullptr;    // Y1
  QAction* open = nullptr;          // A1
  QAction* save = nullptr;          // Sakla1
  QAction* saveAs = nullptr;        // Farklsakla1
  QMenu* recent = nullptr;          // SonDosyalar1, the last programs loaded or saved
  QAction* exit = nullptr;          // N1
  QAction* undo = nullptr;          // GeriAl1
  QAction* redo = nullptr;          // Yinele1
  QAction* find = nullptr;          // Bul1
  QAction* findNext = nullptr;      // SonrakiniBul1
  QAction* goToLine = nullptr;      // SatiraGit1
  QAction* check = nullptr;         // ProgramKontrol1
  QAction* download = nullptr;      // SurucuyeYaz1
  QAction* comPort = nullptr;       // ComPort1
  QAction* commandCode = nullptr;   // KomutKodu1, checked while the command-code window is wanted
  QAction* helpContents = nullptr;  // Yardm2
  QAction* guide = nullptr;         // KullanimKilavuzu1, the user guide in the help
  QAction* about = nullptr;         // ProgramHakknda1

  static MainMenu Build(QMenuBar* bar);

  // The file, edit and program commands work only on the programming page.
  void SetFileCommandsEnabled(bool enabled);
};

}  // namespace kivra::app
