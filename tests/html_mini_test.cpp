// Tag removal and the minifier: their edge cases, the commands on the
// in-memory document, and both checked on random texts against perl and sed.
#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <random>
#include <sstream>

#include "editor/MemoryBuffer.h"
#include "platform/MsgBoxCodes.h"
#include "tools/HtmlMini.h"

extern char** environ;

using namespace ql;

namespace {

// The text tools' host with scripted answers, status texts and sounds.
class HtmlHost : public HtmlToolHost {
 public:
  MemoryBuffer buffer;
  std::vector<std::string> texts, captions, status;
  std::vector<int> answers;  // in turn, then Yes
  int changed = 0, sounds = 0, bulk = 0;

  EditorBuffer& Buffer() override { return buffer; }
  void BeginBulk() override { ++bulk; }
  void EndBulk() override {}
  void TextChanged() override { ++changed; }
  int Message(const std::string& text, const std::string& caption, unsigned) override {
    texts.push_back(text);
    captions.push_back(caption);
    const std::size_t i = texts.size() - 1;
    return i < answers.size() ? answers[i] : IdYes;
  }
  void ShowStatus(const std::string& text) override { status.push_back(text); }
  void PlayCompletionSound() override { ++sounds; }
};

std::string Tag(std::size_t length) {  // "<" + filler + ">", length in all
  return "<" + std::string(length - 2, 'x') + ">";
}

TEST(RemoveTags, EdgeCases) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"<b>hi</b>", "hi"},
      {"a<b<c>d", "a<bd"},                 // the second "<" starts the tag anew
      {"a > b", "a > b"},                  // ">" outside a tag stays
      {"x <never closed", "x <never closed"},
      {"a<b>c<d", "ac<d"},
      {"<<a>b>", "<b>"},                   // the scan goes on behind a removed tag
      {"l1\r\n<p>\r\nl2 &amp;", "l1\r\n\r\nl2 &amp;"},
      {"<a\r\nhref=x>t</a>", "t"},
      {"", ""},
      {"<>", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(RemoveTags(c.in).text, c.out) << c.in;
}

