// The run dialog's rules: arguments split like QProcess::splitCommand,
// placeholders filled in one scan, the history, and what starting a
// program really gives back.
#include <gtest/gtest.h>

#include <fcntl.h>

#include "dialogs/Run.h"
#include "file_test_support.h"
#include "platform/Launch.h"

using namespace ql;
using Args = std::vector<std::string>;

TEST(RunRules, SplitsLikeSplitCommand) {
  struct Case {
    const char* text;
    Args args;
  } cases[] = {
      {"", {}},
      {"   \t ", {}},
      {"a b  c", {"a", "b", "c"}},
      {"\"/home/me/my file.txt\"", {"/home/me/my file.txt"}},
      {"-o \"out dir/x\" in", {"-o", "out dir/x", "in"}},
      {"pre\"fix mid\"post", {"prefix midpost"}},
      {"\"\"", {}},                                  // an empty pair gives nothing
      {"a \"\" b", {"a", "b"}},
      {"\"\"\"", {"\""}},                            // three quotes are one
      {"say \"\"\"hi\"\"\"", {"say", "\"hi\""}},
      {"\"a \"\"\" b\"", {"a \" b"}},
      {"\"unterminated quote", {"unterminated quote"}},
      {"$HOME;rm -rf x|y&z>w", {"$HOME;rm", "-rf", "x|y&z>w"}},
      {"'single quoted' \\\"back", {"'single", "quoted'", "\\back"}},
      {"%F% \"%D%\"", {"%F%", "%D%"}},
      {"a\nb\rc\vd\fe", {"a", "b", "c", "d", "e"}},
      {"non\xC2\xA0" "breaking\xE3\x80\x80ideographic", {"non", "breaking", "ideographic"}},
      {"caf\xC3\xA9 \xC3\xA0", {"caf\xC3\xA9", "\xC3\xA0"}},
      {"\"keep\xC2\xA0inside\"", {"keep\xC2\xA0inside"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitArguments(c.text), c.args) << c.text;
}

TEST(RunRules, PlaceholdersInOneScan) {
  const std::string doc = "/home/me/web pages/index.htm";
  struct Case {
    const char* text;
    const char* doc;
    const char* out;
  } cases[] = {
      {"%F%", "", "/home/me/web pages/index.htm"},
      {"%f%|%d%", "", "/home/me/web pages/index.htm|/home/me/web pages/"},
      {"%%", "", "%"},
      {"%%F%", "", "%F%"},          // the escaped percent is not read again
      {"%F%%", "", "/home/me/web pages/index.htm%"},
      {"%%%F%", "", "%/home/me/web pages/index.htm"},
      {"100% sure %", "", "100% sure %"},
      {"%X% %F", "", "%X% %F"},
      {"%D%%D%", "/a%D%b/x", "/a%D%b//a%D%b/"},   // inserted text is never searched again
      {"%F%", "/dir/a%F%b%%", "/dir/a%F%b%%"},
      {"%D%", "/root.txt", "/"},
      {"%F%;%D%", "Untitled", "Untitled;"},
      {"\x1a%F%", "/x", "\x1a/x"},      // the old marker character is ordinary text
  };
  for (const Case& c : cases)
    EXPECT_EQ(ExpandPlaceholders(c.text, *c.doc ? c.doc : doc), c.out) << c.text;

  EXPECT_TRUE(UsesFileName("\"%F%\""));
  EXPECT_TRUE(UsesFileName("%f%"));
  EXPECT_TRUE(UsesFileName("%%%F%"));
  EXPECT_FALSE(UsesFileName("%%F%"));
  EXPECT_FALSE(UsesFileName("%D% %%"));
}

TEST(RunRules, SplitBeforeFillingIn) {
  // The document's name keeps its blanks, quotes, '$' and ';' inside one argument.
  const std::string doc = "/tmp/a \"b\" $c; %D% d.txt";
  const RunCommand c = PlanRun({"prog", "-n \"%F%\" %F% x%%y \"\"", "%D%sub"}, doc);
  EXPECT_EQ(c.file, "prog");
  EXPECT_EQ(c.args, (Args{"-n", doc, doc, "x%y"}));
  EXPECT_EQ(c.folder, "/tmp/sub");
  // Defaults with a document never saved.
  const RunCommand u = PlanRun({"prog", kRunDefaultParams, kRunDefaultFolder}, "Untitled");
  EXPECT_EQ(u.args, Args{"Untitled"});
  EXPECT_EQ(u.folder, "");
  EXPECT_TRUE(BlankText(" \t\xC2\xA0"));
  EXPECT_FALSE(BlankText(" x "));
}

TEST(RunRules, SaveFirstWhenTheRunNamesTheFile) {
  struct Case {
    RunFields typed;
    bool names;
  } cases[] = {
      {{"prog", kRunDefaultParams, kRunDefaultFolder}, true},
      {{"prog", "-x", "%D%"}, false},
      {{"prog", "-x", "%F%.d"}, true},
      {{"prog", "%\"F\"%", ""}, true},      // the quotes go when split: %F%
      {{"prog", "8\"V\"\"%\"%F%", ""}, false},  // split: 8V%%F%, a literal %F%
      {{"prog", "%%F%", ""}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunUsesFileName(c.typed), c.names) << c.typed.params;
    const RunCommand run = PlanRun(c.typed, "/marker");
    bool named = run.folder.find("/marker") != std::string::npos;
    for (const std::string& a : run.args) named = named || a.find("/marker") != std::string::npos;
    EXPECT_EQ(named, c.names) << c.typed.params;
  }
}

TEST(RunRules, HistoryEntries) {
  const std::string sep(1, kRunSeparator);
  EXPECT_EQ(RunEntry({"firefox", "\"%F%\"", "%D%"}), "firefox" + sep + "\"%F%\"" + sep + "%D%" + sep);
  EXPECT_EQ(RunEntryFields("a" + sep + "b" + sep + "c" + sep), (Args{"a", "b", "c"}));
  EXPECT_EQ(RunEntryFields("a" + sep + sep + sep), (Args{"a", "", ""}));
  EXPECT_EQ(RunEntryFields("a" + sep + "b"), (Args{"a", "b"}));
  EXPECT_EQ(RunEntryFields("only a file"), Args{"only a file"});
  EXPECT_EQ(RunEntryFields(""), Args{});

  std::vector<std::string> list;
  const auto entry = [](const std::string& f, const std::string& p) { return RunEntry({f, p, "%D%"}); };
  AddRunHistory(list, entry("/bin/prog", "a"));
  AddRunHistory(list, entry("/bin/prog", "b"));
  AddRunHistory(list, entry("/bin/prog", "a"));  // same again: one entry, on top
  EXPECT_EQ(list, (Args{entry("/bin/prog", "a"), entry("/bin/prog", "b")}));
  AddRunHistory(list, entry("/bin/Prog", "a"));  // another file here
  EXPECT_EQ(list.size(), 3u);
  EXPECT_EQ(RunComboItems(list), (Args{"/bin/Prog", "/bin/prog", "/bin/prog"}));
  AddRunHistory(list, "x\r\ny" + sep);
  EXPECT_EQ(list.front(), "x\ry" + sep);
  AddRunHistory(list, "x\r\n\ny" + sep);  // no CR LF left behind by the merge
  EXPECT_EQ(list.front(), "x\ry" + sep);
  for (int i = 0; i < 20; ++i) AddRunHistory(list, entry("p" + std::to_string(i), ""));
  ASSERT_EQ(list.size(), kRunHistoryMax);
  EXPECT_EQ(list.front(), entry("p19", ""));
  EXPECT_EQ(list.back(), entry("p8", ""));
}

TEST(RunRules, ResultMessages) {
  const RunCommand c{"prog", {}, "/no/such dir"};
  struct Case {
    int code;
    const char* text;
  } cases[] = {
      {kShellOutOfResources, "Out of memory or resources!"},
      {kShellFileNotFound, "The file was not found!"},
      {kShellPathNotFound, "The initial folder was not found!\n\"/no/such dir\""},
      {kShellAccessDenied, "File access denied!"},
      {kShellNotEnoughMemory, "Not enough memory!"},
      {kShellInvalidFile, "Invalid file!"},
      {kShellSharingViolation, "A sharing violation occurred!"},
      {27, "File association incomplete!"},
      {kShellNoAssociation, "File is not associated!"},
      {1, "The file could not be run!"},  // no small code passes as success
      {32, "The file could not be run!"},
      {kShellOk, ""},
  };
  for (const Case& k : cases) {
    const RunMessage m = RunResultMessage(k.code, c);
    EXPECT_EQ(m.text, k.text) << k.code;
    EXPECT_EQ(m.caption, "An Error Occured!");
    EXPECT_EQ(m.flags, 16u);
  }
}

namespace {

class LaunchTest : public qltest::FileTest {};

// Waits (at most five seconds) until a started program has written its file.
std::string AwaitFile(const std::string& path) {
  for (int i = 0; i < 500; ++i) {
    const std::string text = qltest::ReadFile(path);
    if (!text.empty() && text.back() == '\n') return text;
    usleep(10000);
  }
  return "";
}

}  // namespace

TEST_F(LaunchTest, Results) {
  const std::string plain = Path("plain.txt");
  qltest::WriteFile(plain, "just text\n");
  chmod(plain.c_str(), 0644);
  const std::string garbage = Path("garbage");
  qltest::WriteFile(garbage, "\x01\x02 not a program\n");
  chmod(garbage.c_str(), 0755);
  struct Case {
    std::string program, dir;
    int result;
  } cases[] = {
      {"/bin/true", "", kShellOk},
      {"/bin/true", dir_, kShellOk},
      {Path("missing"), "", kShellFileNotFound},
      {Path("no/such/prog"), "", kShellFileNotFound},
      {plain, "", kShellAccessDenied},     // no execute bit, for root too
      {garbage, "", kShellInvalidFile},    // never handed to a shell as a script
      {dir_, "", kShellAccessDenied},
      {"/bin/true", Path("missing dir"), kShellPathNotFound},
      {"/bin/true", plain, kShellPathNotFound},
      {"", "", kShellFileNotFound},
  };
  for (const Case& c : cases) EXPECT_EQ(LaunchDetached(c.program, {}, c.dir), c.result) << c.program << " in " << c.dir;
}

TEST_F(LaunchTest, DetachedWithArgumentsInItsFolderReadingNothing) {
  const std::string out = Path("out");
  const std::string work = Path("work dir");
  ASSERT_EQ(mkdir(work.c_str(), 0755), 0);
  // The shell here is the program under test, given its script as an argument.
  const std::string script =
      "{ pwd; readlink /proc/$$/fd/0; cut -d' ' -f6 /proc/$$/stat; printf '%s|' \"$@\"; echo; } > \"$0.tmp\" && "
      "mv \"$0.tmp\" \"$0\"";
  ASSERT_EQ(LaunchDetached("/bin/sh", {"-c", script, out, "two words", "$HOME", "a;b", "\"q\""}, work), kShellOk);
  std::string got = AwaitFile(out);
  ASSERT_FALSE(got.empty());
  const std::string session = std::to_string(getsid(0));
  EXPECT_EQ(got.substr(0, got.find('\n')), work);
  got.erase(0, got.find('\n') + 1);
  EXPECT_EQ(got.substr(0, got.find('\n')), "/dev/null");
  got.erase(0, got.find('\n') + 1);
  EXPECT_NE(got.substr(0, got.find('\n')), session);  // a session of its own
  got.erase(0, got.find('\n') + 1);
  EXPECT_EQ(got, "two words|$HOME|a;b|\"q\"|\n");
}

TEST_F(LaunchTest, ProgramNobodyMayRun) {
  // Root may run anything with an execute bit: the refusal shows as nobody.
  const std::string own = Path("owner-only");
  qltest::WriteFile(own, "#!/bin/true\n");
  chmod(own.c_str(), 0700);
  const std::string busy = Path("busy");
  chmod(dir_.c_str(), 0777);
  const std::string result = qltest::InChild(
      [&] {
        std::string r = std::to_string(LaunchDetached(own, {}, ""));
        // A program file open for writing cannot be run.
        const int fd = open(busy.c_str(), O_WRONLY | O_CREAT, 0700);
        if (fd >= 0 && write(fd, "#!/bin/true\n", 12) == 12)
          r += " " + std::to_string(LaunchDetached(busy, {}, ""));
        close(fd);
        return r;
      },
      true);
  if (geteuid() == 0) {
    EXPECT_EQ(result, "5 26");
  } else {
    EXPECT_EQ(result, "33 26");  // our own file runs
  }
}
