// Safe saves: mode, owner, group, ACL and extended attributes carried onto
// the new file or the file written in place; saves interrupted at every
// step (fault injection) that leave the old or the new file whole under its
// name and nothing unexplained; copies of interrupted saves found and cleared.
//
// Permission cases run in a forked child as uid/gid 65534 when the tests run
// as root (file_test_support.h). ACLs and attributes are set and read with
// setfacl/getfacl (Debian package acl) and setfattr/getfattr (package attr).
#include "app/SafeSave.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <optional>
#include <sys/resource.h>
#include <sys/xattr.h>

#include "file_test_support.h"

namespace {

using namespace qltest;
using ql::SaveStep;

// "renamed" or "in place" for a save that worked, else the error text.
std::string SaveWay(const std::string& path, const std::string& bytes) {
  const ql::SaveResult r = ql::SaveFileSafely(path, bytes);
  return r.ok ? (r.inPlace ? "in place" : "renamed") : r.error;
}

std::optional<std::string> Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::optional<std::string>(v) : std::nullopt;
}

void SetEnv(const char* name, const std::optional<std::string>& value) {
  if (value)
    setenv(name, value->c_str(), 1);
  else
    unsetenv(name);
}

pid_t DeadPid() {
  const pid_t pid = fork();
  if (pid == 0) _exit(0);
  waitpid(pid, nullptr, 0);
  return pid;
}

// The folders where a save keeps backups when the file's folder takes no
// new file point into a private directory of each test.
class SafeSaveTest : public FileTest {
 protected:
  void SetUp() override {
    FileTest::SetUp();
    char templ[] = "/tmp/ql_copies_XXXXXX";
    ASSERT_NE(mkdtemp(templ), nullptr);
    copies_ = templ;
    ASSERT_EQ(chmod(copies_.c_str(), 0755), 0);
    cache_ = copies_ + "/cache";
    tmp_ = copies_ + "/tmp";
    ASSERT_EQ(mkdir(cache_.c_str(), 0700), 0);
    ASSERT_EQ(mkdir(tmp_.c_str(), 0777), 0);
    ASSERT_EQ(chmod(tmp_.c_str(), 01777), 0);
    GiveAway(cache_);  // the unprivileged child's cache
    oldCache_ = Env("XDG_CACHE_HOME");
    oldTmp_ = Env("TMPDIR");
    setenv("XDG_CACHE_HOME", cache_.c_str(), 1);
    setenv("TMPDIR", tmp_.c_str(), 1);
  }
  void TearDown() override {
    ql::SetSaveStepHook(nullptr);
    SetEnv("XDG_CACHE_HOME", oldCache_);
    SetEnv("TMPDIR", oldTmp_);
    EXPECT_EQ(RunProgram({"rm", "-rf", copies_}).status, 0);
    FileTest::TearDown();
  }
  // Every file in the folders for copies.
  std::set<std::string> CopyFolderFiles() const {
    std::set<std::string> files;
    for (const std::string& folder : {cache_, tmp_})
      for (const std::string& sub : List(folder))
        for (const std::string& f : List(folder + "/" + sub)) files.insert(folder + "/" + sub + "/" + f);
    return files;
  }

  std::string copies_, cache_, tmp_;
  std::optional<std::string> oldCache_, oldTmp_;
};

