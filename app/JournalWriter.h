// Writes recovery journals on a thread of its own, so neither typing nor
// saving ever waits for the disk. Jobs run in the order they were queued;
// each ends with the data on the disk (fdatasync), so a power cut loses at
// most what was still queued.
//
// The first failure (full disk, no permission) is kept: from then on
// writes are dropped, removals still run.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/RecoveryJournal.h"

namespace ql {

class JournalWriter {
 public:
  JournalWriter();
  ~JournalWriter();  // finishes what is queued
  JournalWriter(const JournalWriter&) = delete;
  JournalWriter& operator=(const JournalWriter&) = delete;

  // The whole journal anew: magic and records into a temporary file beside
  // path (mode 0600), synced, then renamed over path.
  void Replace(const std::string& path, std::vector<JournalRecord> records);
  // The same in pieces (a big snapshot copied a slice at a time): the
  // temporary file is begun, added to, and renamed over path at the commit.
  // Until then path keeps the journal it had.
  enum class Piece { Begin, More, Commit };
  void ReplacePiece(Piece piece, const std::string& path, std::vector<JournalRecord> records);
  // Records added at the end of path (as last replaced).
  void Append(const std::string& path, std::vector<JournalRecord> records);
  void Remove(const std::string& path);
  // Until every job queued so far is done.
  void Wait();

  bool Failed() const;
  std::string Error() const;
  // Jobs done (tests wait for the disk without sleeping).
  std::uint64_t Done() const;

  // Tests: writes fail as on a full disk once this many more bytes were
  // written (negative: never).
  static void SetSpaceLeftForTest(std::int64_t bytes);

 private:
  struct Job {
    enum Kind { Begin, More, Commit, Replace, Append, Remove } kind;
    std::string path;
    std::vector<JournalRecord> records;
  };
  void Run();
  void Do(Job& job);
  bool WriteAll(int fd, const char* data, std::size_t size);
  bool WriteRecords(int fd, const std::vector<JournalRecord>& records);
  void Fail(const std::string& what, int error);
  void CloseFile();

  mutable std::mutex mutex_;
  std::condition_variable wake_, idle_;
  std::deque<Job> jobs_;
  bool busy_ = false;
  bool stop_ = false;
  bool failed_ = false;
  std::string error_;
  std::uint64_t done_ = 0;
  // Writer thread only: the journal kept open for appends.
  int fd_ = -1;
  std::string fdPath_;
  int newFd_ = -1;  // the temporary file of a replacement under way
  std::string newPath_;
  void CloseNew(bool remove);
  void Commit(const std::string& path);
  std::thread thread_;
};

}  // namespace ql
