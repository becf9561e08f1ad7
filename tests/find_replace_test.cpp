#include <gtest/gtest.h>

#include <deque>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "editor/MemoryBuffer.h"
#include "tests/text_tool_host.h"
#include "tools/FindReplace.h"

using namespace ql;

namespace {

const char* const kWrapQuestion = "End of document, start searching from the beginning?";

// A window that answers from queues and remembers what it was asked. Every
// search must leave the bulk bracket closed and balanced.
class FakeHost : public SearchHost {
 public:
  ~FakeHost() override {
    EXPECT_EQ(bulkDepth, 0);
    EXPECT_EQ(bulkFaults, 0);
  }

  MemoryBuffer buffer;
  std::vector<ShownBox> messages;
  std::deque<int> wrapAnswers;  // default No
  std::deque<ConfirmAnswer> confirmAnswers;
  ConfirmAnswer confirmDefault = ConfirmAnswer::No;
  std::vector<Offset> offered;  // selection start at each confirmation
  std::vector<bool> offeredAll;
  int textChanged = 0;
  int bulkDepth = 0;
  int bulkFaults = 0;  // an unbalanced bracket
  bool confirmThrows = false;

  EditorBuffer& Buffer() override { return buffer; }
  void BeginBulk() override {
    if (bulkDepth++ != 0) ++bulkFaults;
  }
  void EndBulk() override {
    if (--bulkDepth != 0) ++bulkFaults;
  }
  bool InBulk() const override { return bulkDepth > 0; }
  void TextChanged() override { ++textChanged; }
  int Message(const std::string& text, const std::string& caption, unsigned flags) override {
    messages.push_back({text, caption, flags});
    if (flags != 36) return 1;
    if (wrapAnswers.empty()) return 7;
    const int answer = wrapAnswers.front();
    wrapAnswers.pop_front();
    return answer;
  }
  ConfirmAnswer Confirm(const std::string&, const std::string&, bool all) override {
    if (confirmThrows) throw std::bad_alloc();
    EXPECT_EQ(bulkDepth, 0) << "the occurrence must be visible while asking";
    offered.push_back(buffer.SelStart());
    offeredAll.push_back(all);
    if (confirmAnswers.empty()) return confirmDefault;
    const ConfirmAnswer answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
  }

  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const ShownBox& m : messages) out.push_back(m.text);
    return out;
  }
};

struct Session {
  FakeHost host;
  SearchEngine engine{host};

  Session(const std::string& text, const std::string& find, const std::string& replace = "") {
    host.buffer.SetText(text);
    engine.State().findText = find;
    engine.State().replaceText = replace;
  }
  SearchState& State() { return engine.State(); }
  Offset Sel() const { return host.buffer.SelStart(); }
  Offset SelLength() const { return host.buffer.SelLength(); }
};

std::string FoundMsg(const std::string& find, int n) {
  return "The string: \"" + find + "\" was found " + std::to_string(n) + " times.";
}
std::string ReplacedMsg(const std::string& find, const std::string& replace, int n) {
  return "The string: \"" + find + "\" was replaced by \"" + replace + "\" " + std::to_string(n) +
         " times.";
}

// ---- counting and replacing everything ----

struct CountCase {
  const char* text;
  const char* find;
  bool caseSensitive, wholeWord;
  int found;             // Find All from the start
  int replaced;          // Replace All without prompting, by "b"
  const char* after;
};

TEST(FindReplaceAll, FindAllOverlapsReplaceAllDoesNot) {
  const CountCase cases[] = {
      {"aaaa", "aa", false, false, 3, 2, "bb"},
      {"concatenate cat1 cat_x", "cat", false, true, 2, 2, "concatenate b1 b_x"},
      {"concatenate cat1 cat_x", "cat", false, false, 3, 3, "conbenate b1 b_x"},
      {"Cat CAT cat", "cat", true, false, 1, 1, "Cat CAT b"},
      {"Cat CAT cat", "cat", false, true, 3, 3, "b b b"},
      {"caf\xE9 CAF\xC9 Caf\xE9s", "caf\xE9", false, true, 2, 2, "b b Caf\xE9s"},
      {"xyz", "q", false, false, 0, 0, "xyz"},
  };
  for (const CountCase& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " / " + c.find);
    Session s(c.text, c.find, "b");
    s.State().caseSensitive = c.caseSensitive;
    s.State().wholeWord = c.wholeWord;
    s.State().prompt = false;
    s.host.buffer.SetSelection(5, 2);  // From start ignores it
    EXPECT_EQ(s.engine.Press(SearchButton::FindAll, SearchOrigin::FromStart), SearchOrigin::FromStart);
    ASSERT_EQ(s.host.messages.size(), 1u);
    EXPECT_EQ(s.host.messages[0].caption, "Search result");
    EXPECT_EQ(s.host.messages[0].flags, 64u);
    EXPECT_NE(s.host.messages[0].text.find(" was found " + std::to_string(c.found) + " times."),
              std::string::npos)
        << s.host.messages[0].text;

    EXPECT_EQ(s.engine.Press(SearchButton::ReplaceAll, SearchOrigin::FromStart), SearchOrigin::FromCursor);
    EXPECT_EQ(s.host.buffer.Text(), c.after);
    ASSERT_EQ(s.host.messages.size(), 2u);
    EXPECT_EQ(s.host.messages[1].caption, "Replace result");
    EXPECT_NE(s.host.messages[1].text.find("\" " + std::to_string(c.replaced) + " times."), std::string::npos)
        << s.host.messages[1].text;
    EXPECT_EQ(s.Sel(), 0);
    EXPECT_EQ(s.host.textChanged, c.replaced > 0 ? 1 : 0);
  }
}

