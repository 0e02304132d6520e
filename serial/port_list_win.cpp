// The serial ports of a Windows machine: every value under
// HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM is one port, its data the port's name;
// SetupAPI adds the names Device Manager shows for the ports class's devices.

#include <windows.h>
// windows.h first: these need its types.
#include <initguid.h>
// initguid.h first: it makes devguid.h define the class GUIDs rather than declare them.
#include <devguid.h>
#include <setupapi.h>

#include "common/com_port.h"
#include "common/win32_text.h"
#include "serial/port_list.h"

namespace kivra::serial {
namespace {

std::vector<std::string> RegistryPortNames() {
  std::vector<std::string> names;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return names;
  }
  for (DWORD index = 0;; ++index) {
    wchar_t valueName[256];
    DWORD nameLength = static_cast<DWORD>(std::size(valueName));
    wchar_t data[256];
    DWORD dataBytes = sizeof data - sizeof(wchar_t);
    DWORD type = 0;
    const LONG r = RegEnumValueW(key, index, valueName, &nameLength, nullptr, &type,
                                 reinterpret_cast<BYTE*>(data), &dataBytes);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS || type != REG_SZ) continue;
    // The data need not end with a zero; it ends where its length says.
    std::size_t chars = dataBytes / sizeof(wchar_t);
    while (chars > 0 && data[chars - 1] == L'\0') --chars;
    names.push_back(win32::Utf8FromWide({data, chars}));
  }
  RegCloseKey(key);
  return names;
}

std::map<std::string, std::string> FriendlyNames() {
  std::map<std::string, std::string> names;
  const HDEVINFO devices =
      SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
  if (devices == INVALID_HANDLE_VALUE) return names;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
    std::string portName;
    if (const HKEY key =
            SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        key != INVALID_HANDLE_VALUE) {
      wchar_t data[64];
      DWORD bytes = sizeof data - sizeof(wchar_t);
      DWORD type = 0;
      if (RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(data),
                           &bytes) == ERROR_SUCCESS &&
          type == REG_SZ) {
        std::size_t chars = bytes / sizeof(wchar_t);
        while (chars > 0 && data[chars - 1] == L'\0') --chars;
        portName = win32::Utf8FromWide({data, chars});
      }
      RegCloseKey(key);
    }
    const ComPortText parsed = ParseComPort(portName);
    if (!parsed.port) continue;
    wchar_t friendly[256];
    DWORD type = 0;
    if (SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_FRIENDLYNAME, &type,
                                          reinterpret_cast<BYTE*>(friendly),
                                          sizeof friendly - sizeof(wchar_t), nullptr)) {
      friendly[std::size(friendly) - 1] = L'\0';
      names["COM" + std::to_string(parsed.port->number())] = win32::Utf8FromWide(friendly);
    }
  }
  SetupDiDestroyDeviceInfoList(devices);
  return names;
}

}  // namespace

PortName PortInfo::Name() const {
  if (comNumber != 0) return PortName::Number(comNumber);
  return PortName::Device(path);
}

std::vector<PortInfo> ListSerialPorts(const PortListRoots&) {
  return ComPortList(RegistryPortNames(), FriendlyNames());
}

}  // namespace kivra::serial
