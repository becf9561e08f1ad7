// Shared pieces of the bench programs: timing, whole-file I/O and a search
// host that answers every question without a user.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tools/FindReplace.h"

namespace bench {

using Clock = std::chrono::steady_clock;

inline double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A big buffer asks for huge pages before its first touch, as the program's
// own file reading does.
inline void AdviseHugePages(std::string& buffer) {
  const long page = ::sysconf(_SC_PAGESIZE);
  if (buffer.capacity() < (std::size_t(8) << 20) || page <= 0) return;
  const auto p = static_cast<std::uintptr_t>(page);
  const auto first = reinterpret_cast<std::uintptr_t>(buffer.data());
  const std::uintptr_t from = (first + p - 1) & ~(p - 1), to = (first + buffer.capacity()) & ~(p - 1);
  if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

// room(size): spare capacity to reserve beyond the file's bytes.
inline bool ReadWhole(const std::string& path, std::string& data,
                      std::size_t (*room)(std::size_t) = nullptr) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  struct stat st;
  if (fstat(fileno(f), &st) != 0) {
    std::fclose(f);
    return false;
  }
  const std::size_t size = static_cast<std::size_t>(st.st_size);
  data.reserve(size + (room ? room(size) : 0));
  AdviseHugePages(data);
  data.resize(size);
  const std::size_t got = std::fread(&data[0], 1, data.size(), f);
  std::fclose(f);
  data.resize(got);
  return true;
}

// The file copied straight into the string from the page cache: one pass,
// no zero-filling first.
inline bool ReadMapped(const char* path, std::string& text) {
  const int fd = ::open(path, O_RDONLY);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return false;
  }
  const auto size = static_cast<std::size_t>(st.st_size);
  text.clear();
  if (size == 0) {
    ::close(fd);
    return true;
  }
  void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
  ::close(fd);
  if (map == MAP_FAILED) return false;
  text.reserve(size);
  AdviseHugePages(text);
  text.assign(static_cast<const char*>(map), size);
  ::munmap(map, size);
  return true;
}

inline bool WriteWhole(const std::string& path, const std::string& data) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  return std::fclose(f) == 0 && ok;
}

// Answers every box with OK and every confirmation with Yes; keeps the last
// message, which holds the count. onBulk hears the busy bracket open (true)
// and close (false).
class QuietHost : public ql::SearchHost {
 public:
  explicit QuietHost(ql::EditorBuffer& buffer, std::function<void(bool)> onBulk = {})
      : buffer_(buffer), onBulk_(std::move(onBulk)) {}
  ql::EditorBuffer& Buffer() override { return buffer_; }
  void BeginBulk() override { Bulk(true); }
  void EndBulk() override { Bulk(false); }
  bool InBulk() const override { return bulk_; }
  void TextChanged() override {}
  int Message(const std::string& text, const std::string&, unsigned) override {
    last = text;
    return 1;
  }
  ql::ConfirmAnswer Confirm(const std::string&, const std::string&, bool) override {
    return ql::ConfirmAnswer::Yes;
  }
  std::string last;

 private:
  void Bulk(bool on) {
    bulk_ = on;
    if (onBulk_) onBulk_(on);
  }
  ql::EditorBuffer& buffer_;
  std::function<void(bool)> onBulk_;
  bool bulk_ = false;
};

// The number in "... n times.", -1 when there is none.
inline long long CountIn(const std::string& message) {
  const std::size_t end = message.rfind(" times.");
  if (end == std::string::npos || end == 0) return -1;
  const std::size_t start = message.rfind(' ', end - 1);
  if (start == std::string::npos) return -1;
  return std::stoll(message.substr(start + 1, end - start - 1));
}

struct FindReplaceTimes {
  double findAllMs = 0, replaceMs = 0;
  long long count = -1, replaced = -1;
};

// Find All, then Replace All without prompting, of "Old" by "New" over the
// whole document, as the dialog runs them.
inline FindReplaceTimes RunFindAndReplace(QuietHost& host) {
  ql::SearchEngine engine(host);
  ql::SearchState& state = engine.State();
  state.findText = "Old";
  state.replaceText = "New";
  state.caseSensitive = true;
  state.wholeWord = false;
  state.prompt = false;
  FindReplaceTimes times;
  auto t = Clock::now();
  engine.Press(ql::SearchButton::FindAll, ql::SearchOrigin::FromStart);
  times.findAllMs = MsSince(t);
  times.count = CountIn(host.last);
  t = Clock::now();
  engine.Press(ql::SearchButton::ReplaceAll, ql::SearchOrigin::FromStart);
  times.replaceMs = MsSince(t);
  times.replaced = CountIn(host.last);
  return times;
}

}  // namespace bench