TEST(FindReplaceAll, MessagesQuoteTheTextsInUtf8) {
  Session s("caf\xE9 caf\xE9", "caf\xE9", "th\xE9");
  s.State().prompt = false;
  s.engine.Press(SearchButton::FindAll, SearchOrigin::FromStart);
  s.engine.Press(SearchButton::ReplaceAll, SearchOrigin::FromCursor);
  EXPECT_EQ(s.host.Texts(), (std::vector<std::string>{
                                "The string \"caf\xC3\xA9\" was found 2 times.",
                                "The string \"caf\xC3\xA9\" was replaced by \"th\xC3\xA9\" 2 times."}));
}

TEST(FindReplaceAll, FindAllRegionFollowsTheOrigin) {
  struct Case {
    SearchOrigin origin;
    int found;
  };
  // Selection "aa a" at 3: From cursor counts from its start, Within only inside it.
  for (const Case& c : {Case{SearchOrigin::FromStart, 4}, Case{SearchOrigin::FromCursor, 3},
                        Case{SearchOrigin::WithinSelection, 1}}) {
    Session s("aa aa aa aa", "aa");
    s.host.buffer.SetSelection(3, 4);
    EXPECT_EQ(s.engine.Press(SearchButton::FindAll, c.origin), c.origin);
    ASSERT_EQ(s.host.messages.size(), 1u);
    EXPECT_EQ(s.host.messages[0].text, "The string \"aa\" was found " + std::to_string(c.found) + " times.");
  }
}

TEST(FindReplaceAll, IsOneUndoStep) {
  Session s("one Old two Old\r\nOld", "old", "New");
  s.State().prompt = false;
  s.engine.Press(SearchButton::ReplaceAll, SearchOrigin::FromCursor);
  EXPECT_EQ(s.host.buffer.Text(), "one New two New\r\nNew");
  ASSERT_TRUE(s.host.buffer.CanUndo());
  s.host.buffer.Undo();
  EXPECT_EQ(s.host.buffer.Text(), "one Old two Old\r\nOld");
  EXPECT_FALSE(s.host.buffer.CanUndo());
}

TEST(FindReplaceAll, WithinSelectionPromptedFindsNothingUnpromptedReplacesEverything) {
  Session s("ab ab ab", "ab", "X");
  s.host.buffer.SetSelection(3, 2);
  s.engine.Press(SearchButton::ReplaceAll, SearchOrigin::WithinSelection);
  EXPECT_EQ(s.host.buffer.Text(), "ab ab ab");
  EXPECT_TRUE(s.host.offered.empty());
  EXPECT_EQ(s.host.Texts(), (std::vector<std::string>{ReplacedMsg("ab", "X", 0)}));

  s.State().prompt = false;
  s.host.buffer.SetSelection(3, 2);
  s.engine.Press(SearchButton::ReplaceAll, SearchOrigin::WithinSelection);
  EXPECT_EQ(s.host.buffer.Text(), "X X X");
}

// ---- finding one at a time ----

TEST(FindReplaceFind, FromStartSelectsFirstThenContinuesFromCursor) {
  Session s("one cat, two cat, three cat", "cat");
  s.host.buffer.SetSelection(20, 0);
  SearchOrigin origin = s.engine.Press(SearchButton::Find, SearchOrigin::FromStart);
  EXPECT_EQ(origin, SearchOrigin::FromCursor);
  EXPECT_EQ(s.Sel(), 4);
  EXPECT_EQ(s.SelLength(), 3);
  origin = s.engine.Press(SearchButton::Find, origin);
  EXPECT_EQ(s.Sel(), 13);
  EXPECT_TRUE(s.host.messages.empty());
  EXPECT_EQ(s.State().searchCount, 1);  // each press counts afresh
}