// 199 characters go silently; 200 ask. No keeps that tag, Cancel keeps it
// and everything after it.
TEST(RemoveTags, LongTagQuestion) {
  const std::string t199 = Tag(199), t200 = Tag(200), t300 = Tag(300);
  struct Case {
    const char* name;
    std::string in;
    std::vector<int> answers;
    std::string out;
    std::vector<std::string> asked;
    bool cancelled;
  } const cases[] = {
      {"199 characters", "a" + t199 + "b", {}, "ab", {}, false},
      {"200 characters, Yes", "a" + t200 + "b", {IdYes}, "ab", {t200}, false},
      {"No", "<i>" + t200 + "<b>x", {IdNo}, t200 + "x", {t200}, false},
      {"Cancel", "<i>" + t200 + "1" + t300 + "<b>2", {IdYes, IdCancel}, "1" + t300 + "<b>2",
       {t200, t300}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> asked;
    const TagRemoval r = RemoveTags(c.in, [&](const std::string& tag) {
      asked.push_back(tag);
      return c.answers.at(asked.size() - 1);
    });
    EXPECT_EQ(r.text, c.out);
    EXPECT_EQ(asked, c.asked);
    EXPECT_EQ(r.cancelled, c.cancelled);
  }
}

TEST(HtmlMini, LongTagMessageShowsTheStartOnly) {
  const std::string shortMsg = LongTagMessage("<ab\xE9>");
  EXPECT_EQ(shortMsg,
            "A tag with a length over 200 was found!\nThis is not a normal HTML tag!\n\n\n<ab\xC3\xA9>"
            "\n\n\nDo you want to remove it?");
  const std::string huge = "<" + std::string(5000000, 'y') + ">";
  const std::string msg = LongTagMessage(huge);
  EXPECT_LT(msg.size(), 500u);
  EXPECT_NE(msg.find("<" + std::string(299, 'y') + "...\n"), std::string::npos);
}

TEST(MinimizeHtml, EdgeCases) {
  struct Case {
    std::string in;
    bool crlf, spaces;
    std::string out;
  } cases[] = {
      {"one\r\ntwo", true, true, "one two"},
      {"one  two", true, true, "onetwo"},
      {"one   two", true, true, "one two"},
      {"one    two", true, true, "onetwo"},
      {"a\t\t\tb\t\tc", true, true, "a\tbc"},
      {"a \t \tb", true, true, "a \t \tb"},      // mixed: no pairs
      {"<p>\r\n  <b>", true, true, "<p> <b>"},  // CR LF + 2 spaces: 3 spaces, then 1
      {"a\rb\nc", true, true, "a\rb\nc"},        // lone CR or LF stay
      {"a\r\n  b", false, true, "a\r\nb"},
      {"a\r\n  b", true, false, "a   b"},
      {"a\r\n  b\t\t", false, false, "a\r\n  b\t\t"},
      {"", true, true, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(MinimizeHtml(c.in, c.crlf, c.spaces), c.out) << c.in;
}

// Equal and empty sizes are reported through the command below.
TEST(HtmlMini, Reports) {
  EXPECT_EQ(RemoveTagsReport(9, 2), "Reduced about: 78%\nFrom \"9\" chars, to \"2\" chars.");
  // after * 100 overflows 32 bits on a 50 MB text.
  EXPECT_EQ(RemoveTagsReport(60000000000LL, 30000000000LL),
            "Reduced about: 50%\nFrom \"60000000000\" chars, to \"30000000000\" chars.");
  EXPECT_EQ(MinimizeReport(10, 7),
            "Reduced the filesize of the HTML document by \"3\" characters.\nFrom \"10\" to \"7\" bytes!");
}

// Each command reports what it did; a change is one undoable step.
TEST(HtmlMini, CommandsReportAndChangeInOneStep) {
  const auto remove = [](HtmlToolHost& h) { RemHtmlTagCommand(h); };
  const std::vector<std::string> removing = {"Removing HTML tags...", "HTML tags removed!"};
  struct Case {
    const char* name;
    std::string text;
    std::vector<int> answers;
    std::function<void(HtmlToolHost&)> run;
    std::string after;
    std::vector<std::string> captions;
    const char* report;  // the last box; none when empty
    std::vector<std::string> status;
    int sounds;
  } const cases[] = {
      {"remove", "x <b>hi</b> y", {}, remove, "x hi y", {"Remove HTML Tags?", "Function Result!"},
       "Reduced about: 54%\nFrom \"13\" chars, to \"6\" chars.", removing, 1},
      {"remove answered No", "<b>hi</b>", {IdNo}, remove, "<b>hi</b>", {"Remove HTML Tags?"}, "", {}, 0},
      {"remove on an empty document", "", {}, remove, "", {"Remove HTML Tags?", "Function Result!"},
       "Reduced about: 0%\nFrom \"0\" chars, to \"0\" chars.", removing, 1},
      {"remove without tags", "a > b", {}, remove, "a > b", {"Remove HTML Tags?", "Function Result!"},
       "Reduced about: 0%\nFrom \"5\" chars, to \"5\" chars.", removing, 1},
      {"minimize", "<p>\r\n  <b>x</b>\r\n</p>", {}, [](HtmlToolHost& h) { MiniHtmlCommand(h, true, true); },
       "<p> <b>x</b> </p>", {"Function result"},
       "Reduced the filesize of the HTML document by \"4\" characters.\nFrom \"21\" to \"17\" bytes!", {}, 0},
      {"minimize with both options off", "a  b\r\nc", {},
       [](HtmlToolHost& h) { MiniHtmlCommand(h, false, false); }, "a  b\r\nc", {"Function result"},
       "Reduced the filesize of the HTML document by \"0\" characters.\nFrom \"7\" to \"7\" bytes!", {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HtmlHost host;
    host.buffer.SetText(c.text);
    host.answers = c.answers;
    c.run(host);
    EXPECT_EQ(host.buffer.Text(), c.after);
    EXPECT_EQ(host.captions, c.captions);
    if (*c.report) {
      EXPECT_EQ(host.texts.back(), c.report);
    }
    EXPECT_EQ(host.status, c.status);
    EXPECT_EQ(host.sounds, c.sounds);
    const bool changed = c.after != c.text;
    EXPECT_EQ(host.changed, changed ? 1 : 0);
    if (changed) {
      host.buffer.Undo();
      EXPECT_EQ(host.buffer.Text(), c.text);
    }
    EXPECT_FALSE(host.buffer.CanUndo());
  }
}

// ---- oracles ----

// Runs argv with `input` on its standard input (LC_ALL=C); nothing when the
// program cannot be run.
std::optional<std::string> Filter(const std::vector<std::string>& args, const std::string& input) {
  char inPath[] = "/tmp/ql_oracle_inXXXXXX";
  char outPath[] = "/tmp/ql_oracle_outXXXXXX";
  const int in = ::mkstemp(inPath);
  const int out = ::mkstemp(outPath);
  if (in < 0 || out < 0) return std::nullopt;
  if (::write(in, input.data(), input.size()) != static_cast<ssize_t>(input.size())) return std::nullopt;
  ::lseek(in, 0, SEEK_SET);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in, 0);
  posix_spawn_file_actions_adddup2(&actions, out, 1);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<std::string> envText = {"LC_ALL=C", "PATH=/usr/bin:/bin"};
  std::vector<char*> env = {envText[0].data(), envText[1].data(), nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  if (spawned == 0) ::waitpid(pid, &status, 0);
  ::close(in);
  ::close(out);
  std::ifstream result(outPath, std::ios::binary);
  std::stringstream bytes;
  bytes << result.rdbuf();
  ::unlink(inPath);
  ::unlink(outPath);
  if (spawned != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return bytes.str();
}

// Texts made mostly of the characters that matter, now and then a long tag.
std::string RandomHtml(std::mt19937& rng) {
  static const char alphabet[] = "<<>> \t\r\n\r\nab/=\"\xE9";
  std::uniform_int_distribution<int> pick(0, sizeof alphabet - 2);
  std::uniform_int_distribution<int> length(0, 400);
  std::string s;
  const int n = length(rng);
  for (int i = 0; i < n; ++i) {
    if (rng() % 97 == 0) s += "<" + std::string(150 + rng() % 100, 'q') + ">";
    if (rng() % 13 == 0) s += std::string(rng() % 6, rng() % 2 ? ' ' : '\t');
    s += alphabet[pick(rng)];
  }
  return s;
}

TEST(HtmlMiniOracle, RemoverAgreesWithPerl) {
  if (!Filter({"perl", "-e", "1"}, "")) GTEST_SKIP() << "perl is not installed";
  std::mt19937 rng(20261207);
  auto yes = [](const std::string&) { return IdYes; };
  for (int round = 0; round < 60; ++round) {
    const std::string text = RandomHtml(rng);
    const std::optional<std::string> perl = Filter({"perl", "-0777", "-pe", "s/<[^<>]*>//g"}, text);
    ASSERT_TRUE(perl);
    ASSERT_EQ(RemoveTags(text, yes).text, *perl) << "round " << round << ": " << text;
  }
}

TEST(HtmlMiniOracle, MinifierAgreesWithSed) {
  if (!Filter({"sed", "-z", "s/a/a/"}, "")) GTEST_SKIP() << "sed is not installed";
  std::mt19937 rng(7);
  for (int round = 0; round < 60; ++round) {
    const std::string text = RandomHtml(rng);
    const std::optional<std::string> sed = Filter({"sed", "-z", "s/\\r\\n/ /g; s/  //g; s/\\t\\t//g"}, text);
    ASSERT_TRUE(sed);
    ASSERT_EQ(MinimizeHtml(text, true, true), *sed) << "round " << round << ": " << text;
  }
}

}  // namespace
