// The document's file: decoding, writing back byte for byte, the small
// document tests, the file-error texts, and saves that never lose the old
// file. Everything on disk happens in a private temporary directory.
//
// Permission cases: write permission means nothing to root, so when the
// tests run as root those cases run in a forked child that has dropped to
// uid/gid 65534 on files it owns. Disk-full cases are a forked child with a
// small RLIMIT_FSIZE (writes past it fail with EFBIG).
#include "app/DocumentFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <random>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/FuncLib.h"
#include "editor/MemoryBuffer.h"

namespace {

using ql::LineEnd;
using ql::LoadedDocument;

void WriteFile(const std::string& path, const std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

std::string ReadFile(const std::string& path) {
  std::string out;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) out.append(buf, n);
    std::fclose(f);
  }
  return out;
}

std::set<std::string> List(const std::string& dir) {
  std::set<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d))
      if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.insert(e->d_name);
    closedir(d);
  }
  return names;
}

struct stat StatOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return st;
}

// Runs body in a child process (limited to 10 s, so a blocking call fails
// the test instead of hanging it), optionally as uid 65534 when we are root;
// returns what the body returned, or "<child failed>".
std::string InChild(const std::function<std::string()>& body, bool unprivileged,
                    const std::function<void()>& setup = nullptr) {
  int fds[2];
  if (pipe(fds) != 0) return "<pipe failed>";
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    alarm(10);
    if (unprivileged && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
    if (setup) setup();
    const std::string out = body();
    if (write(fds[1], out.data(), out.size()) != static_cast<ssize_t>(out.size())) _exit(98);
    _exit(0);
  }
  close(fds[1]);
  std::string out;
  char buf[512];
  for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) out.append(buf, static_cast<size_t>(n));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? out : "<child failed>";
}

std::string SaveText(const std::string& path, const std::string& bytes) {
  const ql::SaveResult r = ql::SaveFileSafely(path, bytes);
  return r.ok ? "ok" : r.error;
}

const char* StyleName(LineEnd s) { return s == LineEnd::CrLf ? "CrLf" : s == LineEnd::Lf ? "Lf" : "Cr"; }

class DocumentFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char templ[] = "/tmp/ql_docfile_XXXXXX";
    ASSERT_NE(mkdtemp(templ), nullptr);
    dir_ = templ;
    chmod(dir_.c_str(), 0755);  // the unprivileged child must reach its files
  }
  void TearDown() override {
    const std::string cmd = "chmod -R u+rwx '" + dir_ + "' 2>/dev/null; rm -rf '" + dir_ + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
  }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  // A folder the unprivileged child owns.
  std::string OwnedDir(const std::string& name) {
    const std::string d = Path(name);
    EXPECT_EQ(mkdir(d.c_str(), 0755), 0);
    if (geteuid() == 0) {
      EXPECT_EQ(chown(d.c_str(), 65534, 65534), 0);
    }
    return d;
  }
  void GiveAway(const std::string& path) {
    if (geteuid() == 0) {
      EXPECT_EQ(chown(path.c_str(), 65534, 65534), 0);
    }
  }

  std::string dir_;
};

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

  EXPECT_EQ(ql::ReadDocument(Path("missing.txt")).status, LoadedDocument::Missing);
  EXPECT_EQ(ql::ReadDocument(Path("cut.txt/below")).status, LoadedDocument::Missing);
  EXPECT_EQ(ql::ReadDocument("").status, LoadedDocument::Missing);

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

// ---- safe saving ----

TEST_F(DocumentFileTest, SaveKeepsModeAndOwner) {
  for (mode_t mode : {0640, 0600, 0755, 04755, 02750}) {
    const std::string path = Path("kept.txt");
    WriteFile(path, "old contents");
    GiveAway(path);
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
    const struct stat before = StatOf(path);
    ASSERT_EQ(SaveText(path, "new"), "ok") << std::oct << mode;
    const struct stat after = StatOf(path);
    EXPECT_EQ(ReadFile(path), "new");
    EXPECT_EQ(after.st_mode & 07777, before.st_mode & 07777) << std::oct << mode;
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(List(dir_), std::set<std::string>{"kept.txt"});
    unlink(path.c_str());
  }
}

TEST_F(DocumentFileTest, NewFileTakesTheUmask) {
  const mode_t old = umask(027);
  const std::string result = SaveText(Path("new.txt"), "");
  umask(old);
  ASSERT_EQ(result, "ok");
  EXPECT_EQ(StatOf(Path("new.txt")).st_mode & 07777, 0640u);
  EXPECT_EQ(ReadFile(Path("new.txt")), "");
  EXPECT_EQ(List(dir_), std::set<std::string>{"new.txt"});
}

