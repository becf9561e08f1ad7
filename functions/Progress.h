// Progress of a long text function, in whole percent.
#pragma once

#include <cstdint>
#include <functional>

namespace ql {

// Called with the percentage done (0..100). May be empty.
using TProgressProc = std::function<void(int percent)>;

// Follows a loop over `total` items and calls the progress procedure only
// when the whole percentage changes, so a 100 MB loop pays one compare per
// item and at most about a hundred calls.
class ProgressTicker {
 public:
  ProgressTicker(const TProgressProc& progress, std::uint64_t total)
      : progress_(progress), total_(total) {
    next_ = progress_ && total_ ? Threshold(1) : UINT64_MAX;
  }

  // `done` items of `total` are finished.
  void Step(std::uint64_t done) {
    if (done >= next_) Report(done);
  }

 private:
  // Smallest count of items that gives `percent`.
  std::uint64_t Threshold(int percent) const {
    const unsigned __int128 t = static_cast<unsigned __int128>(total_) * percent;
    return static_cast<std::uint64_t>((t + 99) / 100);
  }

  void Report(std::uint64_t done) {
    const int percent = done >= total_
        ? 100
        : static_cast<int>(static_cast<unsigned __int128>(done) * 100 / total_);
    if (percent != last_) {
      last_ = percent;
      progress_(percent);
    }
    next_ = percent >= 100 ? UINT64_MAX : Threshold(percent + 1);
  }

  const TProgressProc& progress_;
  std::uint64_t total_;
  std::uint64_t next_;
  int last_ = 0;
};

}  // namespace ql
