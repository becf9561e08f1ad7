// The color preset file: its bytes, reading it back, damaged and foreign
// files, where it is looked for and how it is written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <sys/stat.h>

#include "settings/ColorPresets.h"
#include "file_test_support.h"

using namespace ql;

namespace {

TColorPreset Preset(const std::string& name, const std::string& font = "Courier New", int size = 10) {
  TColorPreset p;
  p.Name = name;
  p.FontName = font;
  p.FontSize = size;
  p.BackColor = 0x804000;
  p.TextColor = 0xF0CAA6;
  p.BoxBackColor = 0x5A3200;
  p.BoxTextColor = 0x010203;
  return p;
}

PresetColor NoSystem(std::uint32_t c) { return c; }

// Sets an environment variable for a scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

using PresetFileTest = qltest::FileTest;
using qltest::ReadFile;
using qltest::WriteFile;

}  // namespace

TEST(ColorPresets, RecordLayout) {
  const std::string bytes = SerializePresets({Preset("Deep", "Mono", 0x0102)});
  ASSERT_EQ(bytes.size(), 6u + 62u);
  EXPECT_EQ(bytes.substr(0, 6), std::string("QCP\0\x01\x01", 6));
  EXPECT_EQ(bytes.substr(6, 16), std::string("Deep") + std::string(12, '\0'));
  EXPECT_EQ(bytes.substr(22, 32), std::string("Mono") + std::string(28, '\0'));
  EXPECT_EQ(bytes.substr(54, 2), "\x02\x01");
  EXPECT_EQ(bytes.substr(56, 3), std::string("\x00\x40\x80", 3));  // red, green, blue
  EXPECT_EQ(bytes.substr(65, 3), "\x03\x02\x01");
}

TEST(ColorPresets, RoundTrip) {
  std::vector<TColorPreset> presets;
  presets.push_back(Preset("0123456789abcdef"));  // exactly 16 characters, read back whole
  presets.push_back(Preset("caf\xE9", std::string(40, 'F'), 72));
  presets.push_back(Preset("x", "", 0xFFFF));
  const PresetFile back = ParsePresets(SerializePresets(presets));
  ASSERT_EQ(back.status, PresetFile::Ok);
  presets[1].FontName.resize(32);  // a longer font name is stored cut to 32
  EXPECT_EQ(back.presets, presets);
}

TEST(ColorPresets, TrailingBlanksAndControlsAreDropped) {
  std::string bytes = SerializePresets({Preset("AB")});
  bytes[8] = ' ';
  bytes[9] = '\t';
  bytes[10] = '\0';
  bytes[11] = 'Z';  // behind the first zero byte: not part of the name
  EXPECT_EQ(ParsePresets(bytes).presets.at(0).Name, "AB");
}

TEST(ColorPresets, ForeignDamagedAndEmptyFiles) {
  const std::string good = SerializePresets({Preset("a"), Preset("b")});
  struct Case {
    const char* what;
    std::string bytes;
    PresetFile::Status status;
  } cases[] = {
      {"version 00 02", std::string("QCP\0\x02\x00", 6), PresetFile::Foreign},
      {"magic", "QCX" + good.substr(3), PresetFile::Foreign},
      {"short header", "QCP", PresetFile::Foreign},
      {"nothing", "", PresetFile::Foreign},
      {"one byte short", good.substr(0, good.size() - 1), PresetFile::Truncated},
      {"count 255, one record", good.substr(0, 5) + "\xFF" + good.substr(6, 62), PresetFile::Truncated},
      {"no presets", std::string("QCP\0\x01\x00", 6), PresetFile::Ok},
      {"bytes after the records", good + "junk", PresetFile::Ok},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const PresetFile f = ParsePresets(c.bytes);
    EXPECT_EQ(f.status, c.status);
    if (c.status != PresetFile::Ok) {
      EXPECT_TRUE(f.presets.empty());
    }
  }
  EXPECT_NE(PresetLoadMessage(ParsePresets(good.substr(0, 10)), "/p/Color.qcp").find("damaged"),
            std::string::npos);
  EXPECT_EQ(PresetLoadMessage(ParsePresets("QCX"), "/p"), "");
}

TEST(ColorPresets, ListLines) {
  EXPECT_EQ(PresetListLines({}), std::vector<std::string>{"(No user presets)"});
  EXPECT_EQ(PresetListLines({Preset("One"), Preset("Two")}),
            (std::vector<std::string>{"00:  One", "01:  Two"}));
}

