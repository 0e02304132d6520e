// kivra sim on Windows: the simulated driver answers on a pseudo-terminal, which Windows
// does not have. It runs on Linux; a Windows machine reaches it through a serial line or,
// under wine, through a COM port mapped to its pseudo-terminal.

#include <cstdio>

#include "cli/commands.h"

namespace kivra::cli {

int RunSim(const Args&) {
  std::fputs(
      "kivra sim: the simulated driver needs a pseudo-terminal and runs on Linux only.\n"
      "kivra sim: simülasyon sürücüsü sahte terminal ister ve yalnız Linux'ta çalışır.\n",
      stderr);
  return 2;
}

}  // namespace kivra::cli
