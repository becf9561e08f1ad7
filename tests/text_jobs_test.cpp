// Sorting lines, the hexadecimal dump, the text analyzer's figures and the
// go-to targets.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/FuncLib.h"
#include "tests/file_test_support.h"
#include "tests/text_tool_host.h"
#include "tools/GotoTarget.h"
#include "tools/HexDump.h"
#include "tools/SortLines.h"
#include "tools/TextStats.h"

using namespace ql;

namespace {

// The tool host with the window's job services: answers boxes from a
// script, remembers status texts and the progress window.
class MemoryJobHost : public TextJobHost {
 public:
  MemoryBuffer buffer;
  std::vector<ShownBox> boxes;
  std::vector<int> answers;  // then 7 (No)
  std::vector<std::string> status;
  std::vector<int> percents;
  bool modified = false;
  std::string file = "Untitled";
  int changed = 0, completed = 0, progressOpen = 0, progressShown = 0, bulk = 0;

  EditorBuffer& Buffer() override { return buffer; }
  void BeginBulk() override { ++bulk; }
  void EndBulk() override { --bulk; }
  void TextChanged() override {
    ++changed;
    modified = true;
  }
  int Message(const std::string& text, const std::string& caption, unsigned flags) override {
    boxes.push_back({text, caption, flags});
    if (boxes.size() <= answers.size()) return answers[boxes.size() - 1];
    return 7;
  }
  bool Modified() const override { return modified; }
  std::string DocFileName() const override { return file; }
  bool HasFile() const override { return file != "Untitled"; }
  void ShowStatus(const std::string& text) override { status.push_back(text); }
  void BeginProgress(const std::string&) override {
    ++progressOpen;
    ++progressShown;
  }
  TProgressProc Progress() override {
    return [this](int p) { percents.push_back(p); };
  }
  void EndProgress() override { --progressOpen; }
  void Completed() override { ++completed; }

  // A changed document of `path`; the first box is answered with `answer`.
  void Edited(const std::string& text, const std::string& path, int answer) {
    buffer.SetText(text);
    modified = true;
    file = path;
    answers = {answer};
  }
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
    if (end == std::string::npos) break;
    out.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return out;
}

// ---- hexadecimal dump ----

TEST(HexDump, SeventeenBytesLineForLine) {
  const std::string dump = HexDump("Hello, world!\r\nAB");
  const std::vector<std::string> lines = Lines(dump);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0],
            "00000000   48 65 6C 6C  6F 2C 20 77  6F 72 6C 64  21 0D 0A 41    Hello, world!..A");
  EXPECT_EQ(lines[0].size(), 81u);
  EXPECT_EQ(lines[1], "00000010   42" + std::string(62 - 13, ' ') + "   B");
  EXPECT_EQ(lines[1].size(), 66u);  // the text column starts where it always does
}

TEST(HexDump, EdgeCases) {
  EXPECT_EQ(HexDump(""), "");
  EXPECT_EQ(Lines(HexDump(std::string(16, 'x'))).size(), 1u);
  EXPECT_EQ(Lines(HexDump(std::string(17, 'x'))).size(), 2u);
  EXPECT_EQ(Lines(HexDump(std::string(32, 'x'))).size(), 2u);
  // NUL, TAB, LF and CR show as '.', every other byte as itself.
  const std::string shown = Lines(HexDump(std::string("\x00\x09\x0A\x0D\x01\x1F\xFF.", 8)))[0];
  EXPECT_EQ(shown.substr(65), std::string("....\x01\x1F\xFF.", 8));
  EXPECT_EQ(shown.substr(11, 24), "00 09 0A 0D  01 1F FF 2E");
  // Offsets rise by 16 in upper-case hex.
  const std::vector<std::string> lines = Lines(HexDump(std::string(16 * 11, 'a')));
  EXPECT_EQ(lines[10].substr(0, 8), "000000A0");
}

