// The Insert commands' text and the date-time pattern language.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/text_tool_host.h"
#include "tools/DateFormat.h"
#include "tools/Insertions.h"

using namespace ql;

namespace {

TEST(DateFormat, PatternTable) {
  DateTimeParts t;
  t.year = 2026; t.month = 3; t.day = 7; t.hour = 14; t.minute = 5; t.second = 9; t.msec = 42;
  t.dayOfWeek = 6;
  DateLocale loc;
  loc.dateSeparator = ".";
  loc.timeSeparator = "-";
  struct Case {
    const char* pattern;
    const char* out;
  } cases[] = {
      {"d dd ddd dddd", "7 07 Sat Saturday"},
      {"m mm mmm mmmm", "3 03 Mar March"},
      {"yy yyyy", "26 2026"},
      {"h hh n nn s ss z zzz", "14 14 5 05 9 09 42 042"},
      {"hh:mm", "14-05"},            // m after hours is minutes; ':' the locale's
      {"hh dd mm", "14 07 03"},      // a letter in between: month again
      {"d/m/yy", "7.3.26"},
      {"h:nn am/pm", "2-05 pm"},
      {"h:nn AM/PM", "2-05 PM"},
      {"h:nn A/P", "2-05 P"},
      {"h ampm", "2 PM"},
      {"HH:NN", "14-05"},             // 24 hours without a marker
      {"\"d/m\" 'hh' d", "d/m hh 7"}, // quoted literals
      {"\"open", "open"},             // an unclosed quote runs to the end
      {"ddddd", "3.7.2026"},          // the short date format
      {"t", "2-05 PM"},
      {"c", "3.7.2026 2-05-09 PM"},
      {"x?a b", "x?a b"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatDateTime(c.pattern, t, loc), c.out) << c.pattern;
  t.hour = 0;
  EXPECT_EQ(FormatDateTime("h am/pm", t, loc), "12 am");
  t.hour = 12;
  EXPECT_EQ(FormatDateTime("h a/p", t, loc), "12 p");
}

TEST(DateFormat, CustomPatternSuffixAndQtFormats) {
  EXPECT_EQ(DefaultCustomPattern(12), "dddd dd\"th\", yyyy - HH:NN:SS:ZZZ AM/PM");
  EXPECT_NE(DefaultCustomPattern(22).find("\"nd\""), std::string::npos);
  EXPECT_NE(DefaultCustomPattern(23).find("\"rd\""), std::string::npos);
  EXPECT_NE(DefaultCustomPattern(1).find("\"st\""), std::string::npos);
  EXPECT_NE(DefaultCustomPattern(11).find("\"th\""), std::string::npos);
  // The suffix is copied, not read as a pattern ("th" would be a time).
  DateTimeParts t;
  t.day = 12;
  EXPECT_EQ(FormatDateTime(DefaultCustomPattern(12), t, DateLocale()).substr(0, 12), "Saturday 12t");
  EXPECT_EQ(PatternFromQtFormat("dddd, MMMM d, yyyy"), "dddd, mmmm d, yyyy");
  EXPECT_EQ(PatternFromQtFormat("h:mm:ss AP"), "h:nn:ss ampm");
  EXPECT_EQ(PatternFromQtFormat("HH:mm:ss t"), "hh:nn:ss");
  EXPECT_EQ(PatternFromQtFormat("d 'de' MMMM"), "d \"de\" mmmm");
}

TEST(Insertions, AsciiCodes) {
  struct Case {
    const char* input;
    std::string text;
    std::vector<std::string> captions;
    std::string firstBox;
  } cases[] = {
      {"65 66 67", "ABC", {}, ""},
      {"72,300,105", "Hi", {"Not within range!"},
       "The 2nd number you entered is either to high or to low!\nIt must be between (0..255)"},
      {"-5", "\x05", {}, ""},
      {"99999999999", "", {}, ""},
      {"65,99999999999", "A", {"Error in character number!"},
       "The character , is not valid in a integer value!"},
      {"65 '66' 67", "A", {"Error in character number!"}, "The character   is not valid in a integer value!"},
      {"0+65", "A", {}, ""},
      {"Separate with a non-number", "", {}, ""},
      {"00000000065", "A", {}, ""},
  };
  for (const Case& c : cases) {
    MemoryToolHost host;
    AsciiCharsCommand(host, c.input);
    EXPECT_EQ(host.buffer.Text(), c.text) << c.input;
    ASSERT_EQ(host.boxes.size(), c.captions.size()) << c.input;
    for (std::size_t i = 0; i < c.captions.size(); ++i) EXPECT_EQ(host.boxes[i].caption, c.captions[i]);
    if (!c.firstBox.empty()) {
      EXPECT_EQ(host.boxes[0].text, c.firstBox);
      EXPECT_EQ(host.boxes[0].flags, 16u);
    }
  }
}

TEST(Insertions, VisibleBlock) {
  const std::string block = VisibleAsciiBlock();
  EXPECT_EQ(block.size(), 224u + 12u);
  EXPECT_EQ(block.substr(0, 3), " !\"");
  EXPECT_EQ(block.substr(32, 3), "\r\n@");
  EXPECT_EQ(static_cast<unsigned char>(block.back()), 255);
}

TEST(Insertions, RelativeFileNames) {
  struct Case {
    const char* doc;
    const char* file;
    const char* out;
  } cases[] = {
      {"/a/b/doc.txt", "/a/b/f.txt", "f.txt"},
      {"/a/b/doc.txt", "/a/c/f.txt", "../c/f.txt"},
      {"/a/b/doc.txt", "/a/b/c/d/f.txt", "c/d/f.txt"},
      {"/a//b/doc.txt", "/a/b/f.txt", "f.txt"},  // no stray ../ for an empty name
      {"/a/b/doc.txt", "/x/f.txt", "../../x/f.txt"},
      {"/a/B/doc.txt", "/a/b/f.txt", "../b/f.txt"},  // names differ by case here
      {"Untitled", "/a/b/f.txt", "/a/b/f.txt"},
  };
  for (const Case& c : cases) EXPECT_EQ(RelativeFileName(c.doc, c.file), c.out) << c.doc << " " << c.file;
  EXPECT_EQ(FileNameLines({"/a/x.txt", "/a/b/y.txt"}, FileNameForm::Relative, "/a/d.txt"),
            "x.txt\r\nb/y.txt\r\n");
  EXPECT_EQ(FileNameLines({"/a/caf\xC3\xA9"}, FileNameForm::Full, "Untitled"), "/a/caf\xE9\r\n");
}

TEST(Insertions, TextFromFile) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                    ("ql_ins_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string good = (dir / "good.txt").string();
  { std::ofstream(good, std::ios::binary) << std::string("ab\nc\x1A" "de", 6); }

  MemoryToolHost host;
  host.buffer.SetText("xSELy");
  host.buffer.SetSelection(1, 3);
  TextFromFileCommand(host, good);
  EXPECT_EQ(host.buffer.Text(), "xab\r\ncy");
  EXPECT_EQ(host.changed, 1);

  host.buffer.SetSelection(1, 2);
  TextFromFileCommand(host, (dir / "none.txt").string());
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].caption, "File doesn't exist!");
  EXPECT_EQ(host.buffer.SelLength(), 2);

