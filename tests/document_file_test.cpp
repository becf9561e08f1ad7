// The document's file: decoding, writing back byte for byte, the small
// document tests and the file-error texts. Everything on disk happens in a
// private temporary directory (file_test_support.h).
#include "app/DocumentFile.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "common/FuncLib.h"
#include "editor/MemoryBuffer.h"
#include "file_test_support.h"

namespace {

using namespace qltest;
using ql::LineEnd;
using ql::LoadedDocument;

const char* StyleName(LineEnd s) { return s == LineEnd::CrLf ? "CrLf" : s == LineEnd::Lf ? "Lf" : "Cr"; }

class DocumentFileTest : public FileTest {};

// ---- decoding ----

TEST(DocumentDecode, CutsStylesAndMixedBreaks) {
  struct Case {
    std::string bytes, text;
    LineEnd style;
    bool mixed, cut;
    char cutByte;
  } const cases[] = {
      {std::string("abc\0def", 7), "abc", LineEnd::Lf, false, true, 0},
      {"ab\x1A" "cd", "ab", LineEnd::Lf, false, true, 26},
      {std::string("a\x1A\0b", 4), "a", LineEnd::Lf, false, true, 26},   // whichever comes first
      {std::string("a\0\x1A" "b", 4), "a", LineEnd::Lf, false, true, 0},
      {"abc\x1A", "abc", LineEnd::Lf, false, true, 26},                   // last byte still cuts
      {std::string("\0", 1), "", LineEnd::Lf, false, true, 0},
      {"", "", LineEnd::Lf, false, false, 0},
      {"abc", "abc", LineEnd::Lf, false, false, 0},
      {"a\r\nb\r\n", "a\r\nb\r\n", LineEnd::CrLf, false, false, 0},
      {"a\nb\n", "a\r\nb\r\n", LineEnd::Lf, false, false, 0},
      {"a\rb\rc", "a\r\nb\r\nc", LineEnd::Cr, false, false, 0},           // lone CR file
      {"a\r", "a\r\n", LineEnd::Cr, false, false, 0},
      {"a\r\nb\nc", "a\r\nb\r\nc", LineEnd::CrLf, true, false, 0},        // CR LF file with a lone LF
      {"a\nb\r\nc", "a\r\nb\r\nc", LineEnd::Lf, true, false, 0},
      {"a\rb\r\n", "a\r\nb\r\n", LineEnd::Cr, true, false, 0},
      {"\r\r\n", "\r\n\r\n", LineEnd::Cr, true, false, 0},
      {"\n\r", "\r\n\r\n", LineEnd::Lf, true, false, 0},                  // LF then a lone CR
      {"a\n\rb\n\r", "a\r\n\r\nb\r\n\r\n", LineEnd::Lf, true, false, 0},
      {"\n\r\n", "\r\n\r\n", LineEnd::Lf, true, false, 0},
      {std::string("a\r\0\n", 4), "a\r\n", LineEnd::Cr, false, true, 0},  // the LF after the cut is not read
      {"a\nb\x1A\r\n", "a\r\nb", LineEnd::Lf, false, true, 26},          // breaks after the cut don't mix
      {"\x1A\r\n", "", LineEnd::Lf, false, true, 26},
  };
  for (const auto& c : cases) {
    const LoadedDocument d = ql::DecodeDocument(c.bytes);
    const std::string label = "input " + testing::PrintToString(c.bytes);
    EXPECT_EQ(d.status, LoadedDocument::Ok) << label;
    EXPECT_EQ(d.text, c.text) << label;
    EXPECT_STREQ(StyleName(d.style), StyleName(c.style)) << label;
    EXPECT_EQ(d.mixed, c.mixed) << label;
    EXPECT_EQ(d.cut, c.cut) << label;
    if (c.cut) {
      EXPECT_EQ(d.cutByte, c.cutByte) << label;
    }
    EXPECT_EQ(d.fileSize, static_cast<std::int64_t>(c.bytes.size())) << label;
  }
}

TEST(DocumentDecode, LongInputsMatchTheLineBreakHelper) {
  // Many short lines of every break kind (the scanner's remembered CR and LF
  // positions must not go stale).
  std::string bytes;
  const char* const breaks[] = {"\r\n", "\n", "\r", "\n\r", "\r\r\n"};
  for (int i = 0; i < 20000; ++i) bytes += std::string(static_cast<size_t>(i % 7), 'x') + breaks[i * 7 % 5];
  const LoadedDocument d = ql::DecodeDocument(bytes);
  EXPECT_EQ(d.text, ql::NormalizeLineBreaks(bytes));
  EXPECT_TRUE(d.mixed);
  EXPECT_FALSE(d.cut);
}

// ---- writing back ----

TEST(DocumentBytes, BreaksTakeTheFileStyle) {
  struct Case {
    std::string text;
    LineEnd style;
    std::string bytes;
  } const cases[] = {
      {"a\r\nb\r\n", LineEnd::CrLf, "a\r\nb\r\n"}, {"a\r\nb\r\n", LineEnd::Lf, "a\nb\n"},
      {"a\r\nb\r\n", LineEnd::Cr, "a\rb\r"},       {"", LineEnd::Cr, ""},
      {"\r\n\r\n", LineEnd::Lf, "\n\n"},           {"abc", LineEnd::Cr, "abc"},
      // Lone breaks should not be in the document; they still count as breaks.
      {"a\nb\rc", LineEnd::CrLf, "a\r\nb\r\nc"},   {"a\nb\rc\r\n", LineEnd::Lf, "a\nb\nc\n"},
      {"a\nb\rc\r\n", LineEnd::Cr, "a\rb\rc\r"},   {"\n\r", LineEnd::Cr, "\r\r"},
  };
  for (const auto& c : cases) {
    const std::string label = testing::PrintToString(c.text) + " as " + StyleName(c.style);
    EXPECT_EQ(ql::DocumentBytes(c.text, c.style), c.bytes) << label;
    EXPECT_EQ(ql::LengthInStyle(c.text, c.style), static_cast<std::int64_t>(c.bytes.size())) << label;
  }
}

TEST_F(DocumentFileTest, CleanFilesComeBackByteForByte) {
  // Lines of every byte value but 0, 26, CR and LF, of growing length, and
  // one empty line.
  std::vector<std::string> lines(1);
  for (int b = 1; b < 256; ++b) {
    if (b == 26 || b == '\r' || b == '\n') continue;
    if (lines.back().size() > lines.size()) lines.emplace_back();
    lines.back() += static_cast<char>(b);
  }
  lines.insert(lines.begin() + 3, "");
  for (LineEnd style : {LineEnd::CrLf, LineEnd::Lf, LineEnd::Cr}) {
    const std::string brk = style == LineEnd::CrLf ? "\r\n" : style == LineEnd::Lf ? "\n" : "\r";
    std::string joined;
    for (size_t i = 0; i < lines.size(); ++i) joined += (i ? brk : "") + lines[i];
    const std::string files[] = {joined, joined + brk, brk + brk + brk, brk};
    for (const std::string& bytes : files) {
      const std::string label = std::string(StyleName(style)) + " " + testing::PrintToString(bytes.substr(0, 12));
      const std::string first = Path("first.txt"), second = Path("second.txt");
      ASSERT_EQ(SaveText(first, bytes), "ok") << label;
      const LoadedDocument d = ql::ReadDocument(first);
      ASSERT_EQ(d.status, LoadedDocument::Ok) << label;
      EXPECT_STREQ(StyleName(d.style), StyleName(style)) << label;
      EXPECT_FALSE(d.mixed) << label;
      EXPECT_FALSE(d.cut) << label;
      EXPECT_EQ(d.text, ql::NormalizeLineBreaks(bytes)) << label;
      EXPECT_EQ(ql::LengthInStyle(d.text, d.style), static_cast<std::int64_t>(bytes.size())) << label;
      ASSERT_EQ(SaveText(second, ql::DocumentBytes(d.text, d.style)), "ok") << label;
      EXPECT_EQ(ReadFile(second), bytes) << label;
    }
  }
  // The empty file.
  WriteFile(Path("empty.txt"), "");
  const LoadedDocument d = ql::ReadDocument(Path("empty.txt"));
  EXPECT_EQ(d.status, LoadedDocument::Ok);
  EXPECT_EQ(d.text, "");
  EXPECT_FALSE(d.cut);
  EXPECT_EQ(ql::DocumentBytes(d.text, d.style), "");
  EXPECT_EQ(List(dir_), (std::set<std::string>{"first.txt", "second.txt", "empty.txt"}));
}

// ---- reading from disk ----

// The raw read for big files (the model makes the breaks CR LF itself) tells
// the same as the full read: style, mixing, cut, text and size.
TEST_F(DocumentFileTest, RawReadAgreesWithTheFullRead) {
  std::vector<std::string> inputs = {"", "a", "a\r\nb", "a\nb\n", "a\rb", "a\r\nb\nc", "a\nb\r\n",
                                     "\r\r\n\n", "\n\r", "x\r\ny\rz", "ab\x1A\r\ncd\ne", std::string("q\n\0\r", 4),
                                     "\r", "\n", "\r\n"};
  std::mt19937 rng(3);
  const char pieces[] = {'a', '\r', '\n', ' ', '\x80', 'z'};
  for (int i = 0; i < 200; ++i) {
    std::string s;
    const int n = std::uniform_int_distribution<int>(0, 40)(rng);
    for (int k = 0; k < n; ++k) s += pieces[std::uniform_int_distribution<int>(0, 5)(rng)];
    inputs.push_back(s);
  }
  // Long enough for the counts' word loop to fold its lanes several times.
  std::string longMixed;
  for (int k = 0; k < 5000; ++k) longMixed += pieces[std::uniform_int_distribution<int>(0, 5)(rng)];
  inputs.push_back(longMixed);
  std::string longCrLf;
  for (int k = 0; k < 3000; ++k) longCrLf += "ab\r\n";
  inputs.push_back(longCrLf);
  inputs.push_back(longCrLf + "\n");
  for (const std::string& bytes : inputs) {
    const std::string label = testing::PrintToString(bytes);
    WriteFile(Path("raw.txt"), bytes);
    const LoadedDocument full = ql::ReadDocument(Path("raw.txt"));
    LoadedDocument raw = ql::ReadDocumentBytes(Path("raw.txt"));
    ASSERT_EQ(raw.status, LoadedDocument::Ok) << label;
    ql::MemoryBuffer model;
    model.Load(std::move(raw.text));
    raw.mixed = ql::MixedBreaks(raw.style, raw.crs, raw.lfs, model.PhysicalLines() - 1);
    EXPECT_STREQ(StyleName(raw.style), StyleName(full.style)) << label;
    EXPECT_EQ(raw.mixed, full.mixed) << label;
    EXPECT_EQ(raw.cut, full.cut) << label;
    EXPECT_EQ(raw.cutByte, full.cutByte) << label;
    EXPECT_EQ(raw.fileSize, full.fileSize) << label;
    EXPECT_EQ(model.Text(), full.text) << label;
  }
}

TEST_F(DocumentFileTest, ReadDocumentKinds) {
  WriteFile(Path("cut.txt"), std::string("abc\0def", 7));
  const LoadedDocument cut = ql::ReadDocument(Path("cut.txt"));
  EXPECT_EQ(cut.status, LoadedDocument::Ok);
  EXPECT_EQ(cut.text, "abc");
  EXPECT_EQ(cut.fileSize, 7);
  EXPECT_TRUE(cut.cut);

  for (const std::string& path : {Path("missing.txt"), Path("cut.txt/below"), std::string()})
    EXPECT_EQ(ql::ReadDocument(path).status, LoadedDocument::Missing) << path;

  // Neither a FIFO without a writer nor a device may be opened: the child is
  // killed after 10 s if the read blocks.
  ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0644), 0);
  ASSERT_EQ(mkdir(Path("dir").c_str(), 0755), 0);
  for (const std::string& path : {Path("fifo"), Path("dir"), std::string("/dev/null")}) {
    const std::string status = InChild([&] { return std::to_string(ql::ReadDocument(path).status); }, false);
    EXPECT_EQ(status, std::to_string(LoadedDocument::NotRegular)) << path;
  }

  // A symbolic link reads its target.
  ASSERT_EQ(symlink("cut.txt", Path("link").c_str()), 0);
  EXPECT_EQ(ql::ReadDocument(Path("link")).text, "abc");

  // No read permission: nothing read, the size still known.
  const std::string owned = OwnedDir("owned");
  WriteFile(owned + "/secret.txt", "12345");
  GiveAway(owned + "/secret.txt");
  ASSERT_EQ(chmod((owned + "/secret.txt").c_str(), 0), 0);
  const std::string result = InChild(
      [&] {
        const LoadedDocument d = ql::ReadDocument(owned + "/secret.txt");
        return std::to_string(d.status) + " " + std::to_string(d.fileSize) + " [" + d.text + "]";
      },
      true);
  EXPECT_EQ(result, std::to_string(LoadedDocument::Unreadable) + " 5 []");
}

