#include <algorithm>
#include <cstdio>

#include "cli/commands.h"

namespace kivra::cli {

bool HelpAsked(const Args& args, std::string_view usage) {
  const bool asked =
      std::ranges::any_of(args, [](const std::string& a) { return a == "--help" || a == "-h"; });
  if (!asked) return false;
  std::fwrite(usage.data(), 1, usage.size(), stdout);
  if (!usage.ends_with('\n')) std::fputc('\n', stdout);
  return true;
}

}  // namespace kivra::cli