// An independent formatter: printf for every field, pairs found by column.
std::string OracleDump(const std::string& s) {
  std::string out;
  for (std::size_t off = 0; off < s.size(); off += 16) {
    char head[32];
    std::snprintf(head, sizeof head, "%08zX   ", off);
    std::string line = head;
    std::string chars;
    for (std::size_t j = 0; j < 16; ++j) {
      if (off + j < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[off + j]);
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X ", c);
        line += pair;
        chars += (c == 0 || c == 9 || c == 10 || c == 13) ? '.' : static_cast<char>(c);
      } else {
        line += "   ";
      }
      if (j == 3 || j == 7 || j == 11) line += ' ';
    }
    while (line.size() < 62) line += ' ';
    out += line + "   " + chars + "\r\n";
  }
  return out;
}

TEST(HexDump, MatchesAnIndependentFormatterOnRandomBytes) {
  std::mt19937 rng(1234);
  for (int round = 0; round < 200; ++round) {
    std::string s(rng() % 300, '\0');
    for (char& c : s) c = static_cast<char>(rng());
    ASSERT_EQ(HexDump(s), OracleDump(s)) << "length " << s.size();
  }
}

TEST(HexDump, ProgressIsTheShareAlreadyDumped) {
  for (std::size_t n : {1u, 17u, 100u, 1000u, 4097u}) {
    std::vector<int> got;
    HexDump(std::string(n, 'q'), [&](int p) { got.push_back(p); });
    // Each line's value by the formula; the window hears only changes.
    std::vector<int> want;
    int last = 0;
    for (std::size_t off = 0; off < n; off += 16) {
      const int p = static_cast<int>((2 * off + 1) * 100 / (2 * n));
      if (p != last) want.push_back(p);
      last = p;
    }
    EXPECT_EQ(got, want) << n;
  }
}

class DumpCommand : public qltest::FileTest {};

TEST_F(DumpCommand, UnchangedTextIsDumpedWithoutAQuestion) {
  MemoryJobHost host;
  host.buffer.SetText("AB");
  DumpHexCommand(host);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(host.buffer.Text(), HexDump("AB"));
  EXPECT_EQ(host.changed, 1);
  EXPECT_EQ(host.completed, 1);
  EXPECT_EQ(host.progressOpen, 0);
  EXPECT_EQ(host.bulk, 0);
  EXPECT_EQ(host.status.front(), "Dumping hexadecimal...");
  EXPECT_EQ(host.status.back(), "Hexadecimal dump complete!");
  // One undoable step brings the text back.
  ASSERT_TRUE(host.buffer.CanUndo());
  host.buffer.Undo();
  EXPECT_EQ(host.buffer.Text(), "AB");
}

TEST_F(DumpCommand, EmptyDocumentGivesAnEmptyDump) {
  MemoryJobHost host;
  DumpHexCommand(host);
  EXPECT_EQ(host.buffer.Text(), "");
  EXPECT_EQ(host.status.back(), "Hexadecimal dump complete!");
}

TEST_F(DumpCommand, ChangedTextAsksAndReadsTheFileOnYes) {
  const std::string path = Path("doc.txt");
  qltest::WriteFile(path, "ab\x1A" "cd");
  struct Case {
    int answer;
    std::string want;
  } cases[] = {{7, HexDump("edited")}, {6, HexDump("ab")}};  // reading stops at Ctrl+Z
  for (const Case& c : cases) {
    MemoryJobHost host;
    host.Edited("edited", path, c.answer);
    DumpHexCommand(host);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "Read file from disk insteed of the changed text?");
    EXPECT_EQ(host.boxes[0].caption, "Read from disk?");
    EXPECT_EQ(host.boxes[0].flags, 36u);
    EXPECT_EQ(host.buffer.Text(), c.want);
  }
}

