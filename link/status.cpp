// Accepted status replies, and what is known while the driver does not answer.

#include "link/engine.h"

namespace kivra::link {

void LinkEngine::StatusAccepted(const StatusReply& s) {
  v_.firmwareVersion = s.firmware;
  v_.scriptOn = s.ScriptRunning();
  v_.motorRunning = s.MotorRunning();
  lastStatus_ = s;
  ++statusCount_;
  Tell([&](LinkObserver& o) { o.OnStatus(s); });
  if (v_.scriptOn && v_.debugOn && s.address < CodeCapacity) {
    const std::uint32_t line = addressLines_[s.address];
    if (line != 0) Tell([line](LinkObserver& o) { o.OnDebugLine(line); });
  }
}

void LinkEngine::StatusLost() {
  Tell([](LinkObserver& o) { o.OnStatusLost(); });
}

}  // namespace kivra::link
