#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "platform/DataPaths.h"

using namespace ql;

TEST(DataPaths, ProgramDataBesideTheBuildOrUnderThePrefix) {
  struct Case {
    std::string program;
    std::set<std::string> files;
    std::string want;
  };
  const Case cases[] = {
      {"/usr/bin/quillora", {}, "/usr/share/quillora"},
      {"/usr/local/bin/quillora", {"/usr/local/share/quillora/quillora.hlp"}, "/usr/local/share/quillora"},
      {"/home/me/src/build/quillora", {"/home/me/src/build/quillora.hlp"}, "/home/me/src/build"},
      {"/opt/q/bin/quillora", {"/opt/q/bin/other.hlp"}, "/opt/q/share/quillora"},
      {"/bin/quillora", {}, "/share/quillora"},
  };
  for (const Case& c : cases) {
    const auto exists = [&](const std::string& p) { return c.files.count(p) > 0; };
    EXPECT_EQ(ProgramDataDir(c.program, exists), c.want) << c.program;
  }
}

TEST(DataPaths, UserDataFollowsXdgDataHome) {
  const char* oldData = std::getenv("XDG_DATA_HOME");
  const std::string saved = oldData ? oldData : "";
  setenv("HOME", "/home/u", 1);
  setenv("XDG_DATA_HOME", "/tmp/data", 1);
  EXPECT_EQ(UserDataDir("Presets"), "/tmp/data/quillora/Presets");
  setenv("XDG_DATA_HOME", "relative/data", 1);  // not absolute: ignored
  EXPECT_EQ(UserDataDir("Presets"), "/home/u/.local/share/quillora/Presets");
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(DataDirs("/usr/share/quillora", "KeyWords"),
            (std::vector<std::string>{"/home/u/.local/share/quillora/KeyWords", "/usr/share/quillora/KeyWords"}));
  if (oldData) setenv("XDG_DATA_HOME", saved.c_str(), 1);
}
