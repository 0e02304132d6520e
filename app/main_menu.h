#pragma once

class QAction;
class QMenu;
class QMenuBar;

namespace kivra::app {

// The menu bar of the main window; the language switch sets the captions.
struct MainMenu {
  QMenu* file = nullptr;       // D1
  QMenu* settings = nullptr;   // Ayarlar1
  QMenu* help = nullptr;       // Yardm1
  QAction* newProgram = nullptr;   // Y1
  QAction* open = nullptr;         // A1
  QAction* save = nullptr;         // Sakla1
  QAction* saveAs = nullptr;       // Farklsakla1
  QAction* exit = nullptr;         // N1
  QAction* comPort = nullptr;      // ComPort1
  QAction* commandCode = nullptr;  // KomutKodu1, checked while the command-code window is wanted
  QAction* helpContents = nullptr; // Yardm2
  QAction* about = nullptr;        // ProgramHakknda1

  static MainMenu Build(QMenuBar* bar);

  // The file commands work only on the programming page.
  void SetFileCommandsEnabled(bool enabled);
};

}  // namespace kivra::app