  // Directories and pipes are no files: reported, never read (a pipe would hang).
  std::string text;
  EXPECT_EQ(ReadTextFile(dir.string(), text), ReadResult::Missing);
  const std::string fifo = (dir / "pipe").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  TextFromFileCommand(host, fifo);
  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes[1].text, "The file doesn't exist!\n\"" + fifo + "\"");
  EXPECT_EQ(host.buffer.Text(), "xab\r\ncy");
  EXPECT_EQ(host.buffer.SelLength(), 2);

  // Without read permission. Root reads anything, so the check runs as
  // "nobody" in a child process then.
  const std::string unreadable = (dir / "locked.txt").string();
  { std::ofstream(unreadable) << "secret"; }
  ::chmod(unreadable.c_str(), 0);
  if (::geteuid() != 0) {
    TextFromFileCommand(host, unreadable);
    ASSERT_EQ(host.boxes.size(), 3u);
    EXPECT_EQ(host.boxes[2].caption, "Couldn't read file!");
    EXPECT_EQ(host.buffer.SelLength(), 2);
  } else {
    ::chmod(dir.c_str(), 0755);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
      MemoryToolHost inner;
      inner.buffer.SetText("keep");
      inner.buffer.SelectAll();
      TextFromFileCommand(inner, unreadable);
      const bool ok = inner.boxes.size() == 1 && inner.boxes[0].caption == "Couldn't read file!" &&
                      inner.buffer.Text() == "keep" && inner.buffer.SelLength() == 4;
      ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  std::filesystem::remove_all(dir);
}

TEST(Insertions, HexColorSelections) {
  EXPECT_EQ(HexColorCode(0x0080FF), "FF8000");
  struct Case {
    const char* sel;
    bool editing, hash;
    Color initial;
  } cases[] = {
      {"#ff8000", true, true, 0x0080FF},
      {"FF8000", true, false, 0x0080FF},
      {"ABCDEF1", true, false, 0},  // seven digits, no '#': black
      {"#12345g", true, true, 0},
      {"abc", false, true, 0},
      {"", false, true, 0},
  };
  for (const Case& c : cases) {
    const HexColorStart s = ReadHexSelection(c.sel);
    EXPECT_EQ(s.editing, c.editing) << c.sel;
    if (c.editing) {
      EXPECT_EQ(s.hash, c.hash) << c.sel;
    }
    EXPECT_EQ(s.initial, c.initial) << c.sel;
  }
}

}  // namespace