TEST(FindReplaceFind, F3AtTheEndReportsThenOffersToWrapOnce) {
  Session s("cat a cat b cat", "CAT");
  s.engine.Press(SearchButton::Find, SearchOrigin::FromCursor);
  s.engine.FindNext();
  s.engine.FindNext();
  EXPECT_EQ(s.Sel(), 12);
  EXPECT_EQ(s.State().searchCount, 3);

  s.host.wrapAnswers = {6};
  s.engine.FindNext();
  EXPECT_EQ(s.host.Texts(), (std::vector<std::string>{FoundMsg("CAT", 3), kWrapQuestion}));
  EXPECT_EQ(s.host.messages[1].caption, "Research?");
  EXPECT_EQ(s.host.messages[1].flags, 36u);
  EXPECT_EQ(s.Sel(), 0);
  EXPECT_EQ(s.SelLength(), 3);
  EXPECT_EQ(s.State().searchCount, 1);

  s.host.messages.clear();
  s.engine.FindNext();
  s.engine.FindNext();
  s.engine.FindNext();
  EXPECT_EQ(s.host.Texts(), (std::vector<std::string>{FoundMsg("CAT", 3)}));
  EXPECT_EQ(s.Sel(), 12);  // the last occurrence stays selected
}

TEST(FindReplaceFind, AbsentTextReportsZeroTwice) {
  Session s("nothing here", "zebra");
  s.host.wrapAnswers = {6};
  s.engine.Press(SearchButton::Find, SearchOrigin::FromCursor);
  EXPECT_EQ(s.host.Texts(), (std::vector<std::string>{FoundMsg("zebra", 0), kWrapQuestion, FoundMsg("zebra", 0)}));
  EXPECT_TRUE(s.State().wrapAsked);

  // A new press asks again; No leaves it unasked for the next time.
  s.host.messages.clear();
  s.engine.Press(SearchButton::FindNext, SearchOrigin::FromCursor);
  EXPECT_EQ(s.host.Texts(), (std::vector<std::string>{FoundMsg("zebra", 0), kWrapQuestion}));
  EXPECT_FALSE(s.State().wrapAsked);
}

TEST(FindReplaceFind, WithinSelectionWalksEachOccurrenceOnce) {
  Session s("a-a-a-a", "a");
  s.host.buffer.SetSelection(1, 4);  // "-a-a"
  std::vector<Offset> found;
  for (int i = 0; i < 3; ++i) {
    s.engine.Press(SearchButton::FindNext, SearchOrigin::WithinSelection);
    found.push_back(s.Sel());
  }
  EXPECT_EQ(found, (std::vector<Offset>{2, 4, 4}));
  EXPECT_EQ(s.host.Texts(), (std::vector<std::string>{FoundMsg("a", 0), kWrapQuestion}));

  // Yes to the wrap starts over at the region's beginning, not the text's.
  s.host.wrapAnswers = {6};
  s.engine.Press(SearchButton::FindNext, SearchOrigin::WithinSelection);
  EXPECT_EQ(s.Sel(), 2);

  // Selecting something else makes that the region.
  s.host.buffer.SetSelection(5, 2);
  s.engine.Press(SearchButton::Find, SearchOrigin::WithinSelection);
  EXPECT_EQ(s.Sel(), 6);
}

// ---- replacing ----

TEST(FindReplaceReplace, SingleReplaceMarksModifiedOnlyWhenItReplaces) {
  struct Case {
    bool prompt;
    ConfirmAnswer answer;
    const char* after;
    Offset caret;
    int changed;
  };
  const Case cases[] = {
      {true, ConfirmAnswer::Yes, "x dog cat", 5, 1},
      {false, ConfirmAnswer::No, "x dog cat", 5, 1},
      {true, ConfirmAnswer::No, "x cat cat", 5, 0},
      {true, ConfirmAnswer::Closed, "x cat cat", 2, 0},
  };
  for (const Case& c : cases) {
    Session s("x cat cat", "cat", "dog");
    s.State().prompt = c.prompt;
    s.host.confirmAnswers = {c.answer};
    s.engine.Press(SearchButton::Replace, SearchOrigin::FromStart);
    EXPECT_EQ(s.host.buffer.Text(), c.after);
    EXPECT_EQ(s.Sel(), c.caret);
    EXPECT_EQ(s.host.textChanged, c.changed);
    EXPECT_EQ(s.host.offeredAll, std::vector<bool>(c.prompt ? 1 : 0, false));
    EXPECT_TRUE(s.host.messages.empty());
  }
}