TEST_F(SafeSaveTest, SaveKeepsModeAndOwner) {
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

TEST_F(SafeSaveTest, NewFileTakesTheUmask) {
  const mode_t old = umask(027);
  const std::string result = SaveText(Path("new.txt"), "");
  umask(old);
  ASSERT_EQ(result, "ok");
  EXPECT_EQ(StatOf(Path("new.txt")).st_mode & 07777, 0640u);
  EXPECT_EQ(ReadFile(Path("new.txt")), "");
  EXPECT_EQ(List(dir_), std::set<std::string>{"new.txt"});
}

TEST_F(SafeSaveTest, SaveThroughSymbolicLinks) {
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

TEST_F(SafeSaveTest, HardLinksStayOneFile) {
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

TEST_F(SafeSaveTest, FailedSavesKeepTheOldFile) {
  ASSERT_EQ(mkdir(Path("folder").c_str(), 0755), 0);
  EXPECT_EQ(SaveText(Path("folder"), "x"), std::strerror(EISDIR));
  EXPECT_EQ(SaveText(Path("folder/"), "x"), std::strerror(EISDIR));
  EXPECT_EQ(SaveText(Path("nowhere/x.txt"), "x"), std::strerror(ENOENT));
  EXPECT_EQ(SaveText("", "x"), std::strerror(ENOENT));
  ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0644), 0);
  EXPECT_EQ(InChild([&] { return SaveText(Path("fifo"), "x"); }, false), std::strerror(ENOTSUP));
  EXPECT_EQ(List(Path("folder")), std::set<std::string>{});

  // A read-only file, in a writable and in a read-only folder.
  const std::string ro = OwnedDir("ro");
  const std::string rw = OwnedDir("rw");
  for (const std::string& file : {ro + "/a.txt", rw + "/a.txt"}) {
    WriteFile(file, "old");
    GiveAway(file);
    ASSERT_EQ(chmod(file.c_str(), 0444), 0);
  }
  ASSERT_EQ(chmod(ro.c_str(), 0555), 0);
  for (const std::string& file : {ro + "/a.txt", rw + "/a.txt"}) {
    EXPECT_EQ(InChild([&] { return SaveText(file, "new"); }, true), std::strerror(EACCES)) << file;
    EXPECT_EQ(ReadFile(file), "old") << file;
  }
  EXPECT_EQ(List(ro), std::set<std::string>{"a.txt"});
  EXPECT_EQ(List(rw), std::set<std::string>{"a.txt"});
  EXPECT_EQ(CopyFolderFiles(), std::set<std::string>{});
}

TEST_F(SafeSaveTest, FullDiskKeepsTheOldFile) {
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


// ---- owner and group ----

TEST_F(SafeSaveTest, OwnerAndGroupKeptOrWrittenInPlace) {
  if (geteuid() != 0) GTEST_SKIP() << "files of another owner and group can only be made as root";
  struct Case {
    const char* label;
    uid_t uid;
    gid_t gid;
    mode_t mode;
    bool unprivileged;  // saved by uid/gid 65534
    const char* way;
    mode_t after;
  } const cases[] = {
      {"another owner and group, saved by root", 1234, 4321, 0640, false, "renamed", 0640},
      {"setgid file of another group, saved by root", 65534, 4321, 02775, false, "renamed", 02775},
      {"setuid file of another owner, saved by root", 1234, 4321, 04755, false, "renamed", 04755},
      {"own file and group", 65534, 65534, 0640, true, "renamed", 0640},
      {"own file of a group we are not in", 65534, 4321, 0664, true, "in place", 0664},
      {"group-writable file of another owner", 4321, 65534, 0664, true, "in place", 0664},
      // The bit goes (writing drops it), the group stays: never more access.
      {"setgid file of a group we are not in", 65534, 4321, 02775, true, "in place", 0775},
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::string folder = OwnedDir("d" + std::to_string(n++));
    const std::string file = folder + "/doc.txt";
    WriteFile(file, "old contents");
    ASSERT_EQ(chown(file.c_str(), c.uid, c.gid), 0) << c.label;
    ASSERT_EQ(chmod(file.c_str(), c.mode), 0) << c.label;
    const ino_t inode = StatOf(file).st_ino;
    EXPECT_EQ(InChild([&] { return SaveWay(file, "new"); }, c.unprivileged), c.way) << c.label;
    const struct stat after = StatOf(file);
    EXPECT_EQ(ReadFile(file), "new") << c.label;
    EXPECT_EQ(after.st_uid, c.uid) << c.label;
    EXPECT_EQ(after.st_gid, c.gid) << c.label;
    EXPECT_EQ(after.st_mode & 07777, c.after) << c.label << " " << std::oct << (after.st_mode & 07777);
    EXPECT_EQ(after.st_ino == inode, std::string(c.way) == "in place") << c.label;
    EXPECT_EQ(List(folder), std::set<std::string>{"doc.txt"}) << c.label;
  }
  EXPECT_EQ(CopyFolderFiles(), std::set<std::string>{});
}

TEST_F(SafeSaveTest, WritableFileInAReadOnlyFolderIsSavedInPlace) {
  const std::string ro = OwnedDir("ro");
  const std::string file = ro + "/a.txt";
  WriteFile(file, "old contents");
  GiveAway(file);
  ASSERT_EQ(chmod(ro.c_str(), 0555), 0);
  const ino_t inode = StatOf(file).st_ino;
  EXPECT_EQ(InChild([&] { return SaveWay(file, "new"); }, true), "in place");
  EXPECT_EQ(ReadFile(file), "new");
  EXPECT_EQ(StatOf(file).st_ino, inode);
  EXPECT_EQ(List(ro), std::set<std::string>{"a.txt"});
  EXPECT_EQ(CopyFolderFiles(), std::set<std::string>{});  // the backup went again

  // Nowhere to put the backup: refused, untouched.
  const auto nowhere = [] {
    setenv("XDG_CACHE_HOME", "/nonexistent/cache", 1);
    setenv("TMPDIR", "/nonexistent/tmp", 1);
  };
  EXPECT_EQ(InChild([&] { return SaveWay(file, "newer"); }, true, nowhere), std::strerror(EACCES));
  EXPECT_EQ(ReadFile(file), "new");
  EXPECT_EQ(List(ro), std::set<std::string>{"a.txt"});
}

// ---- ACLs and extended attributes ----

// The file's ACL (numeric ids) and every attribute, as the tools show them.
std::string Snapshot(const std::string& file) {
  const RunResult acl = RunProgram({"getfacl", "-n", "-p", file});
  const RunResult attrs = RunProgram({"getfattr", "-d", "-m", "-", "-h", "--absolute-names", file});
  std::vector<std::string> lines;
  std::string all = acl.out + attrs.out, line;
  for (char ch : all) {
    if (ch != '\n') {
      line += ch;
    } else {
      if (!line.empty()) lines.push_back(line);
      line.clear();
    }
  }
  std::sort(lines.begin(), lines.end());  // attribute order is the file system's
  std::string out = "acl " + std::to_string(acl.status) + ", attrs " + std::to_string(attrs.status) + "\n";
  for (const std::string& l : lines) out += l + "\n";
  return out;
}

TEST_F(SafeSaveTest, AclAndExtendedAttributesSurviveASave) {
  WriteFile(Path("probe"), "");
  if (setxattr(Path("probe").c_str(), "user.quillora", "1", 1, 0) != 0 && (errno == ENOTSUP || errno == EOPNOTSUPP))
    GTEST_SKIP() << "the file system of " << dir_ << " has no extended attribute support";
  ASSERT_EQ(unlink(Path("probe").c_str()), 0);
  ASSERT_EQ(RunProgram({"setfacl", "--version"}).status, 0) << "setfacl missing: install the acl package (scripts/deps.sh)";
  ASSERT_EQ(RunProgram({"setfattr", "--version"}).status, 0) << "setfattr missing: install the attr package (scripts/deps.sh)";
  const bool root = geteuid() == 0;

  // "%f" is the file, "%d" its folder; the commands run as root (or as the
  // user running the tests), the save as the file's owner when unprivileged.
  struct Case {
    const char* label;
    std::vector<std::vector<std::string>> setup;
    const char* mustShow;  // proves the setup took
    bool unprivileged;
    const char* way;
    bool rootOnly;
  } const cases[] = {
      {"named user and group entries", {{"setfacl", "-m", "u:65534:rw,g:65534:r", "%f"}}, "user:65534:rw-", false,
       "renamed", false},
      {"user attributes, one empty",
       {{"setfattr", "-n", "user.note", "-v", "hello", "%f"}, {"setfattr", "-n", "user.empty", "%f"}},
       "user.note=\"hello\"", false, "renamed", false},
      {"security attribute", {{"setfattr", "-n", "security.quillora", "-v", "x", "%f"}}, "security.quillora", false,
       "renamed", true},
      {"ACL with a narrow mask and attributes, saved by the owner",
       {{"setfacl", "-m", "u:1234:rwx,m::r", "%f"}, {"setfattr", "-n", "user.note", "-v", "mine", "%f"}},
       "mask::r--", true, "renamed", false},
      {"security attribute the owner may not set", {{"setfattr", "-n", "security.quillora", "-v", "y", "%f"}},
       "security.quillora", true, "in place", true},
      {"folder's default ACL is not given to a file without one", {{"setfacl", "-d", "-m", "u:65534:rwx", "%d"}},
       "# file", false, "renamed", false},
      {"folder's default ACL does not replace the file's own",
       {{"setfacl", "-d", "-m", "u:65534:rwx", "%d"}, {"setfacl", "-m", "u:1234:r", "%f"}}, "user:1234:r--", true,
       "renamed", false},
  };
  int n = 0;
  for (const Case& c : cases) {
    if (c.rootOnly && !root) continue;
    const std::string folder = OwnedDir("acl" + std::to_string(n++));
    const std::string file = folder + "/doc.txt";
    WriteFile(file, "old contents");
    GiveAway(file);
    ASSERT_EQ(chmod(file.c_str(), 0640), 0);
    for (std::vector<std::string> argv : c.setup) {
      for (std::string& a : argv) a = a == "%f" ? file : a == "%d" ? folder : a;
      ASSERT_EQ(RunProgram(argv).status, 0) << c.label << ": " << argv[0] << " " << argv[1];
    }
    const std::string before = Snapshot(file);
    ASSERT_NE(before.find(c.mustShow), std::string::npos) << c.label << "\n" << before;
    const struct stat st = StatOf(file);
    EXPECT_EQ(InChild([&] { return SaveWay(file, "new"); }, c.unprivileged), c.way) << c.label;
    EXPECT_EQ(ReadFile(file), "new") << c.label;
    EXPECT_EQ(Snapshot(file), before) << c.label;
    const struct stat after = StatOf(file);
    EXPECT_EQ(after.st_mode & 07777, st.st_mode & 07777) << c.label;
    EXPECT_EQ(after.st_uid, st.st_uid) << c.label;
    EXPECT_EQ(after.st_gid, st.st_gid) << c.label;
    EXPECT_EQ(List(folder), std::set<std::string>{"doc.txt"}) << c.label;
  }
}

// ---- interrupted saves ----

TEST_F(SafeSaveTest, InterruptedAtEveryStep) {
  enum Kind { Single, HardLinked, ReadOnlyFolder };
  enum Whole { Old, New, Torn };
  struct Case {
    Kind kind;
    SaveStep step;
    bool canFail;  // past the commit point a failure can no longer be honoured
    Whole afterKill;
  } const cases[] = {
      {Single, SaveStep::TempCreated, true, Old},        {Single, SaveStep::TempHalfWritten, true, Old},
      {Single, SaveStep::TempWritten, true, Old},        {Single, SaveStep::AttributesCarried, true, Old},
      {Single, SaveStep::TempSynced, true, Old},         {Single, SaveStep::Renamed, false, New},
      {HardLinked, SaveStep::BackupCreated, true, Old},  {HardLinked, SaveStep::BackupCopied, true, Old},
      {HardLinked, SaveStep::BackupSynced, true, Old},   {HardLinked, SaveStep::Truncated, true, Torn},
      {HardLinked, SaveStep::HalfWritten, true, Torn},   {HardLinked, SaveStep::Written, true, New},
      {HardLinked, SaveStep::Synced, false, New},        {ReadOnlyFolder, SaveStep::BackupCreated, true, Old},
      {ReadOnlyFolder, SaveStep::BackupSynced, true, Old}, {ReadOnlyFolder, SaveStep::HalfWritten, true, Torn},
      {ReadOnlyFolder, SaveStep::Synced, false, New},
  };
  const std::string oldBytes(6000, 'o'), newBytes = std::string(9000, 'n') + "\n", later = "later\n";
  int n = 0;
  for (const Case& c : cases) {
    for (const bool kill : {false, true}) {
      const std::string label = "kind " + std::to_string(c.kind) + " step " + std::to_string(int(c.step)) +
                                (kill ? " killed" : " failed");
      const std::string folder = OwnedDir("s" + std::to_string(n++));
      const std::string file = folder + "/doc.txt";
      std::set<std::string> names = {"doc.txt"};
      WriteFile(file, oldBytes);
      GiveAway(file);
      if (c.kind == HardLinked) {
        ASSERT_EQ(link(file.c_str(), (folder + "/other.txt").c_str()), 0);
        names.insert("other.txt");
      }
      if (c.kind == ReadOnlyFolder) {
        ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
      }
      const bool unprivileged = c.kind == ReadOnlyFolder;
      const SaveStep step = c.step;
      const std::string result = InChild(
          [&] {
            ql::SetSaveStepHook([&](SaveStep s) {
              if (s != step) return 0;
              if (kill) raise(SIGKILL);
              return EIO;
            });
            return SaveWay(file, newBytes);
          },
          unprivileged);
      const std::string now = ReadFile(file);
      if (!kill) {
        EXPECT_EQ(result, c.canFail ? std::strerror(EIO) : c.kind == Single ? "renamed" : "in place") << label;
        EXPECT_EQ(now, c.canFail ? oldBytes : newBytes) << label;
        EXPECT_EQ(List(folder), names) << label;  // a failed save cleans up after itself
        EXPECT_EQ(CopyFolderFiles(), std::set<std::string>{}) << label;
      } else {
        EXPECT_EQ(result, "<child failed>") << label;
        if (c.afterKill != Torn) {
          EXPECT_EQ(now, c.afterKill == Old ? oldBytes : newBytes) << label;
        }
        // Whatever was left is a copy the next open reports.
        const std::vector<std::string> found = ql::FindInterruptedSaves(file);
        std::set<std::string> litter = CopyFolderFiles();
        for (const std::string& name : List(folder))
          if (!names.count(name)) litter.insert(folder + "/" + name);
        EXPECT_EQ(std::set<std::string>(found.begin(), found.end()), litter) << label;
        if (c.afterKill == Torn) {
          EXPECT_NE(now, oldBytes) << label;
          EXPECT_TRUE(std::any_of(found.begin(), found.end(), [&](const std::string& f) { return ReadFile(f) == oldBytes; }))
              << label << ": the old contents must survive whole in a copy";
        }
      }
      if (c.kind == HardLinked) {
        EXPECT_EQ(StatOf(folder + "/other.txt").st_ino, StatOf(file).st_ino) << label;
      }
      // The next save works and clears what the interrupted one left.
      EXPECT_EQ(InChild([&] { return SaveWay(file, later); }, unprivileged),
                c.kind == Single ? "renamed" : "in place")
          << label;
      EXPECT_EQ(ReadFile(file), later) << label;
      EXPECT_EQ(List(folder), names) << label;
      EXPECT_EQ(CopyFolderFiles(), std::set<std::string>{}) << label;
      EXPECT_TRUE(ql::FindInterruptedSaves(file).empty()) << label;
    }
  }
}

TEST_F(SafeSaveTest, OnlyOurOwnLeftoversAreCleared) {
  WriteFile(Path("doc.txt"), "old");
  const std::string dead = std::to_string(DeadPid());
  const std::string ours1 = ".doc.txt.quillora-save-" + dead + ".abc123";
  const std::string ours2 = ".doc.txt.quillora-backup-" + dead + ".Zz9Zz9";
  const std::string theirs = ".doc.txt.quillora-save-" + dead + ".xyz789";  // another user's (as root)
  const std::string untouched[] = {
      ".doc.txt.quillora-save-1.abc123",              // pid 1 is running
      ".doc.txt.quillora-save-" + dead,               // not the pattern
      ".doc.txt.quillora-save-" + dead + ".abc12",    // not the pattern
      ".doc.txt.quillora-save-" + dead + ".abc12!",   // not the pattern
      ".doc.txt.quillora-copy-" + dead + ".abc123",   // not the pattern
      ".doc.txt2.quillora-save-" + dead + ".abc123",  // another file's
      ".doc.tx.quillora-save-" + dead + ".abc123",    // another file's
      "doc.txt.quillora-save-" + dead + ".abc123",    // not hidden
      ".doc.txt.quillora-save-x" + dead + ".abc123",
  };
  for (const std::string& name : {ours1, ours2, theirs}) WriteFile(Path(name), "copy");
  for (const std::string& name : untouched) WriteFile(Path(name), "keep");
  // A link with the pattern is no copy of ours.
  const std::string link = ".doc.txt.quillora-backup-" + dead + ".link00";
  ASSERT_EQ(symlink("doc.txt", Path(link).c_str()), 0);
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown(Path(theirs).c_str(), 4321, 4321), 0);
  }

  std::vector<std::string> found = ql::FindInterruptedSaves(Path("doc.txt"));
  EXPECT_EQ(std::set<std::string>(found.begin(), found.end()),
            (std::set<std::string>{Path(ours1), Path(ours2), Path(theirs)}));
  // Through a symbolic link to the file, the same copies.
  ASSERT_EQ(symlink("doc.txt", Path("alias").c_str()), 0);
  EXPECT_EQ(ql::FindInterruptedSaves(Path("alias")).size(), 3u);

  ASSERT_EQ(SaveWay(Path("doc.txt"), "new"), "renamed");
  std::set<std::string> expected(std::begin(untouched), std::end(untouched));
  expected.insert({"doc.txt", "alias", link});
  if (root) expected.insert(theirs);
  EXPECT_EQ(List(dir_), expected);
  found = ql::FindInterruptedSaves(Path("doc.txt"));
  EXPECT_EQ(found, root ? std::vector<std::string>{Path(theirs)} : std::vector<std::string>{});
}