TEST_F(DocumentFileTest, SaveThroughSymbolicLinks) {
  // An existing target: written, the link stays a link.
  WriteFile(Path("target.txt"), "old");
  ASSERT_EQ(chmod(Path("target.txt").c_str(), 0640), 0);
  ASSERT_EQ(symlink("target.txt", Path("link").c_str()), 0);
  ASSERT_EQ(SaveText(Path("link"), "new"), "ok");
  EXPECT_EQ(ReadFile(Path("target.txt")), "new");
  EXPECT_EQ(StatOf(Path("target.txt")).st_mode & 07777, 0640u);
  struct stat lst;
  ASSERT_EQ(lstat(Path("link").c_str(), &lst), 0);
  EXPECT_TRUE(S_ISLNK(lst.st_mode));

  // A dangling link in a subfolder names its target relative to itself.
  ASSERT_EQ(mkdir(Path("sub").c_str(), 0755), 0);
  ASSERT_EQ(symlink("../made.txt", Path("sub/dangling").c_str()), 0);
  ASSERT_EQ(SaveText(Path("sub/dangling"), "made"), "ok");
  EXPECT_EQ(ReadFile(Path("made.txt")), "made");
  ASSERT_EQ(lstat(Path("sub/dangling").c_str(), &lst), 0);
  EXPECT_TRUE(S_ISLNK(lst.st_mode));

  // A chain of links ending nowhere, and a loop.
  ASSERT_EQ(symlink("chain2", Path("chain1").c_str()), 0);
  ASSERT_EQ(symlink("sub/end.txt", Path("chain2").c_str()), 0);
  ASSERT_EQ(SaveText(Path("chain1"), "end"), "ok");
  EXPECT_EQ(ReadFile(Path("sub/end.txt")), "end");
  ASSERT_EQ(symlink("loop2", Path("loop1").c_str()), 0);
  ASSERT_EQ(symlink("loop1", Path("loop2").c_str()), 0);
  EXPECT_EQ(SaveText(Path("loop1"), "x"), std::strerror(ELOOP));

  EXPECT_EQ(List(dir_), (std::set<std::string>{"target.txt", "link", "sub", "made.txt", "chain1", "chain2",
                                               "loop1", "loop2"}));
  EXPECT_EQ(List(Path("sub")), (std::set<std::string>{"dangling", "end.txt"}));
}

TEST_F(DocumentFileTest, HardLinksStayOneFile) {
  WriteFile(Path("a.txt"), "old contents, rather longer than the new ones");
  ASSERT_EQ(chmod(Path("a.txt").c_str(), 04750), 0);
  ASSERT_EQ(link(Path("a.txt").c_str(), Path("b.txt").c_str()), 0);
  const ino_t inode = StatOf(Path("a.txt")).st_ino;
  ASSERT_EQ(SaveText(Path("a.txt"), "new"), "ok");
  EXPECT_EQ(ReadFile(Path("a.txt")), "new");
  EXPECT_EQ(ReadFile(Path("b.txt")), "new");
  EXPECT_EQ(StatOf(Path("b.txt")).st_ino, inode);
  EXPECT_EQ(StatOf(Path("a.txt")).st_nlink, 2u);
  EXPECT_EQ(StatOf(Path("a.txt")).st_mode & 07777, 04750u);
  EXPECT_EQ(List(dir_), (std::set<std::string>{"a.txt", "b.txt"}));
}

TEST_F(DocumentFileTest, FailedSavesKeepTheOldFile) {
  ASSERT_EQ(mkdir(Path("folder").c_str(), 0755), 0);
  EXPECT_EQ(SaveText(Path("folder"), "x"), std::strerror(EISDIR));
  EXPECT_EQ(SaveText(Path("folder/"), "x"), std::strerror(EISDIR));
  EXPECT_EQ(SaveText(Path("nowhere/x.txt"), "x"), std::strerror(ENOENT));
  EXPECT_EQ(SaveText("", "x"), std::strerror(ENOENT));
  ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0644), 0);
  EXPECT_EQ(InChild([&] { return SaveText(Path("fifo"), "x"); }, false), std::strerror(ENOTSUP));
  EXPECT_EQ(List(Path("folder")), std::set<std::string>{});

  // Read-only folder, then read-only file in a writable folder.
  const std::string ro = OwnedDir("ro");
  const std::string rw = OwnedDir("rw");
  for (const std::string& file : {ro + "/a.txt", rw + "/a.txt"}) {
    WriteFile(file, "old");
    GiveAway(file);
  }
  ASSERT_EQ(chmod(ro.c_str(), 0555), 0);
  ASSERT_EQ(chmod((rw + "/a.txt").c_str(), 0444), 0);
  for (const std::string& file : {ro + "/a.txt", rw + "/a.txt"}) {
    EXPECT_EQ(InChild([&] { return SaveText(file, "new"); }, true), std::strerror(EACCES)) << file;
    EXPECT_EQ(ReadFile(file), "old") << file;
  }
  EXPECT_EQ(List(ro), std::set<std::string>{"a.txt"});
  EXPECT_EQ(List(rw), std::set<std::string>{"a.txt"});
}

TEST_F(DocumentFileTest, FullDiskKeepsTheOldFile) {
  // Past RLIMIT_FSIZE a write fails with EFBIG, like a full disk: the new
  // file, and for hard links the in-place write after the backup, fail.
  const std::string old(100, 'o');
  const std::string big(20000, 'n');
  WriteFile(Path("single.txt"), old);
  WriteFile(Path("linked.txt"), old);
  ASSERT_EQ(link(Path("linked.txt").c_str(), Path("other.txt").c_str()), 0);
  const auto limit = [] {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit lim{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &lim);
  };
  for (const char* name : {"single.txt", "linked.txt"}) {
    EXPECT_EQ(InChild([&] { return SaveText(Path(name), big); }, false, limit), std::strerror(EFBIG)) << name;
    EXPECT_EQ(ReadFile(Path(name)), old) << name;
  }
  EXPECT_EQ(ReadFile(Path("other.txt")), old);
  EXPECT_EQ(StatOf(Path("other.txt")).st_ino, StatOf(Path("linked.txt")).st_ino);
  EXPECT_EQ(List(dir_), (std::set<std::string>{"single.txt", "linked.txt", "other.txt"}));
}

}  // namespace