// ---- binary reading and document tests ----

TEST(DocumentTests, BinaryTextKeepsEveryByte) {
  EXPECT_EQ(ql::BinaryText(std::string("abc\0def", 7)), "abc\x0B" "def");
  EXPECT_EQ(ql::BinaryText(std::string("\0a\x1A\0\r\n\0", 7)), "\x0B" "a\x1A\x0B\r\n\x0B");
  EXPECT_EQ(ql::BinaryText(""), "");
}

TEST(DocumentTests, NfoSetNeedsTenCharacters) {
  const std::set<int> nfo = {176, 177, 178, 179, 180, 192, 193, 194, 195, 196, 197,
                             217, 218, 219, 220, 221, 222, 254};
  for (int b = 1; b < 256; ++b)
    EXPECT_EQ(ql::HasNfoCharacters(std::string(10, static_cast<char>(b))), nfo.count(b) == 1) << b;
  std::string mixed = "text\r\n";
  for (int b : nfo) mixed += static_cast<char>(b);  // 18 members, spread out below
  EXPECT_TRUE(ql::HasNfoCharacters(mixed));
  EXPECT_FALSE(ql::HasNfoCharacters(std::string(9, '\xDB') + std::string(100, '\xAF') + "\xFF\xDF\xD8\xC6"));
  EXPECT_TRUE(ql::HasNfoCharacters(std::string(9, '\xDB') + "abc\xB0"));
}

