#include <windows.h>
// windows.h first: shellapi.h needs its types.
#include <io.h>
#include <shellapi.h>

#include <atomic>

#include "cli/console.h"
#include "common/com_port.h"
#include "common/win32_text.h"

namespace kivra::cli {
namespace {

// The console control handler takes no argument, so the semaphore it counts on has to be
// where it can find it: the one place of its kind, set only while a StopRequests lives.
std::atomic<HANDLE>& ActiveRequests() {
  static std::atomic<HANDLE> semaphore{nullptr};
  return semaphore;
}

BOOL WINAPI OnConsoleControl(DWORD event) {
  const HANDLE semaphore = ActiveRequests().load();
  if (!semaphore) return FALSE;
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      ReleaseSemaphore(semaphore, 1, nullptr);
      return TRUE;
    case CTRL_CLOSE_EVENT:
      // The process ends when this returns; a moment for the command to stop cleanly
      // (the port closed, the report written) is all the system grants.
      ReleaseSemaphore(semaphore, 1, nullptr);
      Sleep(2000);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) args.push_back(win32::Utf8FromWide(wide[i]));
  LocalFree(wide);
  return args;
}

void PrepareConsole() {
  SetConsoleOutputCP(CP_UTF8);
  SetConsoleCP(CP_UTF8);
}

bool IsTerminal(std::FILE* stream) {
  // A console, not just any character device (NUL is one too).
  DWORD mode = 0;
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

bool CheckPortText(std::string& port, Language language, std::string& error) {
  const ComPortText parsed = ParseComPort(port);
  if (!parsed.port) {
    error = "--port: " + ComPortProblemText(parsed.problem, port, language);
    return false;
  }
  port = parsed.port->ToString();
  return true;
}

struct StopRequests::System {
  HANDLE semaphore = nullptr;
};

StopRequests::StopRequests() : system_(std::make_unique<System>()) {
  system_->semaphore = CreateSemaphoreW(nullptr, 0, 1000, nullptr);
  ActiveRequests() = system_->semaphore;
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

StopRequests::~StopRequests() {
  SetConsoleCtrlHandler(OnConsoleControl, FALSE);
  ActiveRequests() = nullptr;
  if (system_->semaphore) CloseHandle(system_->semaphore);
}

bool StopRequests::Wait(std::chrono::steady_clock::duration limit) {
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(limit).count();
  if (!system_->semaphore) {
    Sleep(static_cast<DWORD>(ms > 0 ? ms : 0));
    return false;
  }
  return WaitForSingleObject(system_->semaphore, static_cast<DWORD>(ms > 0 ? ms : 0)) ==
         WAIT_OBJECT_0;
}

}  // namespace kivra::cli
