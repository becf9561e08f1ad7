// Recovery journals: format, torn and damaged tails, the recorder's batches
// written by the writer thread, snapshots of big documents, the folder,
// names and instance locks.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>

#include "app/JournalRecorder.h"
#include "app/JournalWriter.h"
#include "app/RecoveryFolder.h"
#include "app/RecoveryJournal.h"
#include "app/RecoveryOffer.h"
#include "editor/MemoryBuffer.h"
#include "tests/file_test_support.h"

namespace ql {
namespace {

struct TempDir {
  std::string path;
  TempDir() {
    char name[] = "/tmp/ql_journal_XXXXXX";
    path = mkdtemp(name);
  }
  ~TempDir() { std::system(("rm -rf '" + path + "'").c_str()); }
};

JournalDocument Doc(const std::string& path = "") {
  JournalDocument d;
  d.path = path;
  if (!path.empty()) d.stamp = FileStamp{true, 7, 42, 1234567890123, 99};
  d.lineEnd = LineEnd::CrLf;
  d.encoding = FileEncoding{TextEncoding::Utf8, true};
  d.createdMs = 1700000000000;
  return d;
}

std::string Journal(const std::vector<JournalRecord>& records) {
  std::string out(kJournalMagic, sizeof kJournalMagic);
  for (const JournalRecord& r : records) out += FrameRecord(r);
  return out;
}

TEST(RecoveryJournal, ReadsBackDocumentTextEditsAndCaret) {
  const JournalContents c = ReadJournal(Journal({DocumentRecord(Doc("/home/u/a b.txt")), TextRecord("hello\r\nworld"),
                                                 EditRecord(5, 0, "!"), EditRecord(0, 1, "J"),
                                                 CaretRecord(3, 6, 1700000001000)}));
  ASSERT_TRUE(c.usable);
  EXPECT_TRUE(c.complete);
  EXPECT_EQ(c.text, "Jello!\r\nworld");
  EXPECT_EQ(c.document.path, "/home/u/a b.txt");
  EXPECT_EQ(c.document.stamp, Doc("x").stamp);
  EXPECT_EQ(c.document.lineEnd, LineEnd::CrLf);
  EXPECT_EQ(c.document.encoding, (FileEncoding{TextEncoding::Utf8, true}));
  EXPECT_EQ(c.anchor, 3);
  EXPECT_EQ(c.caret, 6);
  EXPECT_EQ(c.changedMs, 1700000001000);
  EXPECT_EQ(c.records, 5);
}

TEST(RecoveryJournal, TornTailKeepsEveryWholeRecordBeforeIt) {
  const std::vector<JournalRecord> records = {DocumentRecord(Doc()), TextRecord("abc"), EditRecord(3, 0, "def"),
                                              EditRecord(0, 1, "X")};
  const std::string whole = Journal(records);
  const std::size_t lastStart = whole.size() - FrameRecord(records.back()).size();
  for (std::size_t cut = lastStart; cut <= whole.size(); ++cut) {
    const JournalContents c = ReadJournal(std::string_view(whole).substr(0, cut));
    ASSERT_TRUE(c.usable) << cut;
    const bool atBoundary = cut == lastStart || cut == whole.size();
    EXPECT_EQ(c.complete, atBoundary) << cut;
    EXPECT_EQ(c.text, cut == whole.size() ? "Xbcdef" : "abcdef") << cut;
    EXPECT_EQ(c.goodBytes, cut == whole.size() ? whole.size() : lastStart) << cut;
  }
}

TEST(RecoveryJournal, DamagedOrMisfittingRecordStopsTheReading) {
  const std::string base = Journal({DocumentRecord(Doc()), TextRecord("abc")});
  struct Case {
    const char* name;
    std::string tail;
    const char* problem;
  };
  std::string flipped = FrameRecord(EditRecord(0, 0, "zz"));
  flipped[flipped.size() - 6] ^= 0x20;  // in the inserted bytes
  std::string longer = FrameRecord(EditRecord(0, 0, "zz"));
  longer[0] = 100;  // length beyond the file
  JournalRecord unknown = EditRecord(0, 0, "q");
  unknown.type = 'Q';
  const std::vector<Case> cases = {
      {"checksum", flipped, "a damaged record"},
      {"length", longer, "cut short"},
      {"edit past the end", FrameRecord(EditRecord(2, 5, "x")), "a record that does not fit"},
      {"negative position", FrameRecord(EditRecord(-1, 0, "x")), "a record that does not fit"},
      {"unknown type", FrameRecord(unknown), "a record that does not fit"},
  };
  for (const Case& k : cases) {
    const JournalContents c = ReadJournal(base + k.tail + FrameRecord(EditRecord(0, 0, ">")));
    EXPECT_TRUE(c.usable) << k.name;
    EXPECT_FALSE(c.complete) << k.name;
    EXPECT_EQ(c.text, "abc") << k.name;
    EXPECT_EQ(c.problem, k.problem) << k.name;
  }
}

TEST(RecoveryJournal, WithoutMagicDocumentOrTextNothingIsUsable) {
  EXPECT_FALSE(ReadJournal("").usable);
  EXPECT_FALSE(ReadJournal("QLJRNL\r\n").usable);
  EXPECT_FALSE(ReadJournal(Journal({DocumentRecord(Doc())})).usable);
  // An edit before any text does not fit.
  EXPECT_FALSE(ReadJournal(Journal({DocumentRecord(Doc()), EditRecord(0, 0, "a"), TextRecord("b")})).usable);
  JournalDocument bad = Doc();
  JournalRecord r = DocumentRecord(bad);
  r.head[0] = 9;  // unknown version
  EXPECT_FALSE(ReadJournal(Journal({r, TextRecord("b")})).usable);
}

TEST(RecoveryJournal, CaretIsClampedToTheText) {
  const JournalContents c =
      ReadJournal(Journal({DocumentRecord(Doc()), TextRecord("abc"), CaretRecord(-5, 99, 1)}));
  EXPECT_EQ(c.anchor, 0);
  EXPECT_EQ(c.caret, 3);
}

// ---- the recorder's batches through the writer ----

struct Recording {
  TempDir dir;
  MemoryBuffer buffer;
  JournalRecorder recorder{[this]() -> const MemoryBuffer& { return buffer; }};
  JournalWriter writer;
  std::string path;
  int replaces = 0;

