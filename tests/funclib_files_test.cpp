// Paths, file tests, details, listings, text loading and block access,
// all inside a private temporary directory.
#include "common/FuncLib.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "file_test_support.h"

namespace {

namespace fs = std::filesystem;
using qltest::ReadFile;
using qltest::WriteFile;

// A listing's entries; each must end in CR LF.
std::set<std::string> Lines(const std::string& listing) {
  std::set<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = listing.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.insert(listing.substr(start, end - start));
  if (start < listing.size()) lines.insert("<unterminated>" + listing.substr(start));
  return lines;
}

// Runs body in another current folder and comes back.
template <class F>
auto InFolder(const std::string& dir, F body) {
  char cwd[PATH_MAX];
  EXPECT_NE(getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(chdir(dir.c_str()), 0);
  const auto result = body();
  EXPECT_EQ(chdir(cwd), 0);
  return result;
}

// Write permission means nothing to root, so permission checks run in a
// child that has dropped to an ordinary user. Returns the body's result.
int RunUnprivileged(const std::function<int()>& body) {
  if (geteuid() != 0) return body();
  const pid_t pid = fork();
  if (pid == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(99);
    _exit(body());
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

class FilesTest : public qltest::FileTest {};

// ---- path text ----

TEST(PathText, SplitOnSlashOnly) {
  struct Case {
    std::string path, name, dir, noExt;
  } const cases[] = {
      {"/home/u/a.txt.txt", "a.txt.txt", "/home/u", "a.txt"},  // first occurrence is cut
      {"/home/u/archive.tar.gz", "archive.tar.gz", "/home/u", "archive.tar"},
      {"/d.d/readme", "readme", "/d.d", "readme"},
      {"c:notes.txt", "c:notes.txt", "", "c:notes"},  // a colon is just a character
      {"a\\b.txt", "a\\b.txt", "", "a\\b"},
      {"/top", "top", "/", "top"},
      {"/dir/", "", "/dir", ""},
      {"", "", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ql::ExtractFileName(c.path), c.name) << c.path;
    EXPECT_EQ(ql::ExtractFileDir(c.path), c.dir) << c.path;
    EXPECT_EQ(ql::FileNameNoExt(c.path), c.noExt) << c.path;
  }
}

TEST(PathText, SetTrailingBackslash) {
  struct Case {
    std::string path;
    bool include;
    std::string expected;
  } const cases[] = {
      {"", true, ""}, {"", false, ""}, {"/", true, "/"}, {"/", false, "/"},
      {"/a", true, "/a/"}, {"/a/", true, "/a/"}, {"/a/", false, "/a"}, {"/a", false, "/a"},
      {"c:", true, "c:/"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ql::SetTrailingBackslash(c.path, c.include), c.expected) << c.path << " " << c.include;
}

// ---- existence and size ----

TEST_F(FilesTest, ExistenceAndSize) {
  WriteFile(Path("a.txt"), "hello");
  WriteFile(Path("odd:name"), "x");
  fs::create_directory(Path("sub"));

  EXPECT_TRUE(ql::IsExistingFile(Path("a.txt")));
  EXPECT_TRUE(ql::IsExistingFile(Path("odd:name")));
  EXPECT_FALSE(ql::IsExistingFile(Path("sub")));
  EXPECT_FALSE(ql::IsExistingFile(Path("missing")));
  EXPECT_FALSE(ql::IsExistingFile(Path("*.txt")));  // no wildcard search
  EXPECT_FALSE(ql::IsExistingFile(""));
  EXPECT_TRUE(ql::IsExistingDir(Path("sub")));
  EXPECT_TRUE(ql::IsExistingDir(Path("sub/")));
  EXPECT_FALSE(ql::IsExistingDir(Path("a.txt")));
  EXPECT_FALSE(ql::IsExistingDir(Path("missing")));

  EXPECT_EQ(ql::FileSizeOf(Path("a.txt")), 5);
  EXPECT_EQ(ql::FileSizeOf(Path("missing")), -1);
  EXPECT_EQ(ql::FileSizeOf(Path("sub")), 0);
}

TEST_F(FilesTest, SizesBeyond4GiB) {
  const std::string big = Path("big.bin");
  const std::int64_t size = (std::int64_t{5} << 30) + 3;
  WriteFile(big, "");
  ASSERT_EQ(truncate(big.c_str(), size), 0);  // sparse: takes no space
  EXPECT_EQ(ql::FileSizeOf(big), size);
  ql::TFileInfo info;
  ASSERT_TRUE(ql::GetFileDetails(big, info));
  EXPECT_EQ(info.Size, size);

  ql::BinaryFile f;
  ASSERT_TRUE(ql::OpenBinaryFile(big, f, 1));
  EXPECT_EQ(ql::WriteBlockInt(f, size - 3, 2, 0xBEEF), size - 1);
  EXPECT_EQ(ql::ReadBlockInt(f, size - 3, 2), 0xBEEF);
  EXPECT_EQ(ql::ReadBlockStr(f, size - 4, 2), std::string("\0\xEF", 2));
  ql::CloseBinaryFile(f);
  EXPECT_EQ(ql::FileSizeOf(big), size);
}

// ---- text loading ----

TEST_F(FilesTest, LoadTextFile) {
  struct Case {
    std::string bytes, expected;
  } const cases[] = {
      {std::string("ab\x1A" "cd"), "ab"},
      {"a\r\nb\rc\n", "a\r\nb\rc\n"},  // line ends pass unchanged
      {std::string("x\0y\x1Bz", 5), std::string("x\0y\x1Bz", 5)},
      {"\x1A" "abc", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    WriteFile(Path("t.txt"), c.bytes);
    EXPECT_EQ(ql::LoadTextFile(Path("t.txt")), c.expected);
  }
  EXPECT_EQ(ql::LoadTextFile(Path("missing.txt")), "");
  EXPECT_EQ(ql::LoadTextFile(Path("")), "");  // the folder itself
}

TEST_F(FilesTest, LoadTextFileLargeAndAllBytes) {
  std::string all;
  for (int i = 0; i < 256; ++i)
    if (i != 26) all += static_cast<char>(i);
  std::string big;
  while (big.size() < 300000) big += all;
  WriteFile(Path("big.txt"), big + "\x1A" + "tail");
  EXPECT_EQ(ql::LoadTextFile(Path("big.txt")), big);
  WriteFile(Path("big2.txt"), big);
  EXPECT_EQ(ql::LoadTextFile(Path("big2.txt")), big);
}

// ---- creating files ----

TEST_F(FilesTest, CreateEmptyFile) {
  const std::string f = Path("new.txt");
  EXPECT_TRUE(ql::CreateEmptyFile(f, false));
  EXPECT_EQ(ql::FileSizeOf(f), 0);

  WriteFile(f, "keep");
  EXPECT_FALSE(ql::CreateEmptyFile(f, false));
  EXPECT_EQ(ReadFile(f), "keep");
  EXPECT_TRUE(ql::CreateEmptyFile(f, true));
  EXPECT_EQ(ql::FileSizeOf(f), 0);

  EXPECT_FALSE(ql::CreateEmptyFile(Path("nodir/x.txt"), true));
  EXPECT_FALSE(ql::IsExistingDir(Path("nodir")));
  fs::create_directory(Path("sub"));
  EXPECT_FALSE(ql::CreateEmptyFile(Path("sub"), true));
  EXPECT_TRUE(ql::IsExistingDir(Path("sub")));

  // A bare name goes to the current folder.
  EXPECT_TRUE(InFolder(dir_, [] { return ql::CreateEmptyFile("bare.txt", false); }));
  EXPECT_TRUE(ql::IsExistingFile(Path("bare.txt")));
}

TEST_F(FilesTest, ReadOnlyFiles) {
  // The child (an ordinary user when we are root) owns what it creates.
  fs::permissions(dir_, fs::perms::all);
  const int failed = RunUnprivileged([this]() -> int {
    const std::string ro = Path("ro.txt"), rw = Path("rw.txt");
    WriteFile(ro, "data");
    WriteFile(rw, "data");
    if (chmod(ro.c_str(), 0444) != 0) return 50;
    if (!ql::IsReadOnlyFile(ro)) return 1;
    if (ql::IsReadOnlyFile(rw)) return 2;
    if (ql::IsReadOnlyFile(Path("missing"))) return 3;
    if (ql::IsReadOnlyFile(dir_)) return 4;
    if (ql::CreateEmptyFile(ro, true) || ReadFile(ro) != "data") return 5;
    ql::TFileInfo info;
    if (!ql::GetFileDetails(ro, info) || !(info.Attributes & ql::faReadOnly)) return 6;
    if (!ql::GetFileDetails(rw, info) || (info.Attributes & ql::faReadOnly)) return 7;
    const auto listed = Lines(ql::ListFiles(dir_, "*.txt", ql::faReadOnly));
    if (listed != std::set<std::string>{ro}) return 8;
    ql::BinaryFile f;
    if (ql::OpenBinaryFile(ro, f, 1)) return 9;
    if (!ql::OpenBinaryFile(ro, f, 0)) return 10;
    ql::CloseBinaryFile(f);
    return 0;
  });
  EXPECT_EQ(failed, 0) << "check " << failed << " failed (see the numbers in the test)";
}

// ---- listings ----

TEST_F(FilesTest, ListFiles) {
  for (const char* name : {"a.txt", "b.kwl", "c.kwl", ".h.kwl", "plain"}) WriteFile(Path(name), "x");
  fs::create_directory(Path("sub"));
  const std::string d = dir_ + "/";

  EXPECT_EQ(Lines(ql::ListFiles(dir_, "*.kwl", 63)),
            (std::set<std::string>{d + "b.kwl", d + "c.kwl", d + ".h.kwl"}));
  EXPECT_EQ(Lines(ql::ListFiles(d, "*", ql::faDirectory)),
            (std::set<std::string>{d + ".", d + "..", d + "sub"}));
  EXPECT_EQ(Lines(ql::ListFiles(dir_, "*", ql::faHidden)), (std::set<std::string>{d + ".h.kwl"}));
  EXPECT_EQ(Lines(ql::ListFiles(dir_, "*", ql::faArchive)),
            (std::set<std::string>{d + "a.txt", d + "b.kwl", d + "c.kwl", d + ".h.kwl", d + "plain"}));
  EXPECT_EQ(Lines(ql::ListFiles(dir_, "*.*", 63)).size(), 8u);  // every entry, dotted or not
  EXPECT_EQ(ql::ListFiles(dir_, "*.none", 63), "");
  EXPECT_EQ(ql::ListFiles(Path("missing"), "*", 63), "");
  EXPECT_EQ(ql::ListFiles(dir_, "*", 0), "");
}

// ---- details ----

std::time_t LocalTime(int year, int month, int day, int hour, int min, int sec) {
  struct tm tm = {};
  tm.tm_year = year - 1900, tm.tm_mon = month - 1, tm.tm_mday = day;
  tm.tm_hour = hour, tm.tm_min = min, tm.tm_sec = sec, tm.tm_isdst = -1;
  return mktime(&tm);
}

void SetTimes(const std::string& path, std::time_t access, std::time_t modify) {
  struct timespec times[2] = {{access, 0}, {modify, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST_F(FilesTest, GetFileDetails) {
  const std::string f = Path("notes.txt");
  WriteFile(f, "hello");
  SetTimes(f, LocalTime(2107, 12, 31, 23, 59, 58), LocalTime(2021, 3, 4, 5, 6, 9));
  ql::TFileInfo info;
  ASSERT_TRUE(ql::GetFileDetails(f, info));
  EXPECT_EQ(info.TypeName, "TXT File");
  EXPECT_EQ(info.Size, 5);
  EXPECT_EQ(info.Attributes, std::uint32_t{ql::faArchive});
  EXPECT_EQ(static_cast<std::uint32_t>(info.Modified),
            ((41u << 9 | 3u << 5 | 4u) << 16) | (5u << 11 | 6u << 5 | 4u));  // seconds halved
  EXPECT_EQ(static_cast<std::uint32_t>(info.Accessed),
            ((127u << 9 | 12u << 5 | 31u) << 16) | (23u << 11 | 59u << 5 | 29u));
  EXPECT_NE(info.Created, -1);

  // Before 1980 there is no DOS date.
  SetTimes(f, LocalTime(1979, 12, 31, 12, 0, 0), LocalTime(1975, 6, 1, 12, 0, 0));
  ASSERT_TRUE(ql::GetFileDetails(f, info));
  EXPECT_EQ(info.Modified, -1);
  EXPECT_EQ(info.Accessed, -1);

  fs::create_directory(Path("sub.d"));
  ASSERT_TRUE(ql::GetFileDetails(Path("sub.d/"), info));
  EXPECT_EQ(info.TypeName, "File Folder");
  EXPECT_EQ(info.Size, 0);
  EXPECT_EQ(info.Attributes, std::uint32_t{ql::faDirectory});

  WriteFile(Path(".hidden.cfg"), "");
  ASSERT_TRUE(ql::GetFileDetails(Path(".hidden.cfg"), info));
  EXPECT_EQ(info.Attributes, std::uint32_t{ql::faArchive | ql::faHidden});
  EXPECT_EQ(info.TypeName, "CFG File");

  WriteFile(Path("Makefile"), "");
  ASSERT_TRUE(ql::GetFileDetails(Path("Makefile"), info));
  EXPECT_EQ(info.TypeName, "File");

  const std::string longName = "x." + std::string(120, 'e');
  WriteFile(Path(longName), "");
  ASSERT_TRUE(ql::GetFileDetails(Path(longName), info));
  EXPECT_EQ(info.TypeName.size(), 80u);

  ql::TFileInfo untouched;
  untouched.TypeName = "keep";
  EXPECT_FALSE(ql::GetFileDetails(Path("missing"), untouched));
  EXPECT_EQ(untouched.TypeName, "keep");
}

// ---- long names ----

TEST_F(FilesTest, LongFileName) {
  fs::create_directories(Path("sub/deep"));
  WriteFile(Path("a.txt"), "x");
  fs::create_directory_symlink(Path("sub/deep"), Path("link"));

  EXPECT_EQ(ql::LongFileName(Path("sub/../a.txt")), Path("a.txt"));
  EXPECT_EQ(ql::LongFileName(Path("./sub//deep/")), Path("sub/deep"));
  EXPECT_EQ(ql::LongFileName(Path("link")), Path("link"));  // links stay as named
  EXPECT_EQ(ql::LongFileName(Path("missing")), "");
  EXPECT_EQ(ql::LongFileName(Path("a.txt/")), "");
  EXPECT_EQ(ql::LongFileName("/"), "/");

  // ".." after a link leaves from the link's target, not from the folder
  // that holds the link.
  char* real = realpath(Path("sub").c_str(), nullptr);
  ASSERT_NE(real, nullptr);
  EXPECT_EQ(ql::LongFileName(Path("link/..")), std::string(real));

  // A relative name starts from the current folder.
  EXPECT_EQ(InFolder(Path("sub"), [] { return ql::LongFileName("../a.txt"); }),
            ql::ExtractFileDir(std::string(real)) + "/a.txt");
  std::free(real);
}

// ---- block access ----

TEST_F(FilesTest, BlockAccess) {
  const std::string f = Path("data.bin");
  WriteFile(f, std::string("\x01\x02\x03\x04\x05\xFF\xFE", 7));

  ql::BinaryFile missing;
  EXPECT_FALSE(ql::OpenBinaryFile(Path("none.bin"), missing, 0));
  EXPECT_EQ(missing.handle, nullptr);
  EXPECT_FALSE(ql::OpenBinaryFile(dir_, missing, 0));

  ql::BinaryFile in;
  ASSERT_TRUE(ql::OpenBinaryFile(f, in, 0));
  EXPECT_EQ(ql::ReadBlockStr(in, 1, 3), "\x02\x03\x04");
  EXPECT_EQ(ql::ReadBlockStr(in, 5, 10), "\xFF\xFE");  // short at the end
  struct IntCase {
    std::int64_t offset;
    int size;
    std::int64_t expected;
  } const ints[] = {
      {0, 1, 0x01}, {0, 2, 0x0201}, {0, 3, 0x030201}, {1, 4, 0x05040302},
      {3, 4, 0xFEFF0504},  // unsigned
      {0, 0, 0}, {0, 5, 0}, {0, -1, 0},
  };
  for (const auto& c : ints) EXPECT_EQ(ql::ReadBlockInt(in, c.offset, c.size), c.expected) << c.size;
  EXPECT_EQ(ql::WriteBlockStr(in, 0, "zz"), 2);  // read-only: nothing written
  ql::CloseBinaryFile(in);
  EXPECT_EQ(in.handle, nullptr);
  EXPECT_EQ(ReadFile(f), std::string("\x01\x02\x03\x04\x05\xFF\xFE", 7));

  ql::BinaryFile out;
  ASSERT_TRUE(ql::OpenBinaryFile(f, out, 1));
  EXPECT_EQ(ql::WriteBlockStr(out, 1, "AB"), 3);
  EXPECT_EQ(ql::WriteBlockInt(out, 3, 2, 0x4443), 5);
  EXPECT_EQ(ql::WriteBlockInt(out, 9, 3, -1), 12);  // past the end: the file grows
  ql::CloseBinaryFile(out);
  EXPECT_EQ(ReadFile(f), std::string("\x01" "ABCD\xFF\xFE\0\0\xFF\xFF\xFF", 12));
}

}  // namespace
