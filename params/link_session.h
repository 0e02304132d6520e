#pragma once

// A DriverSession on the desktop's own link: the serial component, the link engine ticked
// by a timer on the calling thread, and the port selection that finds a pulled adapter
// again. One session per port; several sessions run side by side on threads of their own.

#include <memory>
#include <string>

#include "common/language.h"
#include "params/driver_session.h"

namespace kivra::params {

struct LinkSessionOptions {
  Language language = Language::English;  // of the link's own messages
  const StopRequest* stop = nullptr;
};

// Opens `port` (a number or a device path); nothing, with the warning the window would
// show in `whyNot`, when it does not open.
std::unique_ptr<DriverSession> OpenLinkSession(const std::string& port,
                                               const LinkSessionOptions& options,
                                               std::string& whyNot);

}  // namespace kivra::params