  Recording() {
    path = dir.path + "/j.qjournal";
    buffer.AddListener(&recorder);
  }
  ~Recording() { buffer.RemoveListener(&recorder); }
  // As the window's timer does: slices of a snapshot until it is whole.
  void Flush() {
    do {
      JournalRecorder::Batch b = recorder.Take();
      Write(std::move(b));
    } while (recorder.Building());
    writer.Wait();
  }
  void Write(JournalRecorder::Batch b) {
    using Kind = JournalRecorder::Kind;
    if (b.records.empty()) return;
    switch (b.kind) {
      case Kind::Append: writer.Append(path, std::move(b.records)); break;
      case Kind::Replace: ++replaces; writer.Replace(path, std::move(b.records)); break;
      case Kind::Begin: writer.ReplacePiece(JournalWriter::Piece::Begin, path, std::move(b.records)); break;
      case Kind::More: writer.ReplacePiece(JournalWriter::Piece::More, path, std::move(b.records)); break;
      case Kind::Commit: ++replaces; writer.ReplacePiece(JournalWriter::Piece::Commit, path, std::move(b.records)); break;
    }
  }
  JournalContents Read() { return ReadJournalFile(path); }
};

TEST(JournalRecorder, EveryKindOfEditIsRecoveredExactly) {
  using Step = std::function<void(MemoryBuffer&)>;
  const std::vector<std::pair<const char*, std::vector<Step>>> cases = {
      {"typing", {[](MemoryBuffer& b) { b.TypeText("Hello", false); }, [](MemoryBuffer& b) { b.TypeText(" you", false); }}},
      {"overwrite", {[](MemoryBuffer& b) { b.SetSelection(1, 0); b.TypeText("XYZ", true); }}},
      {"replace and break", {[](MemoryBuffer& b) { b.SetSelection(2, 3); b.ReplaceSelection("a\nb\rc"); }}},
      {"undo redo", {[](MemoryBuffer& b) { b.TypeText("zz", false); }, [](MemoryBuffer& b) { b.Undo(); },
                     [](MemoryBuffer& b) { b.Undo(); }, [](MemoryBuffer& b) { b.Redo(); }}},
      {"edit block", {[](MemoryBuffer& b) {
         b.BeginEdit();
         b.ReplaceRange(0, 2, "<<");
         b.ReplaceRange(b.TextLength(), 0, ">>");
         b.EndEdit();
       }}},
      {"whole text", {[](MemoryBuffer& b) { b.SetText(std::string("new\r\ntext")); },
                      [](MemoryBuffer& b) { b.TypeText("!", false); }}},
  };
  for (const auto& c : cases) {
    Recording r;
    r.buffer.SetText(std::string("start of it\r\nsecond line\r\n"));
    r.recorder.Begin(Doc());
    r.buffer.TypeText("#", false);
    r.Flush();
    for (const Step& step : c.second) {
      step(r.buffer);
      r.Flush();
      const JournalContents got = r.Read();
      ASSERT_TRUE(got.usable) << c.first;
      EXPECT_TRUE(got.complete) << c.first;
      EXPECT_EQ(got.text, r.buffer.Text()) << c.first;
      EXPECT_EQ(got.anchor, r.buffer.Anchor()) << c.first;
      EXPECT_EQ(got.caret, r.buffer.CaretOffset()) << c.first;
    }
  }
}

TEST(JournalRecorder, RandomEditsBetweenRandomFlushesAgree) {
  Recording r;
  std::mt19937 rng(7);
  r.buffer.SetText(std::string("The quick brown fox\r\njumps over\r\nthe lazy dog\r\n"));
  r.recorder.Begin(Doc());
  const char* pieces[] = {"a", "bc", "\r\n", "word ", "", "x\ny"};
  for (int i = 0; i < 400; ++i) {
    const Offset len = r.buffer.TextLength();
    const Offset pos = static_cast<Offset>(rng() % (len + 1));
    switch (rng() % 4) {
      case 0: r.buffer.SetSelection(pos, 0); r.buffer.TypeText(pieces[rng() % 6][0] ? pieces[rng() % 6] : "k", false); break;
      case 1: r.buffer.ReplaceRange(pos, static_cast<Offset>(rng() % 5), pieces[rng() % 6]); break;
      case 2: r.buffer.Undo(); break;
      default: r.buffer.SetSelection(pos, static_cast<Offset>(rng() % 3)); break;
    }
    if (rng() % 7 == 0) {
      r.Flush();
      ASSERT_EQ(r.Read().text, r.buffer.Text()) << i;
    }
  }
  r.Flush();
  EXPECT_EQ(r.Read().text, r.buffer.Text());
}

TEST(JournalRecorder, JournalIsReplacedBySnapshotWhenItOutgrowsTheText) {
  Recording r;
  r.buffer.SetText(std::string(1000, 'a'));
  r.recorder.Begin(Doc());
  r.Flush();
  EXPECT_EQ(r.replaces, 1);
  for (int i = 0; i < 3000; ++i) {
    r.buffer.SetSelection(i % 900, 1);
    r.buffer.ReplaceSelection(std::string(100, 'b'));  // each edit its own record
    r.buffer.SetSelection(i % 900, 100);
    r.buffer.ReplaceSelection("a");
    if (i % 50 == 0) r.Flush();
  }
  r.Flush();
  EXPECT_GT(r.replaces, 1);
  // Never more than the limit and one batch over it.
  EXPECT_LE(qltest::ReadFile(r.path).size(), JournalRecorder::SnapshotLimit(1000) + 50 * 2 * 200);
  EXPECT_EQ(r.Read().text, r.buffer.Text());
}

TEST(JournalRecorder, HundredMebibyteDocumentJournalsBySnapshots) {
  Recording r;
  std::string text;
  text.reserve(100u << 20);
  while (text.size() + 64 < (100u << 20)) text += "A line of text for the journal of a big document here.\r\n";
  const std::size_t size = text.size();
  r.buffer.SetText(std::move(text));
  r.recorder.Begin(Doc("/big.txt"));
  r.buffer.SetSelection(size / 2, 0);
  r.buffer.TypeText("typed", false);
  r.Flush();
  r.buffer.TypeText(" more", false);
  r.Flush();
  EXPECT_EQ(r.replaces, 1);
  // Whole-text tools: each result is a snapshot, not an edit record beside the old text.
  for (int i = 0; i < 3; ++i) {
    r.buffer.SelectAll();
    r.buffer.ReplaceSelection(std::string(size, static_cast<char>('a' + i)));
    r.buffer.ClearUndo();
    r.Flush();
  }
  EXPECT_EQ(r.replaces, 4);
  const std::string bytes = qltest::ReadFile(r.path);
  EXPECT_LT(bytes.size(), size + 4096);
  const JournalContents c = ReadJournal(bytes);
  EXPECT_TRUE(c.complete);
  EXPECT_EQ(c.text.size(), size);
  EXPECT_EQ(c.text, r.buffer.Text());
}

TEST(JournalRecorder, EditsWhileABigSnapshotIsHandedOverInSlices) {
  struct Edit {
    const char* name;
    double at;  // where, as a share of the part handed over so far
    Offset removed;
    const char* text;
  };
  const std::vector<Edit> edits = {
      {"inside the part handed over", 0.5, 3, "abc"},
      {"at its very end", 1.0, 0, "end"},
      {"across its end", 0.999, 1 << 20, "across"},
      {"beyond it", 1.5, 10, "later"},
      {"at the start", 0.0, 0, "\r\n"},
  };
  for (const Edit& e : edits) {
    Recording r;
    std::string text;
    while (text.size() < (10u << 20)) text += "0123456789 slice text\r\n";
    r.buffer.SetText(std::move(text));
    r.recorder.Begin(Doc());
    r.Write(r.recorder.Take());  // the first slice only
    ASSERT_TRUE(r.recorder.Building());
    const auto pos = static_cast<Offset>(e.at * static_cast<double>(JournalRecorder::kSlice));
    r.buffer.ReplaceRange(pos, e.removed, e.text);
    r.buffer.SetSelection(pos, 2);
    r.Write(r.recorder.Take());  // the edit and the next slice
    r.buffer.ReplaceRange(0, 1, "#");
    r.Flush();
    EXPECT_FALSE(r.recorder.Building()) << e.name;
    const JournalContents c = r.Read();
    EXPECT_TRUE(c.complete) << e.name;
    EXPECT_TRUE(c.text == r.buffer.Text()) << e.name;
    EXPECT_EQ(c.caret, r.buffer.CaretOffset()) << e.name;
  }
}

TEST(JournalRecorder, OldJournalStaysWholeUntilTheNewSnapshotIsCommitted) {
  Recording r;
  r.buffer.SetText(std::string(9u << 20, 'x'));
  r.recorder.Begin(Doc());
  r.Flush();
  r.buffer.ReplaceRange(0, 1, "y");
  r.Flush();
  const std::string before = r.buffer.Text();
  // A whole-text edit starts a new snapshot; after its first slice the
  // journal on disk is still the old one, with everything up to then.
  r.buffer.SelectAll();
  r.buffer.ReplaceSelection(std::string(9u << 20, 'z'));
  r.Write(r.recorder.Take());
  r.writer.Wait();
  EXPECT_TRUE(r.Read().text == before);
  r.Flush();
  EXPECT_TRUE(r.Read().text == r.buffer.Text());
}

TEST(JournalWriter, FullDiskFailsOnceThenDropsWritesButStillRemoves) {
  TempDir dir;
  const std::string path = dir.path + "/j.qjournal";
  {
    JournalWriter w;
    w.Replace(path, {DocumentRecord(Doc()), TextRecord("abc")});
    w.Wait();
    EXPECT_FALSE(w.Failed());
    JournalWriter::SetSpaceLeftForTest(10);
    w.Append(path, {EditRecord(0, 0, std::string(100, 'x'))});
    w.Wait();
    JournalWriter::SetSpaceLeftForTest(-1);
    EXPECT_TRUE(w.Failed());
    EXPECT_NE(w.Error().find("No space left"), std::string::npos) << w.Error();
    w.Append(path, {EditRecord(0, 0, "y")});
    w.Wait();
    // What was whole before the failure still reads.
    EXPECT_EQ(ReadJournalFile(path).text, "abc");
    w.Remove(path);
    w.Wait();
  }
  EXPECT_NE(access(path.c_str(), F_OK), 0);
  EXPECT_NE(access((path + ".new").c_str(), F_OK), 0);
}

TEST(RecoveryFolder, FolderAndJournalsAreClosedToOthers) {
  TempDir dir;
  const std::string folder = dir.path + "/state/quillora/recovery";
  std::string error;
  ASSERT_TRUE(PrepareRecoveryFolder(folder, error)) << error;
  chmod(folder.c_str(), 0755);
  ASSERT_TRUE(PrepareRecoveryFolder(folder, error)) << error;  // tightened again
  struct stat st {};
  ASSERT_EQ(stat(folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  JournalWriter w;
  const std::string path = folder + "/" + JournalFileName("instance-1-2", 1);
  w.Replace(path, {DocumentRecord(Doc()), TextRecord("x")});
  w.Wait();
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  // A file where the folder should be: refused, with the reason.
  std::ofstream(dir.path + "/file") << "x";
  EXPECT_FALSE(PrepareRecoveryFolder(dir.path + "/file/recovery", error));
  EXPECT_NE(error.find("file"), std::string::npos);
}

TEST(RecoveryFolder, FolderFollowsXdgStateHome) {
  EXPECT_EQ(RecoveryFolderFor("/x/state", "/home/u"), "/x/state/quillora/recovery");
  EXPECT_EQ(RecoveryFolderFor("/x/state/", "/home/u"), "/x/state/quillora/recovery");
  EXPECT_EQ(RecoveryFolderFor("relative", "/home/u"), "/home/u/.local/state/quillora/recovery");
  EXPECT_EQ(RecoveryFolderFor(nullptr, "/home/u"), "/home/u/.local/state/quillora/recovery");
  EXPECT_EQ(RecoveryFolderFor("", "/home/u"), "/home/u/.local/state/quillora/recovery");
}

TEST(RecoveryFolder, JournalNames) {
  EXPECT_EQ(JournalFileName("instance-12-345", 3), "instance-12-345.3.qjournal");
  const auto n = ParseJournalFileName("instance-12-345.3.qjournal");
  ASSERT_TRUE(n);
  EXPECT_EQ(n->owner, "instance-12-345");
  EXPECT_EQ(n->number, 3);
  for (const char* bad : {"instance-12-345.qjournal", "instance-12-345.3.qjournal.new", "x-1-2.3.qjournal",
                          "instance-12-345.x.qjournal", "instance-12-345.1234567.qjournal", "instance-12-345.3.lock",
                          "../instance-1-2.1.qjournal"})
    EXPECT_FALSE(ParseJournalFileName(bad)) << bad;
}

TEST(RecoveryFolder, LocksTellRunningInstancesAndClaimsAreExclusive) {
  TempDir dir;
  {
    InstanceLock lock;
    ASSERT_TRUE(lock.Acquire(dir.path, "instance-5-6"));
    EXPECT_TRUE(InstanceLockHeld(dir.path, "instance-5-6"));
    InstanceLock second;
    EXPECT_FALSE(second.Acquire(dir.path, "instance-5-6"));
    EXPECT_FALSE(InstanceLockHeld(dir.path, "instance-7-8"));
  }
  // Gone with its holder (as with a killed process), the file left behind.
  EXPECT_FALSE(InstanceLockHeld(dir.path, "instance-5-6"));
  RemoveDeadLocks(dir.path);
  EXPECT_NE(access((dir.path + "/instance-5-6.lock").c_str(), F_OK), 0);

  std::ofstream(dir.path + "/" + JournalFileName("instance-5-6", 1)) << "j";
  const std::string claimed = ClaimJournal(dir.path, JournalFileName("instance-5-6", 1), "instance-9-9", 4);
  EXPECT_EQ(claimed, dir.path + "/instance-9-9.4.qjournal");
  EXPECT_EQ(ClaimJournal(dir.path, JournalFileName("instance-5-6", 1), "instance-3-3", 1), "");
  EXPECT_EQ(ListJournals(dir.path), std::vector<std::string>{"instance-9-9.4.qjournal"});
}

TEST(RecoveryOffer, BaseFileStates) {
  const JournalDocument named = Doc("/d/a.txt");
  FileStamp same = named.stamp;
  FileStamp changed = same;
  changed.mtimeNs += 1;
  FileStamp replaced = same;
  replaced.inode += 1;
  EXPECT_EQ(CompareBase(Doc(), FileStamp{}), BaseState::Untitled);
  EXPECT_EQ(CompareBase(named, same), BaseState::Same);
  EXPECT_EQ(CompareBase(named, changed), BaseState::Changed);
  EXPECT_EQ(CompareBase(named, replaced), BaseState::Changed);
  EXPECT_EQ(CompareBase(named, FileStamp{}), BaseState::Deleted);
  JournalDocument unknown = named;
  unknown.stamp = {};
  EXPECT_EQ(CompareBase(unknown, same), BaseState::Changed);
  EXPECT_NE(RecoveredStatus(named, BaseState::Changed, true).find("\"/d/a.txt\""), std::string::npos);
  EXPECT_NE(RecoveredStatus(named, BaseState::Same, false).find("cut short"), std::string::npos);
  const std::string q = RecoveryQuestion({{"/d/a.txt", "1/2/26 10:00", true}, {"", "", false}});
  EXPECT_NE(q.find("\"/d/a.txt\"  (last changed 1/2/26 10:00)"), std::string::npos);
  EXPECT_NE(q.find("Untitled  (cut short"), std::string::npos);
}

}  // namespace
}  // namespace ql