TEST_F(DumpCommand, AFileThatCannotBeReadIsReportedAndTheTextKept) {
  // Never saved, gone, and a folder (no file either).
  for (const std::string& file : {std::string("Untitled"), Path("gone.txt"), dir_}) {
    SCOPED_TRACE(file);
    MemoryJobHost host;
    host.Edited("keep me", file, 6);
    DumpHexCommand(host);
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[1].caption, "File doesn't exist!");
    EXPECT_EQ(host.boxes[1].flags, 16u);
    EXPECT_EQ(host.buffer.Text(), "keep me");
    EXPECT_EQ(host.changed, 0);
    EXPECT_EQ(host.completed, 0);
    EXPECT_EQ(host.progressOpen, 0);
    EXPECT_NE(host.status.back(), "Hexadecimal dump complete!");
  }
  // Without read permission. Root reads anything, so the check runs as
  // "nobody" in a child process then.
  const std::string locked = Path("locked.txt");
  qltest::WriteFile(locked, "secret");
  ::chmod(locked.c_str(), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
    MemoryJobHost host;
    host.Edited("keep me", locked, 6);
    DumpHexCommand(host);
    const bool ok = host.boxes.size() == 2 && host.boxes[1].caption == "Couldn't read file!" &&
                    host.buffer.Text() == "keep me";
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

// ---- sorting ----

TEST(SortLines, CompareTable) {
  struct Case {
    const char* a;
    const char* b;
    int sign;
  } cases[] = {
      {"A", "a", 0},           {"a", "B", -1},          {"b", "C", -1},
      {"abc", "ABD", -1},      {"ab", "abc", -1},       {"", "a", -1},
      {"e", "\xE9", -1},       {"\xE9", "f", -1},       {"\xC9t\xE9", "\xE9T\xC9", 0},
      {"\xE9t", "eu", -1},     {"9", "a", -1},          {"!", "0", -1},
      {" z", "a", -1},         {"\t", " ", -1},         {"\x8A" "a", "\x9A" "A", 0},
      {"\xDF", "s", 1},        {"\xDF", "t", -1},       {"z", "\xFE", -1},
      {"_", "a", -1},          {"Zebra", "apple", 1},   {"\x80", "0", -1},
  };
  for (const Case& c : cases) {
    const int got = CompareLines(c.a, c.b);
    EXPECT_EQ((got > 0) - (got < 0), c.sign) << c.a << " / " << c.b;
    const int back = CompareLines(c.b, c.a);
    EXPECT_EQ((back > 0) - (back < 0), -c.sign) << c.b << " / " << c.a;
  }
}

TEST(SortLines, LinesEndInCrLfAndEqualLinesKeepTheirOrder) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"b\r\nA\r\na\r\nC", "A\r\na\r\nb\r\nC\r\n"},
      {"b\r\na\r\nA\r\nC\r\n", "a\r\nA\r\nb\r\nC\r\n"},
      {"x\r\n\r\ny\r\n\r\n", "\r\n\r\nx\r\ny\r\n"},  // empty lines first
      {"", ""},
      {"\r\n", "\r\n"},
      {"one", "one\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(SortedLines(c.in), c.out) << c.in;
}

TEST(SortLines, AgreesWithAStableSortOnRandomLines) {
  std::mt19937 rng(99);
  const char alphabet[] = "aAbB \xE9\xC9" "0!zZ\xE0";
  for (int round = 0; round < 40; ++round) {
    const std::size_t count = rng() % (round < 20 ? 70 : 3000);
    std::vector<std::string> lines(count);
    for (std::string& l : lines) {
      l.resize(rng() % 14);  // around the 8 characters the sort looks at first
      for (char& c : l) c = alphabet[rng() % (sizeof alphabet - 1)];
    }
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";
    std::vector<std::string> want = lines;
    std::stable_sort(want.begin(), want.end(),
                     [](const std::string& a, const std::string& b) { return CompareLines(a, b) < 0; });
    EXPECT_EQ(Lines(SortedLines(text)), want) << count;
  }
}