TEST(FindReplacePrompted, GrowingReplacementEndsAfterEachOriginal) {
  Session s("aaa", "a", "aa");
  s.host.confirmDefault = ConfirmAnswer::Yes;
  s.engine.Press(SearchButton::ReplaceAll, SearchOrigin::FromCursor);
  EXPECT_EQ(s.host.offered, (std::vector<Offset>{0, 2, 4}));
  EXPECT_EQ(s.host.offeredAll, std::vector<bool>(3, true));
  EXPECT_EQ(s.host.buffer.Text(), "aaaaaa");
  EXPECT_EQ(s.host.Texts(), (std::vector<std::string>{ReplacedMsg("a", "aa", 3)}));
  EXPECT_EQ(s.host.textChanged, 4);  // each replacement, then once at the end
  EXPECT_EQ(s.host.bulkDepth, 0);
  EXPECT_EQ(s.host.bulkFaults, 0);
}

TEST(FindReplacePrompted, AnswersDecideWhatHappensNext) {
  struct Case {
    const char* name;
    std::vector<ConfirmAnswer> answers;  // then No
    const char* after;
    int count;
    std::vector<Offset> offered;
    Offset caret;
  };
  using A = ConfirmAnswer;
  const Case cases[] = {
      {"yes to all", {A::No, A::YesToAll}, "xa xb xb", 2, {1, 4}, 8},
      {"no to all", {A::Yes, A::NoToAll}, "xb xa xa", 1, {1, 4}, 8},
      {"closed is offered again", {A::Closed, A::Closed, A::Yes}, "xb xa xa", 1, {1, 1, 1, 4, 7}, 8},
      {"no moves one beyond, clamped at the end", {A::No, A::Yes}, "xa xb xa", 1, {1, 4, 7}, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session s("xa xa xa", "a", "b");
    s.host.confirmAnswers.assign(c.answers.begin(), c.answers.end());
    s.engine.Press(SearchButton::ReplaceAll, SearchOrigin::FromCursor);
    EXPECT_EQ(s.host.buffer.Text(), c.after);
    EXPECT_EQ(s.host.offered, c.offered);
    EXPECT_EQ(s.Sel(), c.caret);
    EXPECT_EQ(s.host.Texts(), (std::vector<std::string>{ReplacedMsg("a", "b", c.count)}));
  }
}

// "No" goes on just after the skipped occurrence: a neighbour directly
// behind it is offered next, in a Replace All run and by the next Replace.
TEST(FindReplacePrompted, NoOffersTheNeighbourDirectlyBehind) {
  struct Case {
    const char* text;
    const char* find;
    std::vector<Offset> offered;
  };
  const Case cases[] = {
      {"abab", "ab", {0, 2}},
      {"ababab", "ab", {0, 2, 4}},
      {"aaaa", "aa", {0, 2}},  // overlapping ones are not offered
      {"ab ab", "ab", {0, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Session all(c.text, c.find, "X");
    all.engine.Press(SearchButton::ReplaceAll, SearchOrigin::FromStart);
    EXPECT_EQ(all.host.offered, c.offered);
    EXPECT_EQ(all.host.buffer.Text(), c.text);

    Session one(c.text, c.find, "X");
    SearchOrigin origin = SearchOrigin::FromStart;
    for (std::size_t i = 0; i < c.offered.size(); ++i) {
      origin = one.engine.Press(SearchButton::Replace, origin);
      EXPECT_EQ(one.Sel(), c.offered[i] + static_cast<Offset>(std::string(c.find).size()));
    }
    EXPECT_EQ(one.host.offered, c.offered);
    EXPECT_EQ(one.host.textChanged, 0);
  }
}

TEST(FindReplacePrompted, ReplaceAllThatReplacedNothingLeavesTheDocumentUnmodified) {
  using A = ConfirmAnswer;
  struct Case {
    const char* name;
    bool prompt;
    std::vector<A> answers;  // then No
    const char* find;
    bool changed;
  };
  const Case cases[] = {
      {"every answer No", true, {}, "a", false},
      {"No to All", true, {A::NoToAll}, "a", false},
      {"closed, then No", true, {A::Closed}, "a", false},
      {"absent, prompted", true, {}, "q", false},
      {"absent, unprompted", false, {}, "q", false},
      {"Yes to All on the last", true, {A::No, A::No, A::YesToAll}, "a", true},
      {"one Yes", true, {A::No, A::Yes}, "a", true},
      {"unprompted", false, {}, "a", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session s("a a a", c.find, "b");
    s.State().prompt = c.prompt;
    s.host.confirmAnswers.assign(c.answers.begin(), c.answers.end());
    s.engine.Press(SearchButton::ReplaceAll, SearchOrigin::FromCursor);
    EXPECT_EQ(s.host.textChanged > 0, c.changed);
    EXPECT_EQ(s.host.buffer.Text() != "a a a", c.changed);
  }
}

TEST(FindReplacePrompted, YesToAllIsOneUndoStepFromTheCurrentOccurrence) {
  Session s("a a a", "a", "bb");
  s.host.confirmAnswers = {ConfirmAnswer::No, ConfirmAnswer::YesToAll};
  s.engine.Press(SearchButton::ReplaceAll, SearchOrigin::FromCursor);
  EXPECT_EQ(s.host.buffer.Text(), "a bb bb");
  s.host.buffer.Undo();
  EXPECT_EQ(s.host.buffer.Text(), "a a a");
}

TEST(FindReplacePrompted, LineBreaksInTheReplacementAreCountedAsStored) {
  Session s("a b c", " ", "\n");
  s.host.confirmDefault = ConfirmAnswer::Yes;
  s.engine.Press(SearchButton::ReplaceAll, SearchOrigin::FromCursor);
  EXPECT_EQ(s.host.buffer.Text(), "a\r\nb\r\nc");
  EXPECT_EQ(s.host.offered, (std::vector<Offset>{1, 4}));
}

// Answering Yes to every prompt must come to what Replace All without
// prompting makes of the same text, whatever the options.
TEST(FindReplacePrompted, AllYesEqualsUnprompted) {
  std::mt19937 rng(11);
  const char alphabet[] = {'a', 'A', 'b', '\xE9', '\xC9', ' ', '_', '1'};
  const char* finds[] = {"a", "ab", "\xE9", "a a"};
  const char* replaces[] = {"", "x", "aab", "A"};
  for (int i = 0; i < 400; ++i) {
    std::string text;
    const int length = static_cast<int>(rng() % 40);
    for (int k = 0; k < length; ++k) text += alphabet[rng() % sizeof alphabet];
    const std::string find = finds[rng() % 4], replace = replaces[rng() % 4];
    const bool caseSensitive = rng() % 2, wholeWord = rng() % 2;
    SCOPED_TRACE("text '" + text + "' find '" + find + "' replace '" + replace + "' case " +
                 std::to_string(caseSensitive) + " whole " + std::to_string(wholeWord));

    Session quiet(text, find, replace), asked(text, find, replace);
    for (Session* s : {&quiet, &asked}) {
      s->State().caseSensitive = caseSensitive;
      s->State().wholeWord = wholeWord;
    }
    quiet.State().prompt = false;
    asked.host.confirmDefault = ConfirmAnswer::Yes;
    quiet.engine.Press(SearchButton::ReplaceAll, SearchOrigin::FromCursor);
    asked.engine.Press(SearchButton::ReplaceAll, SearchOrigin::FromCursor);
    ASSERT_EQ(asked.host.buffer.Text(), quiet.host.buffer.Text());
    const std::string count = quiet.host.messages.at(0).text.substr(quiet.host.messages[0].text.rfind("\" "));
    ASSERT_EQ(asked.host.messages.at(0).text.substr(asked.host.messages[0].text.rfind("\" ")), count);
  }
}

TEST(FindReplacePrompted, HundredThousandRefusalsRunInALoop) {
  const int n = 100000;
  Session s(std::string(n, 'x'), "x", "y");
  s.engine.Press(SearchButton::ReplaceAll, SearchOrigin::FromCursor);
  EXPECT_EQ(s.host.offered.size(), static_cast<std::size_t>(n));
  EXPECT_EQ(s.host.offered.back(), n - 1);
  EXPECT_EQ(s.host.buffer.Text(), std::string(n, 'x'));
  EXPECT_EQ(s.host.Texts(), (std::vector<std::string>{ReplacedMsg("x", "y", 0)}));
}

TEST(FindReplacePrompted, OutOfMemoryEndsTheBracketAndSaysSo) {
  Session s("a a", "a", "b");
  s.host.confirmThrows = true;
  s.engine.Press(SearchButton::ReplaceAll, SearchOrigin::FromCursor);
  ASSERT_EQ(s.host.messages.size(), 1u);
  EXPECT_EQ(s.host.messages[0].text, "Not enough memory!");
  EXPECT_EQ(s.host.messages[0].caption, "Fatal Error!");
  EXPECT_EQ(s.host.messages[0].flags, 16u);
  EXPECT_EQ(s.host.buffer.Text(), "a a");
}

}  // namespace
