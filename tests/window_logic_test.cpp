#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "app/Options.h"
#include "app/WindowLogic.h"

using namespace ql;

namespace {

TEST(WindowLogic, Caption) {
  struct Case {
    std::string doc;
    bool full, modified;
    std::string want;
  };
  const Case cases[] = {
      {"Untitled", false, false, "Quillora  <Untitled>"},
      {"Untitled", true, true, "Quillora  <Untitled> *"},
      {"/home/u/notes.txt", false, false, "Quillora  <notes.txt>"},
      {"/home/u/notes.txt", true, false, "Quillora  </home/u/notes.txt>"},
      {"/home/u/a:b.txt", false, true, "Quillora  <a:b.txt> *"},  // a colon is part of the name
  };
  for (const Case& c : cases) EXPECT_EQ(MakeCaption(c.doc, c.full, c.modified), c.want) << c.doc;
  EXPECT_EQ(ApplicationTitle(MakeCaption("Untitled", false, true)),
            "Norvane Quillora  <Untitled> *");
}

TEST(WindowLogic, StatusPanelWidths) {
  EXPECT_EQ(StatusPanelWidths(1000), (std::array<int, 5>{550, 110, 110, 110, 120}));
  EXPECT_EQ(StatusPanelWidths(799), (std::array<int, 5>{439, 87, 87, 87, 95}));
}

TEST(WindowLogic, DialogFilters) {
  const std::vector<std::string> open = DialogFilters(kOpenFilter);
  ASSERT_EQ(open.size(), 16u);
  EXPECT_EQ(open[0], "All files (*)");  // README and Makefile are listed too
  EXPECT_EQ(open[1],
            "Plain text (*.txt *.bat *.html *.htm *.nfo *.log *.1st *.diz *.faq *.me *.now *.ini "
            "*.inf *.tmp)");
  EXPECT_EQ(open[4], "Hyper Text Markup Language (*.html *.htm)");
  const std::vector<std::string> save = DialogFilters(kSaveFilter);
  ASSERT_EQ(save.size(), 16u);
  EXPECT_EQ(save[1], "Text (*.txt)");
  EXPECT_EQ(save[3], "Hyper Text Markup Lanuage (*.html)");
  EXPECT_EQ(DialogFilters("Odd|*.a;;*.b"), std::vector<std::string>{"Odd (*.a *.b)"});
}

TEST(WindowLogic, CommandLine) {
  using A = CommandLineAction;
  struct Case {
    std::vector<std::string> args;
    A::Kind kind;
    std::string first;
    std::vector<std::string> others;
  };
  const Case cases[] = {
      {{}, A::Nothing, "", {}},
      {{"/FirstRun", "a.txt"}, A::FirstRun, "", {}},
      {{"/firstrun"}, A::OpenFiles, "/firstrun", {}},  // options are case-sensitive
      {{"/?"}, A::Help, "", {}},
      {{"a.txt", "/?"}, A::OpenFiles, "a.txt", {"/?"}},
      {{"a b.txt", "\"q\".txt", "/FirstRun"}, A::OpenFiles, "a b.txt", {"\"q\".txt", "/FirstRun"}},
  };
  for (const Case& c : cases) {
    const A a = ClassifyCommandLine(c.args);
    EXPECT_EQ(a.kind, c.kind);
    EXPECT_EQ(a.first, c.first);
    EXPECT_EQ(a.others, c.others);
  }
}

struct FakeTarget : InstanceTarget {
  bool exists = false, modified = false;
  int saves = 0, execs = 0, fileSaves = 0;
  void SaveSettingsCommand() override { ++saves; }
  void QueueExecFileDef() override { ++execs; }
  void QueueSaveFile() override { ++fileSaves; }
  bool DocumentFileExists() const override { return exists; }
  bool Modified() const override { return modified; }
  std::int64_t TextLength() const override { return 5000000000LL; }
  std::int64_t LineCount() const override { return 3; }
  std::int64_t WordCount() const override { return 7; }
};

TEST(WindowLogic, InstanceCommands) {
  FakeTarget t;
  EXPECT_EQ(HandleInstanceCommand(1, t), 1);
  EXPECT_EQ(t.saves, 1);
  EXPECT_EQ(HandleInstanceCommand(2, t), 1);
  EXPECT_EQ(t.execs, 0);
  EXPECT_EQ(HandleInstanceCommand(3, t), 1);
  EXPECT_EQ(t.fileSaves, 0);
  t.exists = t.modified = true;
  HandleInstanceCommand(2, t);
  HandleInstanceCommand(3, t);
  EXPECT_EQ(t.execs, 1);
  EXPECT_EQ(t.fileSaves, 1);
  EXPECT_EQ(HandleInstanceCommand(10, t), 5000000000LL);
  EXPECT_EQ(HandleInstanceCommand(11, t), 2);
  EXPECT_EQ(HandleInstanceCommand(12, t), 7);
  for (int other : {0, 4, 7, 9, 13, -1}) EXPECT_EQ(HandleInstanceCommand(other, t), 0) << other;
  EXPECT_EQ(t.saves, 1);
}

TEST(WindowLogic, AskSaveChanges) {
  struct Case {
    bool modified;
    int answer;
    bool saved;
    bool want;
  };
  const Case cases[] = {
      {false, 2, false, true}, {true, 7, false, true}, {true, 2, false, false}, {true, 6, true, true},
      {true, 6, false, false},  // a failed or cancelled save keeps the text
  };
  for (const Case& c : cases) {
    std::string asked;
    bool saveCalled = false;
    SavePrompt p;
    p.ask = [&](const std::string& text, const std::string& caption, unsigned flags) {
      asked = caption + "|" + std::to_string(flags) + "|" + text;
      return c.answer;
    };
    p.save = [&] {
      saveCalled = true;
      return c.saved;
    };
    EXPECT_EQ(AskSaveChanges("Save your work?", c.modified, "/t/a.txt", p), c.want);
    EXPECT_EQ(saveCalled, c.answer == 6 && c.modified);
    EXPECT_EQ(asked, !c.modified ? "" : "Save your work?|35|Do you want to save the file:\n\"/t/a.txt\"\n"
                                        "Press cancel to keep working with the file.");
  }
}

TEST(Options, AddToHistory) {
  struct Case {
    std::vector<std::string> list;
    std::string text;
    std::size_t max;
    std::vector<std::string> want;
  };
  const Case cases[] = {
      {{"abc", "x"}, "ABC", 12, {"ABC", "x"}},
      {{}, "a\r\nb", 12, {"a\rb"}},
      {{"a\rb"}, "A\r\nB", 12, {"A\rB"}},
      {{"1", "2", "3"}, "4", 3, {"4", "1", "2"}},
      {{"1", "2", "3"}, "4", 0, {"4", "1", "2", "3"}},
      {{"\xE0" "b"}, "\xC0" "B", 12, {"\xC0" "B"}},  // accented letters compare without case
      {{"x"}, "\r\n\r\n", 12, {"\r\r", "x"}},
      {{}, "a\r\n\nb", 12, {"a\rb"}},  // merging a pair must not leave a new one
      {{}, "\r\n\n\n\r", 12, {"\r\r"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> list = c.list;
    AddToHistory(list, c.text, c.max);
    EXPECT_EQ(list, c.want) << c.text;
  }
}

TEST(Options, Themes) {
  AppOptions o;
  ApplyThemeColors(o, 5);
  EXPECT_EQ(o.BackColor, 0x000080u);
  EXPECT_EQ(o.TextColor, 0x0080FFu);
  EXPECT_EQ(o.BoxBackColor, 0x0000AEu);
  EXPECT_EQ(o.BoxTextColor, 0xFFFFFFu);
  ApplyThemeColors(o, 0);
  EXPECT_EQ(o.BackColor, clWindow);
  EXPECT_EQ(o.BoxTextColor, clWindowText);
  ApplyThemeColors(o, 6);  // no such theme: unchanged
  EXPECT_EQ(o.BackColor, clWindow);
  EXPECT_STREQ(ColorThemes()[2].name, "Ember Deck");
}

// WordWrap and FullPath are read off the status bar in the main window test.
TEST(Options, ToggleStatusText) {
  EXPECT_EQ(ToggleStatusText(Check::DefRecentIconOpt, true), "Use default icon in recent list = true");
  EXPECT_EQ(ToggleStatusText(Check::SaveAutoOpt, false), "Save Settings Automatic = false");
}

TEST(WindowLogic, UntitledHasNoFileEvenWhenOneIsCalledSo) {
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  char folder[] = "/tmp/ql_untitled_XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  ASSERT_EQ(chdir(folder), 0);
  { std::ofstream("Untitled") << "not ours"; }
  std::ofstream(std::string(folder) + "/notes.txt") << "x";
  EXPECT_FALSE(DocumentHasFile("Untitled"));
  EXPECT_TRUE(DocumentHasFile(std::string(folder) + "/notes.txt"));
  EXPECT_FALSE(DocumentHasFile(std::string(folder) + "/missing.txt"));
  EXPECT_FALSE(DocumentHasFile(folder));  // a folder is no document file
  EXPECT_TRUE(DocumentHasFile(std::string(folder) + "/Untitled"));  // a real path is a file
  ASSERT_EQ(chdir(cwd), 0);
  std::remove((std::string(folder) + "/Untitled").c_str());
  std::remove((std::string(folder) + "/notes.txt").c_str());
  rmdir(folder);
}

TEST(WindowLogic, TimeStampFormatLeavesTheZoneOut) {
  const std::pair<std::string, std::string> cases[] = {
      {"h:mm:ss AP t", "h:mm:ss AP"},
      {"HH:mm:ss t", "HH:mm:ss"},
      {"HH:mm:ss tttt", "HH:mm:ss"},
      {"t HH:mm:ss", "HH:mm:ss"},
      {"tAh:mm:ss", "Ah:mm:ss"},
      {"H:mm:ss (t)", "H:mm:ss"},
      {"HH 'h' mm 'min' ss 's' t", "HH 'h' mm 'min' ss 's'"},
      {"HH:mm:ss 'at noon'", "HH:mm:ss 'at noon'"},  // quoted text is kept whole
      {"HH:mm:ss", "HH:mm:ss"},
      {"t", ""},
      {"", ""},
  };
  for (const auto& [format, want] : cases) EXPECT_EQ(WithoutTimeZone(format), want) << format;
}

TEST(WindowLogic, RenamePreselectsTheNameBeforeItsExtension) {
  const std::pair<std::string, std::size_t> cases[] = {
      {"notes.txt", 5}, {"report.final.txt", 12}, {"README", 6},
      {".profile", 8},  {"a.", 1},                {"", 0},
  };
  for (const auto& [name, want] : cases) EXPECT_EQ(BaseNameLength(name), want) << name;
}

}  // namespace