TEST(SortLines, ProgressRisesToAHundred) {
  std::string text;
  for (int i = 5000; i > 0; --i) text += std::to_string(i) + "\r\n";
  std::vector<int> got;
  const std::string sorted = SortedLines(text, [&](int p) { got.push_back(p); });
  ASSERT_FALSE(got.empty());
  EXPECT_TRUE(std::is_sorted(got.begin(), got.end()));
  EXPECT_EQ(got.back(), 100);
  EXPECT_EQ(Lines(sorted).front(), "1");
}

TEST(SortLines, CommandAsksFirstAndIsOneStep) {
  MemoryJobHost no;
  no.buffer.SetText("b\r\na");
  SortLinesCommand(no);
  ASSERT_EQ(no.boxes.size(), 1u);
  EXPECT_EQ(no.boxes[0].caption, "Sort all lines in text");
  EXPECT_EQ(no.boxes[0].flags, 52u);
  EXPECT_EQ(no.boxes[0].text,
            "It's recomended that you save you file before\nproceeding any further!\n\n"
            "Are you sure you you want to continue?");
  EXPECT_EQ(no.buffer.Text(), "b\r\na");
  EXPECT_EQ(no.changed, 0);
  EXPECT_EQ(no.progressShown, 0);

  MemoryJobHost yes;
  yes.answers = {6};
  yes.buffer.SetText("b\r\nA\r\na\r\nC");
  SortLinesCommand(yes);
  EXPECT_EQ(yes.buffer.Text(), "A\r\na\r\nb\r\nC\r\n");
  EXPECT_EQ(yes.changed, 1);
  EXPECT_EQ(yes.progressShown, 1);
  EXPECT_EQ(yes.progressOpen, 0);
  EXPECT_EQ(yes.bulk, 0);
  EXPECT_EQ(yes.buffer.SelStart(), 0);
  yes.buffer.Undo();
  EXPECT_EQ(yes.buffer.Text(), "b\r\nA\r\na\r\nC");
}

// ---- text analyzer ----

TEST(TextStats, CountWordsRules) {
  struct Case {
    std::string text;
    std::int64_t words;
  } cases[] = {
      {"", 0},           {"one two", 2},     {"one\ttwo", 1},      {" one two", 3},
      {"  a", 2},        {"a\r\nb", 2},      {"a,b.c", 1},         {" ", 1},
      {"a  b", 2},       {"a \r b", 2},      {"a\nb", 1},          {"a \r\n b", 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FastCountWords(c.text.data(), c.text.size()), c.words) << c.text;
    EXPECT_EQ(CountWords(c.text), c.words) << c.text;
  }
  // The vectorised count against the plain one, across block edges.
  std::mt19937 rng(7);
  const char pool[] = "  \r\nab\t";
  for (int round = 0; round < 300; ++round) {
    std::string s(rng() % 80, 'x');
    for (char& c : s) c = pool[rng() % (sizeof pool - 1)];
    EXPECT_EQ(FastCountWords(s.data(), s.size()), CountWords(s)) << round;
  }
}