// ---- stamps ----

TEST_F(SafeSaveTest, StampsFollowTheFile) {
  const std::string file = Path("doc.txt");
  WriteFile(file, "old");
  const ql::FileStamp opened = ql::FileStampOf(file);
  ASSERT_TRUE(opened.exists);
  EXPECT_EQ(ql::CompareStamps(ql::FileStamp(), opened), ql::DiskChange::None);  // nothing known
  EXPECT_EQ(ql::CompareStamps(opened, ql::FileStampOf(file)), ql::DiskChange::None);

  // Our own saves, both ways, give the stamp the file then has.
  ql::SaveResult r = ql::SaveFileSafely(file, "new");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.stamp, ql::FileStampOf(file));
  EXPECT_EQ(ql::CompareStamps(opened, r.stamp), ql::DiskChange::Changed);  // another inode
  ASSERT_EQ(link(file.c_str(), Path("other").c_str()), 0);
  r = ql::SaveFileSafely(file, "newer");
  ASSERT_TRUE(r.ok && r.inPlace);
  EXPECT_EQ(r.stamp, ql::FileStampOf(file));

  // Another program's change: same size and inode, another time; then the
  // file removed.
  const ql::FileStamp known = r.stamp;
  const timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 5}};
  ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  EXPECT_EQ(ql::CompareStamps(known, ql::FileStampOf(file)), ql::DiskChange::Changed);
  WriteFile(Path("other"), "newer!");  // the same file, through its other name
  EXPECT_EQ(ql::CompareStamps(known, ql::FileStampOf(file)), ql::DiskChange::Changed);
  ASSERT_EQ(unlink(file.c_str()), 0);
  EXPECT_EQ(ql::CompareStamps(known, ql::FileStampOf(file)), ql::DiskChange::Deleted);
  EXPECT_EQ(ql::FileStampOf(file), ql::FileStamp());
}

}  // namespace
