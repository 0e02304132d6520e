#pragma once

// How an exchange or a download ended, in words for the user: the window's notes and boxes
// and the command line say the same.

#include <string>
#include <string_view>

#include "common/language.h"
#include "link/facts.h"

namespace kivra::link {

// "the driver does not answer", "the driver refused", "wrong reply", ...
std::string_view FailureText(FrameFailure why, Language language);

// The line after "Download error!": the step it stopped at and why, e.g. "Stopped at the
// data frame at offset 75: the driver refused." Empty unless `ended` is a failed download.
std::string DownloadFailureText(const DownloadProgress& ended, Language language);

}  // namespace kivra::link