TEST(TextStats, WholeTextAndSelection) {
  const TextStats empty = AnalyzeText("", "", 0);
  EXPECT_FALSE(empty.selected);
  EXPECT_EQ(empty.totalWords + empty.totalChars + empty.lines + empty.bit7 + empty.bit8 +
                empty.control + empty.nfo + empty.digits + empty.upper + empty.lower,
            0);
  EXPECT_TRUE(std::all_of(empty.frequency.begin(), empty.frequency.end(),
                          [](std::int64_t n) { return n == 0; }));

  const TextStats two = AnalyzeText("one two", "", 1);
  EXPECT_EQ(two.totalWords, 2);
  EXPECT_EQ(two.totalChars, 7);
  EXPECT_EQ(two.lower, 6);
  EXPECT_EQ(two.bit7, 7);
  EXPECT_EQ(two.selWords, 0);

  // Classes and the table cover the selection, the totals the whole text.
  const TextStats sel = AnalyzeText("AB cd 12\r\n", "B c", 1);
  EXPECT_TRUE(sel.selected);
  EXPECT_EQ(sel.totalWords, 4);  // the LF after CR starts one too
  EXPECT_EQ(sel.totalChars, 10);
  EXPECT_EQ(sel.selWords, 2);
  EXPECT_EQ(sel.selChars, 3);
  EXPECT_EQ(sel.upper, 1);
  EXPECT_EQ(sel.lower, 1);
  EXPECT_EQ(sel.digits, 0);
  EXPECT_EQ(sel.frequency['A'], 0);
  EXPECT_EQ(sel.frequency['B'], 1);

  const TextStats classes = AnalyzeText(std::string("\xDB\x80\xE9\x01\r\n9", 7), "", 1);
  EXPECT_EQ(classes.nfo, 1);     // 219 only
  EXPECT_EQ(classes.bit8, 3);
  EXPECT_EQ(classes.bit7, 4);
  EXPECT_EQ(classes.control, 3);
  EXPECT_EQ(classes.digits, 1);
  EXPECT_EQ(classes.upper + classes.lower, 0);  // accented letters are in neither
  // Bytes, not code points: the euro sign is 128.
  EXPECT_EQ(classes.frequency[0x80], 1);
  EXPECT_EQ(classes.frequency[0xDB], 1);
}

TEST(TextStats, FrequencyItemsAndNfoSet) {
  EXPECT_EQ(FrequencyItem(65, 12), "#065:  12");
  EXPECT_EQ(FrequencyItem(0, 0), "#000:  0");
  EXPECT_EQ(FrequencyItem(255, 1234567890123), "#255:  1234567890123");
  int nfo = 0;
  for (int c = 0; c < 256; ++c) nfo += IsNfoCode(c);
  EXPECT_EQ(nfo, 5 + 6 + 7 + 1);
  EXPECT_TRUE(IsNfoCode(176) && IsNfoCode(223) && IsNfoCode(254));
  EXPECT_FALSE(IsNfoCode(175) || IsNfoCode(181) || IsNfoCode(255));
}

TEST(TextStats, ByteFrequencyOnALargeText) {
  std::string s(100003, '\0');
  std::mt19937 rng(3);
  std::array<std::int64_t, 256> want{};
  for (char& c : s) {
    c = static_cast<char>(rng());
    ++want[static_cast<unsigned char>(c)];
  }
  EXPECT_EQ(ByteFrequency(s.data(), s.size()), want);
}

// ---- go to ----

TEST(Goto, OpeningFigures) {
  MemoryBuffer b;
  b.SetText("one\r\ntwo\r\nthree");
  b.SetSelection(6, 0);  // on the second line
  const GotoStart s = GotoOpening(b);
  EXPECT_EQ(s.line, 2);
  EXPECT_EQ(s.percent, 33);
  EXPECT_EQ(s.lines, 3);
  EXPECT_EQ(s.offset, 6);
  EXPECT_EQ(s.length, 15);
  // The line of the selection's end.
  b.SetSelection(0, 12);
  EXPECT_EQ(GotoOpening(b).line, 3);
  EXPECT_EQ(GotoOpening(b).offset, 0);
}