TEST(ColorPresets, AddingChecksNameCountAndResolvesSystemColors) {
  std::vector<TColorPreset> presets;
  EXPECT_EQ(AddPreset(presets, Preset(""), NoSystem), AddPresetResult::BadName);
  EXPECT_EQ(AddPreset(presets, Preset(std::string(17, 'n')), NoSystem), AddPresetResult::BadName);
  TColorPreset system = Preset(std::string(16, 'n'));
  system.BackColor = 0x80000005;
  system.TextColor = 0x80000008;
  const auto resolve = [](std::uint32_t c) -> PresetColor { return c == 0x80000005 ? 0xFFFFFF : 0x000000; };
  ASSERT_EQ(AddPreset(presets, system, resolve), AddPresetResult::Added);
  EXPECT_EQ(presets[0].BackColor, 0xFFFFFFu);
  EXPECT_EQ(presets[0].TextColor, 0x000000u);
  EXPECT_EQ(presets[0].BoxBackColor, 0x5A3200u);
  while (presets.size() < 255) ASSERT_EQ(AddPreset(presets, Preset("p"), NoSystem), AddPresetResult::Added);
  // A 256th would wrap the one-byte count to 0 and lose them all.
  EXPECT_EQ(AddPreset(presets, Preset("q"), NoSystem), AddPresetResult::Full);
  EXPECT_EQ(ParsePresets(SerializePresets(presets)).presets.size(), 255u);
}

TEST(ColorPresets, FontSizeShown) {
  EXPECT_EQ(PresetFontSize(Preset("a", "f", 12)), 12);
  EXPECT_EQ(PresetFontSize(Preset("a", "f", 0)), 10);
  EXPECT_EQ(PresetFontSize(Preset("a", "f", 60000)), 10);
}

TEST_F(PresetFileTest, FileLocations) {
  const std::string home = Path("data");
  ScopedEnv dataHome("XDG_DATA_HOME", home);
  ScopedEnv dataDirs("XDG_DATA_DIRS", Path("sys1") + ":relative:" + Path("sys2"));
  EXPECT_EQ(UserPresetsFile(), home + "/quillora/Presets/Color.qcp");
  const std::vector<std::string> c = PresetsFileCandidates();
  ASSERT_EQ(c.size(), 3u);
  EXPECT_EQ(c[1], Path("sys1/quillora/Presets/Color.qcp"));
  EXPECT_EQ(c[2], Path("sys2/quillora/Presets/Color.qcp"));

  std::string from;
  EXPECT_EQ(LoadColorPresets(c, &from).status, PresetFile::Missing);
  EXPECT_EQ(from, "");
  // The installed file until the user saves his own.
  std::string error;
  ASSERT_TRUE(SaveColorPresets(c[2], {Preset("installed")}, error)) << error;
  EXPECT_EQ(LoadColorPresets(c, &from).presets.at(0).Name, "installed");
  EXPECT_EQ(from, c[2]);
  ASSERT_TRUE(SaveColorPresets(c[0], {Preset("mine"), Preset("too")}, error)) << error;
  EXPECT_EQ(LoadColorPresets(c, &from).presets.size(), 2u);
  EXPECT_EQ(from, c[0]);
}

TEST_F(PresetFileTest, SavingIsWholeAndLeavesNoTemporaryFile) {
  const std::string path = Path("a/b/Color.qcp");
  std::string error;
  std::vector<TColorPreset> presets = {Preset("1"), Preset("2"), Preset("3")};
  ASSERT_TRUE(SaveColorPresets(path, presets, error)) << error;
  presets.erase(presets.begin() + 1);
  ASSERT_TRUE(SaveColorPresets(path, presets, error)) << error;
  EXPECT_EQ(ReadFile(path).size(), 130u);  // 6 + 2 x 62
  EXPECT_EQ(PresetListLines(LoadColorPresets({path}).presets),
            (std::vector<std::string>{"00:  1", "01:  3"}));
  EXPECT_EQ(qltest::List(Path("a/b")), std::set<std::string>{"Color.qcp"});

  // A folder that cannot be made: refused with the reason.
  WriteFile(Path("plain"), "x");
  EXPECT_FALSE(SaveColorPresets(Path("plain/Presets/Color.qcp"), presets, error));
  EXPECT_FALSE(error.empty());
  EXPECT_NE(PresetSaveFailedText("/x", error).find(error), std::string::npos);
}

TEST_F(PresetFileTest, ReadOnlyFolderRefusesAndKeepsTheOldFile) {
  const std::string dir = OwnedDir("Presets");
  const std::string path = dir + "/Color.qcp";
  std::string error;
  ASSERT_TRUE(SaveColorPresets(path, {Preset("old")}, error));
  GiveAway(path);
  chmod(dir.c_str(), 0555);
  const std::string result = qltest::InChild(
      [&] {
        std::string e;
        return SaveColorPresets(path, {Preset("new")}, e) ? std::string("saved") : "refused: " + e;
      },
      true);
  EXPECT_EQ(result.rfind("refused: ", 0), 0u) << result;
  EXPECT_EQ(LoadColorPresets({path}).presets.at(0).Name, "old");
}

TEST_F(PresetFileTest, LoadingReadsNoMoreThanTheLargestFile) {
  const std::string path = Path("Color.qcp");
  std::vector<TColorPreset> many(255, Preset("m"));
  WriteFile(path, SerializePresets(many) + std::string(1 << 20, 'x'));
  EXPECT_EQ(LoadColorPresets({path}).presets.size(), 255u);
  WriteFile(path, SerializePresets(many).substr(0, 1000));
  const PresetFile damaged = LoadColorPresets({path});
  EXPECT_EQ(damaged.status, PresetFile::Truncated);
  EXPECT_TRUE(damaged.presets.empty());
}
