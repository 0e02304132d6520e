// The folder for state files, by each system's rules, from environments made up for the
// test: the XDG base directory rules on POSIX systems, the local application data on
// Windows (run under wine).

#include "common/state_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace kivra {
namespace {

namespace fs = std::filesystem;

Environment Env(std::map<std::string, std::string> values) {
  return [values = std::move(values)](const char* name) -> std::optional<std::string> {
    const auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    return it->second;
  };
}

struct Case {
  const char* name;
  std::map<std::string, std::string> env;
  std::optional<fs::path> folder;
};

#ifdef _WIN32
const Case kCases[] = {
    {"local application data",
     {{"LOCALAPPDATA", "C:\\Users\\Ayşe\\AppData\\Local"}, {"HOME", "C:\\h"}},
     fs::path(u8"C:\\Users\\Ayşe\\AppData\\Local\\kivra-ps")},
    {"XDG_STATE_HOME is no Windows rule",
     {{"XDG_STATE_HOME", "C:\\s"}, {"LOCALAPPDATA", "C:\\l"}},
     fs::path("C:\\l\\kivra-ps")},
    {"unset", {{"HOME", "C:\\h"}}, std::nullopt},
    {"empty", {{"LOCALAPPDATA", ""}}, std::nullopt},
    {"relative", {{"LOCALAPPDATA", "Local"}}, std::nullopt},
};
#else
const Case kCases[] = {
    {"XDG_STATE_HOME", {{"XDG_STATE_HOME", "/s"}, {"HOME", "/h"}}, fs::path("/s/kivra-ps")},
    {"unset", {{"HOME", "/h"}}, fs::path("/h/.local/state/kivra-ps")},
    {"empty", {{"XDG_STATE_HOME", ""}, {"HOME", "/h"}}, fs::path("/h/.local/state/kivra-ps")},
    {"relative is ignored",
     {{"XDG_STATE_HOME", "state"}, {"HOME", "/h"}},
     fs::path("/h/.local/state/kivra-ps")},
    {"UTF-8 kept", {{"HOME", "/home/ayşe"}}, fs::path(u8"/home/ayşe/.local/state/kivra-ps")},
    {"no home", {}, std::nullopt},
    {"relative home", {{"HOME", "h"}}, std::nullopt},
    {"LOCALAPPDATA is no POSIX rule", {{"LOCALAPPDATA", "/l"}}, std::nullopt},
};
#endif

TEST(StateFolder, FollowsThisSystemsRules) {
  for (const Case& c : kCases) EXPECT_EQ(StateFolder(Env(c.env)), c.folder) << c.name;
}

TEST(StateFolder, ReadsTheProcesssEnvironment) {
  EXPECT_EQ(SystemVariable("KIVRA_SURELY_UNSET_VARIABLE"), std::nullopt);
#ifdef _WIN32
  ASSERT_EQ(_wputenv(L"KIVRA_STATE_TEST=C:\\x"), 0);
  EXPECT_EQ(SystemVariable("KIVRA_STATE_TEST"), std::optional<std::string>("C:\\x"));
#else
  ASSERT_EQ(setenv("KIVRA_STATE_TEST", "/x", 1), 0);
  EXPECT_EQ(SystemVariable("KIVRA_STATE_TEST"), std::optional<std::string>("/x"));
#endif
}

}  // namespace
}  // namespace kivra
