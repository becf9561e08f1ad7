// File information facts: sizes in four units, time texts, the read-only
// mapping on mode bits, links shown with their target's details.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <sys/time.h>

#include "dialogs/FileInfo.h"
#include "file_test_support.h"

using namespace ql;

TEST(FileInfoTexts, Sizes) {
  struct Case {
    std::uint64_t size;
    std::array<std::string, 4> texts;
  } cases[] = {
      {0, {"0 bits", "0 bytes", "0.0000 kb", "0.000000 Mb"}},
      {1, {"8 bits", "1 bytes", "0.0010 kb", "0.000001 Mb"}},
      {1536, {"12,288 bits", "1,536 bytes", "1.5000 kb", "0.001465 Mb"}},
      {1048576, {"8,388,608 bits", "1,048,576 bytes", "1,024.0000 kb", "1.000000 Mb"}},
      // Beyond 32 bits, and bits beyond 64.
      {5000000000ULL, {"40,000,000,000 bits", "5,000,000,000 bytes", "4,882,812.5000 kb", "4,768.371582 Mb"}},
      {9223372036854775807ULL,
       {"73,786,976,294,838,206,456 bits", "9,223,372,036,854,775,807 bytes",
        "9,007,199,254,740,991.9990 kb", "8,796,093,022,207.999999 Mb"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SizeTexts(c.size), c.texts) << c.size;
  EXPECT_EQ(SizeTexts(1536, ".", ","),
            (std::array<std::string, 4>{"12.288 bits", "1.536 bytes", "1,5000 kb", "0,001465 Mb"}));
  EXPECT_EQ(SizeTexts(1234567, "\xE2\x80\xAF", ",")[1], "1\xE2\x80\xAF" "234\xE2\x80\xAF" "567 bytes");
}

TEST(FileInfoTexts, Times) {
  const char* oldTz = std::getenv("TZ");
  const std::string saved = oldTz ? oldTz : "";
  setenv("TZ", "UTC", 1);
  tzset();
  DateLocale l;
  l.longDateFormat = "dddd, d mmmm yyyy";
  l.longTimeFormat = "hh:nn:ss";
  const std::string pattern = FileInfoTimePattern(l);
  EXPECT_EQ(pattern, "dddd, d mmmm yyyy - hh:nn:ss");
  struct Case {
    std::optional<std::int64_t> seconds;
    const char* text;
  } cases[] = {
      {1796479387, "Saturday, 5 December 2026 - 14:03:07"},
      {0, "Thursday, 1 January 1970 - 00:00:00"},   // no DOS packing: 1970 is a date
      {-86400, "Wednesday, 31 December 1969 - 00:00:00"},
      {std::nullopt, "(Unknown date)"},
      {std::int64_t(1) << 60, "(Unknown date)"},
  };
  for (const Case& c : cases) EXPECT_EQ(FileTimeText(c.seconds, pattern, l), c.text);
  EXPECT_EQ(FileTimeText(1796479387, l.longDateFormat, l), "Saturday, 5 December 2026");
  if (oldTz) setenv("TZ", saved.c_str(), 1); else unsetenv("TZ");
  tzset();
}

TEST(FileInfoTexts, ReadOnlyMapping) {
  struct Case {
    std::uint32_t mode;
    bool readOnly;
    std::uint32_t ticked, unticked;
  } cases[] = {
      {0644, false, 0444, 0644},
      {0444, true, 0444, 0644},
      {0400, true, 0400, 0600},
      {0000, true, 0000, 0200},
      {0020, false, 0000, 0020},   // the group may write: not read only
      {0002, false, 0000, 0002},
      {04755, false, 04555, 04755},  // other bits stay
      {01777, false, 01555, 01777},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadOnlyMode(c.mode), c.readOnly) << std::oct << c.mode;
    EXPECT_EQ(ModeWithReadOnly(c.mode, true), c.ticked) << std::oct << c.mode;
    EXPECT_EQ(ModeWithReadOnly(c.mode, false), c.unticked) << std::oct << c.mode;
  }
  EXPECT_TRUE(HiddenName(".bashrc"));
  EXPECT_FALSE(HiddenName("a.txt"));
  EXPECT_FALSE(HiddenName(""));
}

class FileInfoDisk : public qltest::FileTest {};

TEST_F(FileInfoDisk, DetailsOfFilesAndLinks) {
  const std::string file = Path("notes.txt");
  qltest::WriteFile(file, std::string(1536, 'x'));
  chmod(file.c_str(), 0640);
  const timeval times[2] = {{86400 * 365, 0}, {0, 0}};  // accessed 1971, modified 1970
  ASSERT_EQ(utimes(file.c_str(), times), 0);

  FileDetails d;
  ASSERT_TRUE(ReadFileDetails(file, d));
  EXPECT_EQ(d.name, "notes.txt");
  EXPECT_EQ(d.folder, dir_);
  EXPECT_FALSE(d.isLink);
  EXPECT_FALSE(d.isDirectory);
  EXPECT_EQ(d.size, 1536u);
  EXPECT_EQ(d.mode, 0640u);
  EXPECT_EQ(d.modified, std::optional<std::int64_t>(0));
  EXPECT_EQ(d.accessed, std::optional<std::int64_t>(86400 * 365));
  if (d.created) EXPECT_GE(*d.created, std::time(nullptr) - 600);  // birth: now, not 1970
  EXPECT_EQ(TypeText(d, "plain text document"), "plain text document");

  const std::string link = Path(".link");
  ASSERT_EQ(symlink("notes.txt", link.c_str()), 0);
  FileDetails l;
  ASSERT_TRUE(ReadFileDetails(link, l));
  EXPECT_TRUE(l.isLink);
  EXPECT_EQ(l.linkTarget, "notes.txt");
  EXPECT_EQ(l.name, ".link");
  EXPECT_EQ(l.size, 1536u);  // the target's
  EXPECT_EQ(l.mode, 0640u);
  EXPECT_EQ(l.modified, std::optional<std::int64_t>(0));
  EXPECT_EQ(TypeText(l, "plain text document"), "Symbolic link to \"notes.txt\" (plain text document)");

  // Nothing there, or a link to nothing: no details, the record untouched.
  const std::string dangling = Path("dangling");
  ASSERT_EQ(symlink("gone", dangling.c_str()), 0);
  std::string error;
  EXPECT_FALSE(ReadFileDetails(dangling, d, &error));
  EXPECT_EQ(error, "No such file or directory");
  EXPECT_FALSE(ReadFileDetails(Path("none"), d));
  EXPECT_EQ(d.name, "notes.txt");

  FileDetails root;
  ASSERT_TRUE(ReadFileDetails("/", root));
  EXPECT_TRUE(root.isDirectory);
  EXPECT_EQ(root.folder, "/");
}

TEST_F(FileInfoDisk, ChangingTheReadOnlyBox) {
  const std::string file = Path("mine.txt");
  qltest::WriteFile(file, "x");
  chmod(file.c_str(), 0664);
  GiveAway(file);
  // As the owner (nobody when we are root): ticking, then unticking.
  const std::string owner = qltest::InChild(
      [&] {
        FileDetails d;
        std::string r = ChangeFileMode(file, ModeWithReadOnly(0664, true));
        ReadFileDetails(file, d);
        r += std::to_string(d.mode) + " ";
        r += ChangeFileMode(file, ModeWithReadOnly(d.mode, false));
        ReadFileDetails(file, d);
        return r + std::to_string(d.mode);
      },
      true);
  EXPECT_EQ(owner, std::to_string(0444) + " " + std::to_string(0644));

  // Somebody else's file: the system's reason comes back.
  const std::string other = Path("other.txt");
  qltest::WriteFile(other, "x");
  chmod(other.c_str(), 0644);
  if (geteuid() == 0) {
    EXPECT_EQ(qltest::InChild([&] { return ChangeFileMode(other, 0444); }, true), "Operation not permitted");
  }
  EXPECT_EQ(ChangeFileMode(Path("none"), 0444), "No such file or directory");
}
