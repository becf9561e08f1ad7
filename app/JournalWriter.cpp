#include "app/JournalWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace ql {

namespace {

std::atomic<std::int64_t> spaceLeft{-1};

std::string DirOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

void SyncDir(const std::string& path) {
  const int fd = ::open(DirOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

void JournalWriter::SetSpaceLeftForTest(std::int64_t bytes) { spaceLeft = bytes; }

JournalWriter::JournalWriter() : thread_([this] { Run(); }) {}

JournalWriter::~JournalWriter() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.join();
  CloseFile();
  CloseNew(true);  // never committed: the journal keeps what it had
}

void JournalWriter::Replace(const std::string& path, std::vector<JournalRecord> records) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_.push_back(Job{Job::Replace, path, std::move(records)});
  }
  wake_.notify_one();
}

void JournalWriter::ReplacePiece(Piece piece, const std::string& path, std::vector<JournalRecord> records) {
  const Job::Kind kind = piece == Piece::Begin ? Job::Begin : piece == Piece::More ? Job::More : Job::Commit;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_.push_back(Job{kind, path, std::move(records)});
  }
  wake_.notify_one();
}

void JournalWriter::Append(const std::string& path, std::vector<JournalRecord> records) {
  if (records.empty()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_.push_back(Job{Job::Append, path, std::move(records)});
  }
  wake_.notify_one();
}

void JournalWriter::Remove(const std::string& path) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_.push_back(Job{Job::Remove, path, {}});
  }
  wake_.notify_one();
}

void JournalWriter::Wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  idle_.wait(lock, [this] { return jobs_.empty() && !busy_; });
}

bool JournalWriter::Failed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return failed_;
}

std::string JournalWriter::Error() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return error_;
}

std::uint64_t JournalWriter::Done() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return done_;
}

void JournalWriter::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
    if (jobs_.empty()) {
      if (stop_) return;
      continue;
    }
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    busy_ = true;
    const bool skip = failed_ && job.kind != Job::Remove;
    lock.unlock();
    if (!skip) Do(job);
    job.records.clear();  // a big snapshot is freed here, not on the window's thread
    lock.lock();
    busy_ = false;
    ++done_;
    if (jobs_.empty()) idle_.notify_all();
  }
}

void JournalWriter::Fail(const std::string& what, int error) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failed_) return;
  failed_ = true;
  error_ = what + ": " + std::strerror(error);
}

void JournalWriter::CloseNew(bool remove) {
  if (newFd_ >= 0) ::close(newFd_);
  if (remove && !newPath_.empty()) ::unlink(newPath_.c_str());
  newFd_ = -1;
  newPath_.clear();
}

void JournalWriter::CloseFile() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  fdPath_.clear();
}

bool JournalWriter::WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    std::size_t chunk = size;
    const std::int64_t left = spaceLeft.load();
    if (left >= 0) {
      if (left == 0) {
        errno = ENOSPC;
        return false;
      }
      chunk = std::min<std::size_t>(chunk, static_cast<std::size_t>(left));
    }
    const ssize_t n = ::write(fd, data, chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      return false;
    }
    if (left >= 0) spaceLeft -= n;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool JournalWriter::WriteRecords(int fd, const std::vector<JournalRecord>& records) {
  // Small records go out together; a big text is written from its own string.
  std::string pending;
  for (const JournalRecord& r : records) {
    pending += FrameHead(r);
    if (r.body.size() > (1u << 16)) {
      if (!WriteAll(fd, pending.data(), pending.size()) || !WriteAll(fd, r.body.data(), r.body.size()))
        return false;
      pending.clear();
    } else {
      pending += r.body;
    }
    pending += FrameTail(r);
  }
  return WriteAll(fd, pending.data(), pending.size());
}

void JournalWriter::Commit(const std::string& path) {
  if (::fdatasync(newFd_) != 0 || ::rename(newPath_.c_str(), path.c_str()) != 0) {
    Fail("The recovery journal could not be written", errno);
    CloseNew(true);
    return;
  }
  SyncDir(path);
  // The descriptor now names the journal itself: later appends go there.
  if (fdPath_ == path) CloseFile();
  CloseFile();
  fd_ = newFd_;
  fdPath_ = path;
  newFd_ = -1;
  newPath_.clear();
}

void JournalWriter::Do(Job& job) {
  switch (job.kind) {
    case Job::Remove: {
      if (fdPath_ == job.path) CloseFile();
      if (newPath_ == job.path + ".new") CloseNew(true);
      ::unlink(job.path.c_str());
      ::unlink((job.path + ".new").c_str());
      SyncDir(job.path);
      return;
    }
    case Job::Begin:
    case Job::Replace: {
      CloseNew(true);
      const std::string temp = job.path + ".new";
      ::unlink(temp.c_str());
      const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
      if (fd < 0) {
        Fail("The recovery journal could not be written", errno);
        return;
      }
      newFd_ = fd;
      newPath_ = temp;
      if (!WriteAll(fd, kJournalMagic, sizeof kJournalMagic) || !WriteRecords(fd, job.records)) {
        Fail("The recovery journal could not be written", errno);
        CloseNew(true);
        return;
      }
      if (job.kind == Job::Replace) Commit(job.path);
      return;
    }
    case Job::More:
    case Job::Commit: {
      if (newFd_ < 0 || newPath_ != job.path + ".new") return;  // begun for another journal, or failed
      if (!WriteRecords(newFd_, job.records)) {
        Fail("The recovery journal could not be written", errno);
        CloseNew(true);
        return;
      }
      if (job.kind == Job::Commit) Commit(job.path);
      return;
    }
    case Job::Append: {
      if (fdPath_ != job.path) {
        CloseFile();
        const int fd = ::open(job.path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
          Fail("The recovery journal could not be written", errno);
          return;
        }
        fd_ = fd;
        fdPath_ = job.path;
      }
      ::lseek(fd_, 0, SEEK_END);
      if (!WriteRecords(fd_, job.records) || ::fdatasync(fd_) != 0)
        Fail("The recovery journal could not be written", errno);
      return;
    }
  }
}

}  // namespace ql