TEST(DocumentTests, LogDocumentFirstLine) {
  struct Case {
    std::string text;
    bool log;
  } const cases[] = {
      {".LOG", true},       {".LOG\r\n", true},   {".LOG\r\nmore\r\n", true}, {".log", false},
      {".Log\r\n", false},  {".LOG ", false},     {" .LOG", false},           {".LOGx\r\n", false},
      {".LO", false},       {"", false},          {"x\r\n.LOG", false},       {".LOG\tx", false},
  };
  for (const auto& c : cases) EXPECT_EQ(ql::IsLogDocument(c.text), c.log) << testing::PrintToString(c.text);
}

TEST(DocumentTests, IllegalNameCharacters) {
  for (char c : std::string("\"*/:<>?\\|")) {
    EXPECT_TRUE(ql::HasIllegalNameCharacter(std::string("name") + c + "x.txt")) << c;
    EXPECT_TRUE(ql::HasIllegalNameCharacter(std::string(1, c))) << c;
  }
  for (const char* ok : {"name.txt", "my file-1 (2).txt", "a'b;c,d.txt", ".hidden", "~x+y=z&.txt", ""})
    EXPECT_FALSE(ql::HasIllegalNameCharacter(ok)) << ok;
}

// ---- message boxes ----

TEST(DocumentMessages, FileErrorBoxes) {
  struct Case {
    int code;
    std::string caption, text;
    unsigned flags;
  } const cases[] = {
      {0, "No text!", "There is no text to perform the function at!", 48},
      {1, "File doesn't exist!", "The file doesn't exist!\n\"/d/new.txt\"", 16},
      {2, "Couldn't rename!",
       "The file:\n\"/d/doc.txt\"\nCould not be renamed to:\n\"/d/new.txt\"\n"
       "because a file by that name already exist!",
       16},
      {3, "File doesn't exist!",
       "The following file, specified at the CommandLine, doesn't exist:\n\"/d/new.txt\"\n\n"
       "Do you wish to create the file?",
       20},
      {4, "File is readonly!",
       "The following file is readonly:\n\"/d/new.txt\"\n\nDo you want to save it somewhere else?", 52},
      {5, "Couldn't delete!", "Couldn't delete the following file, it's readonly:\n\"/d/new.txt\"", 16},
      {6, "Couldn't revert!", "Couldn't find the file to revert!\n\"/d/doc.txt\"", 16},
      {-1, "", "", 0},
      {7, "", "", 0},
  };
  for (const auto& c : cases) {
    const ql::MessageBoxText box = ql::FileErrorText(c.code, "/d/new.txt", "/d/doc.txt");
    EXPECT_EQ(box.caption, c.caption) << c.code;
    EXPECT_EQ(box.text, c.text) << c.code;
    EXPECT_EQ(box.flags, c.flags) << c.code;
  }
}

TEST(DocumentMessages, LengthPrompt) {
  const ql::MessageBoxText box = ql::LengthPromptText(3, 7);
  EXPECT_EQ(box.caption, "Length Nonequal To Filesize");
  EXPECT_EQ(box.flags, 52u);
  EXPECT_EQ(box.text,
            "3 characters in text.\n"
            "7 bytes in file.\n"
            "\n"
            "The length of the file (number of bytes) differs from the filesize,\n"
            "this could mean that the file contents one or more null terminating\n"
            "characters #0. A null terminating char simply terminates all\n"
            "characters beyond it, making all the text after it unreadable!\n"
            "By pressing yes, all the null terminating characters in the file\n"
            "is replaced by the character #11.\n"
            "\n"
            "It could also mean that the file is an Amiga or Unix file\n"
            "with the character #13 (Carrage Return) as line change insteed\n"
            "of #13#10 as the PC has!\n"
            "\n"
            "Do you want to read the file as a binary file?");
  const std::string large = "0 characters in text.\n5000000000 bytes in file.\n";
  EXPECT_EQ(ql::LengthPromptText(0, 5000000000LL).text.substr(0, large.size()), large);
}

}  // namespace
