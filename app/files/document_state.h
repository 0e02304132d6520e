#pragma once

#include <QString>
#include <cstdint>

namespace kivra::app {

// What the shell knows about the program in the editor. The file commands and the editor
// change it; the debug switch reads it.
struct DocumentState {
  bool programChanged = false;     // typed into since it was last loaded or saved
  bool newProgramUnsaved = false;  // made by the new-program command, not yet saved or replaced
  bool sourceEdited = false;   // a key was typed or a new program made; the debug switch clears it
  QString currentFile;         // the file last loaded or saved; mirrors LASTFILE
  QString selectedPath;        // the path last chosen in a file dialog or handed to a load
  bool saveSucceeded = false;  // outcome of the last save that had something to save
  std::uint8_t untitledCounter = 0;  // numbers the generated names; wraps after 255
};

}  // namespace kivra::app
