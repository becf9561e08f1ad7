// A gap buffer: one array with a hole at the last edit point.
//
// Elements before the hole sit at [0, gapStart_), elements after it at
// [gapStart_ + gapLength_, storage end). An edit first moves the hole to its
// position (copying only the elements between the old and the new place),
// then fills or widens it, so a run of edits at one place costs O(1) each,
// amortised over the growth of the storage. The document text uses it for
// bytes (stored in a std::string, so a text read elsewhere can be adopted
// without a copy), the line index for line starts.
#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ql {

template <class T, class Storage = std::vector<T>>
class BasicGapBuffer {
 public:
  std::size_t Size() const { return storage_.size() - gapLength_; }
  bool Empty() const { return Size() == 0; }

  const T& operator[](std::size_t i) const {
    assert(i < Size());
    return storage_[i < gapStart_ ? i : i + gapLength_];
  }
  T& operator[](std::size_t i) {
    assert(i < Size());
    return storage_[i < gapStart_ ? i : i + gapLength_];
  }

  void Clear() {
    storage_.clear();
    gapStart_ = gapLength_ = 0;
  }

  // Replaces the whole content; keeps some room at the end for the first edits.
  void Assign(const T* data, std::size_t n) {
    Storage fresh;
    fresh.reserve(n + Room(n));
    fresh.assign(data, data + n);
    fresh.resize(fresh.capacity());
    storage_.swap(fresh);
    gapStart_ = n;
    gapLength_ = storage_.size() - n;
  }

  // Takes data as the whole content without copying it; its spare capacity
  // becomes the gap.
  void Adopt(Storage&& data) {
    const std::size_t n = data.size();
    storage_ = std::move(data);
    storage_.resize(std::max(storage_.capacity(), n + kMinGap));
    gapStart_ = n;
    gapLength_ = storage_.size() - n;
  }

  // Gives the whole content away without copying it (the gap is closed
  // first) and leaves the buffer empty.
  Storage Release() {
    MoveGap(Size());
    storage_.resize(Size());
    Storage out = std::move(storage_);
    Clear();
    return out;
  }

  // Room kept after a whole-content load: enough for a long session of
  // typing without ever holding a second large block.
  static std::size_t Room(std::size_t n) { return std::max<std::size_t>(kMinGap, std::min<std::size_t>(n / 8, (1u << 16) + n / 64)); }

  // [pos, pos + n) as one contiguous run; moves the gap out of the way
  // (the shorter way) when it lies inside. Valid until the next change.
  const T* Contiguous(std::size_t pos, std::size_t n) {
    assert(pos + n <= Size());
    if (pos < gapStart_ && pos + n > gapStart_) {
      if (gapStart_ - pos <= pos + n - gapStart_)
        MoveGap(pos);
      else
        MoveGap(pos + n);
    }
    return storage_.data() + (pos < gapStart_ ? pos : pos + gapLength_);
  }

  // [pos, pos + n) if it lies on one side of the gap, else null.
  const T* TryContiguous(std::size_t pos, std::size_t n) const {
    assert(pos + n <= Size());
    if (pos + n <= gapStart_) return storage_.data() + pos;
    if (pos >= gapStart_) return storage_.data() + pos + gapLength_;
    return nullptr;
  }

  // Calls f(pointer, count) on [pos, pos + n) in at most two runs, one on
  // each side of the gap, without moving anything.
  template <class F>
  void ForEachRun(std::size_t pos, std::size_t n, F&& f) {
    assert(pos + n <= Size());
    if (pos < gapStart_) {
      const std::size_t k = std::min(n, gapStart_ - pos);
      if (k) f(storage_.data() + pos, k);
      pos += k;
      n -= k;
    }
    if (n) f(storage_.data() + pos + gapLength_, n);
  }

  void Insert(std::size_t pos, const T* data, std::size_t n) {
    assert(pos <= Size());
    if (n == 0) return;
    Prepare(pos, n);
    std::copy(data, data + n, storage_.begin() + gapStart_);
    gapStart_ += n;
    gapLength_ -= n;
  }
  void Insert(std::size_t pos, const T& value) { Insert(pos, &value, 1); }

  void Erase(std::size_t pos, std::size_t n) {
    assert(pos + n <= Size());
    if (n == 0) return;
    MoveGap(pos);
    gapLength_ += n;
  }

  // Copies [pos, pos + n) to dest.
  void CopyOut(std::size_t pos, std::size_t n, T* dest) const {
    assert(pos + n <= Size());
    const std::size_t end = pos + n;
    if (pos < gapStart_) {
      const std::size_t before = std::min(end, gapStart_);
      dest = std::copy(storage_.begin() + pos, storage_.begin() + before, dest);
      pos = before;
    }
    if (pos < end)
      std::copy(storage_.begin() + pos + gapLength_, storage_.begin() + end + gapLength_, dest);
  }

  // Appends [pos, pos + n) to out (a std::string or std::vector) with at
  // most two bulk copies.
  template <class Container>
  void AppendTo(Container& out, std::size_t pos, std::size_t n) const {
    assert(pos + n <= Size());
    const std::size_t end = pos + n;
    if (pos < gapStart_) {
      const std::size_t before = std::min(end, gapStart_);
      out.insert(out.end(), storage_.data() + pos, storage_.data() + before);
      pos = before;
    }
    if (pos < end)
      out.insert(out.end(), storage_.data() + pos + gapLength_, storage_.data() + end + gapLength_);
  }

  // Elements copied so far to move the gap; growing the storage is not
  // counted (amortised O(1) per element).
  std::uint64_t MovedElements() const { return moved_; }

 private:
  static constexpr std::size_t kMinGap = 16;

  void MoveGap(std::size_t pos) {
    if (pos < gapStart_) {
      // Elements [pos, gapStart_) move to the far side of the gap.
      std::copy_backward(storage_.begin() + pos, storage_.begin() + gapStart_,
                         storage_.begin() + gapStart_ + gapLength_);
      moved_ += gapStart_ - pos;
    } else if (pos > gapStart_) {
      std::copy(storage_.begin() + gapStart_ + gapLength_, storage_.begin() + pos + gapLength_,
                storage_.begin() + gapStart_);
      moved_ += pos - gapStart_;
    }
    gapStart_ = pos;
  }

  // Puts the gap at pos with room for at least n elements.
  void Prepare(std::size_t pos, std::size_t n) {
    if (gapLength_ >= n) {
      MoveGap(pos);
      return;
    }
    // Grow geometrically (doubling while small, an eighth when large); the gap
    // ends up at pos during the copy itself.
    const std::size_t size = Size();
    const std::size_t factor = storage_.size() < (std::size_t{1} << 24) ? storage_.size() : storage_.size() / 8;
    const std::size_t capacity = std::max({size + n + kMinGap, storage_.size() + factor, size + kMinGap});
    Storage grown(capacity, T());
    CopyOut(0, pos, grown.data());
    const std::size_t newGap = capacity - size;
    CopyOut(pos, size - pos, grown.data() + pos + newGap);
    storage_.swap(grown);
    gapStart_ = pos;
    gapLength_ = newGap;
  }

  Storage storage_;
  std::size_t gapStart_ = 0;
  std::size_t gapLength_ = 0;
  std::uint64_t moved_ = 0;
};

extern template class BasicGapBuffer<char, std::string>;
extern template class BasicGapBuffer<std::int64_t>;

// The document's bytes.
using GapBuffer = BasicGapBuffer<char, std::string>;

}  // namespace ql