TEST(Goto, TargetsAreClampedToTheText) {
  MemoryBuffer b;
  b.SetText("one\r\ntwo\r\nthree");  // lines start at 0, 5, 10; length 15
  MemoryBuffer ending;
  ending.SetText("one\r\ntwo\r\n");  // 2 lines; the empty third starts at 10
  struct Case {
    const MemoryBuffer* buffer;
    GotoKind kind;
    std::int64_t value;
    Offset start, length;
  } cases[] = {
      {&b, GotoKind::Line, 1, 0, 0},           {&b, GotoKind::Line, 2, 5, 0},
      {&b, GotoKind::Line, 3, 10, 0},          {&b, GotoKind::Line, 4, 15, 0},
      {&b, GotoKind::Line, 0, 0, 0},           {&b, GotoKind::Line, -7, 0, 0},
      {&b, GotoKind::Line, INT64_MAX, 15, 0},  {&b, GotoKind::Line, INT64_MIN, 0, 0},
      {&b, GotoKind::Char, 0, 0, 1},           {&b, GotoKind::Char, 6, 6, 1},
      {&b, GotoKind::Char, 14, 14, 1},         {&b, GotoKind::Char, 15, 15, 0},
      {&b, GotoKind::Char, 99, 15, 0},         {&b, GotoKind::Char, -1, 0, 1},
      {&b, GotoKind::Percent, 0, 0, 0},        {&b, GotoKind::Percent, 33, 0, 0},
      {&b, GotoKind::Percent, 34, 5, 0},       {&b, GotoKind::Percent, 67, 10, 0},
      {&b, GotoKind::Percent, 100, 15, 0},     {&b, GotoKind::Percent, INT64_MAX, 15, 0},
      {&b, GotoKind::Percent, -5, 0, 0},       {&ending, GotoKind::Percent, 100, 10, 0},
      {&ending, GotoKind::Line, 3, 10, 0},     {&ending, GotoKind::Line, 50, 10, 0},
  };
  for (const Case& c : cases) {
    const GotoSelection s = GotoTarget(*c.buffer, c.kind, c.value);
    EXPECT_EQ(s.start, c.start) << static_cast<int>(c.kind) << " " << c.value;
    EXPECT_EQ(s.length, c.length) << static_cast<int>(c.kind) << " " << c.value;
  }
}

TEST(Goto, NumbersAndValidation) {
  struct Case {
    const char* text;
    bool valid;    // OK enabled
    bool readable;
    std::int64_t value;
  } cases[] = {
      {"12", true, true, 12},       {"+5", true, true, 5},     {"-3", true, true, -3},
      {"", true, false, 0},         {"+", true, false, 0},     {"-", true, false, 0},
      {"1-2", true, false, 0},      {"--1", true, false, 0},   {"1a", false, false, 0},
      {" 1", false, false, 0},      {"9223372036854775807", true, true, INT64_MAX},
      {"-9223372036854775808", true, true, INT64_MIN},
      {"9223372036854775808", true, false, 0},                 {"99999999999999999999", true, false, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GotoTextValid(c.text), c.valid) << c.text;
    if (c.readable) {
      EXPECT_EQ(GotoNumber(c.text), c.value) << c.text;
    } else {
      try {
        GotoNumber(c.text);
        ADD_FAILURE() << c.text;
      } catch (const ConvertError& e) {
        EXPECT_EQ(std::string(e.what()), "'" + std::string(c.text) + "' is not a valid integer value");
      }
    }
  }
}

TEST(Goto, CommandMovesOrReports) {
  MemoryToolHost host;
  host.buffer.SetText("one\r\ntwo\r\nthree");
  host.buffer.SetSelection(6, 2);
  GotoCommand(host, GotoKind::Line, "+");
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "'+' is not a valid integer value");
  EXPECT_EQ(host.buffer.SelStart(), 6);
  EXPECT_EQ(host.buffer.SelLength(), 2);
  GotoCommand(host, GotoKind::Line, "2");
  EXPECT_EQ(host.buffer.SelStart(), 5);
  EXPECT_EQ(host.buffer.SelLength(), 0);
  GotoCommand(host, GotoKind::Char, "0");
  EXPECT_EQ(host.buffer.SelText(), "o");

  MemoryToolHost empty;
  EXPECT_FALSE(GotoAllowed(empty));
  ASSERT_EQ(empty.boxes.size(), 1u);
  EXPECT_EQ(empty.boxes[0].text, "Hey you! There is no place to go!\nThere is no text in the editor!");
  EXPECT_EQ(empty.boxes[0].caption, "No Place To Go!");
  EXPECT_EQ(empty.boxes[0].flags, 16u);
  EXPECT_TRUE(GotoAllowed(host));
}

}  // namespace
