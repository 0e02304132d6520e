#pragma once

// What the command line needs of the system it runs on: its arguments and its console in
// UTF-8, whether a stream is a terminal, and Ctrl+C as a stop request. POSIX systems in
// console_posix.cpp, Windows in console_win.cpp.

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common/language.h"

namespace kivra::cli {

// The arguments after the program's name, UTF-8. Windows hands main() its arguments in
// the ANSI code page, which cannot hold every file name; they are read again as wide text.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Sets the console up for the UTF-8 text every command writes (on Windows the console's
// output code page; nothing elsewhere).
void PrepareConsole();

bool IsTerminal(std::FILE* stream);

// A port as typed after --port, in the form this system names ports. On Windows "7",
// "COM7" and "\\.\COM7" become "7", and anything else is refused with the reason in
// `error`; POSIX systems take the text as it is (a number or a device path).
bool CheckPortText(std::string& port, Language language, std::string& error);

// Ctrl+C (and SIGTERM, or the console window being closed on Windows) as stop requests.
// From construction on the requests are held for Wait rather than ending the process; on
// POSIX systems the signals are blocked, so every thread started afterwards inherits that
// and only Wait receives them. One at a time per process.
class StopRequests {
 public:
  StopRequests();
  ~StopRequests();
  StopRequests(const StopRequests&) = delete;
  StopRequests& operator=(const StopRequests&) = delete;

  // Waits up to `limit`; true when a stop request came (each request is taken once).
  bool Wait(std::chrono::steady_clock::duration limit);

 private:
  struct System;
  std::unique_ptr<System> system_;
};

}  // namespace kivra::cli
