#include "link/serial_link.h"

#include <filesystem>

#include "common/file_path.h"

namespace kivra::link {

SerialLink::SerialLink(serial::PortSettings settings, const std::string& logFolder)
    : port_(std::move(settings)) {
  if (!logFolder.empty())
    port_.SetLogName(Utf8FromPath(PathFromUtf8(logFolder) / PathFromUtf8(port_.LogName())));
}

void SerialLink::SetPort(const PortName& port) {
  port_.SetPort(port);
}

void SerialLink::SetOpen(bool open) {
  try {
    // A device that went away leaves the port open on nothing; opening it again means
    // opening the device anew.
    if (open && port_.DeviceLost()) Close();
    port_.SetOpen(open);
  } catch (const serial::ENotSerialDevice& e) {
    throw PortOpenError(OpenFailure::NotSerial, e.what());
  } catch (const serial::EBadId& e) {
    throw PortOpenError(OpenFailure::Missing, e.what());
  } catch (const serial::EAlreadyOpen& e) {
    throw PortOpenError(OpenFailure::Busy, e.what());
  } catch (const serial::EPermissionDenied& e) {
    throw PortOpenError(OpenFailure::NoPermission, e.what());
  } catch (const serial::ENoPortSelected& e) {
    throw PortOpenError(OpenFailure::NotChosen, e.what());
  }
}

bool SerialLink::DevicePresent(const PortName& port) {
  return serial::DevicePresent(serial::SystemDevicePath(port));
}

void SerialLink::Close() noexcept {
  try {
    port_.SetOpen(false);
  } catch (...) {
  }
}

}  // namespace kivra::link
