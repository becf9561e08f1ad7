// Display attributes of ranges of the text: color (0x00BBGGRR) and font name
// and size. The coloring tools set them; the view paints with them. They
// never reach a saved file, which always gets the plain bytes.
//
// Only ranges that were given attributes are kept, as sorted runs that do
// not overlap; everything else has the default attributes. Runs move with
// edits: text inserted inside a run or right at its end takes the run's
// attributes (it grows), text inserted elsewhere has the default, deleted
// text takes its part of the runs with it. Replacing the whole text (as
// SetText does) therefore leaves no run behind.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "editor/EditorBuffer.h"
#include "editor/MemoryBuffer.h"

namespace ql {

class ColorRuns : public BufferListener {
 public:
  struct Run {
    Offset start = 0;
    Offset end = 0;
    CharAttributes attributes;
  };
  // What a range has: the attributes of its first character, and which of
  // them are the same throughout.
  struct RangeAttributes {
    CharAttributes value;
    bool sameColor = true;
    bool sameFontName = true;
    bool sameFontSize = true;
  };

  const CharAttributes& Default() const { return default_; }
  void SetDefault(const CharAttributes& attributes) { default_ = attributes; }

  // Set for [pos, pos + length): everything, the color only, or the font only.
  void Set(Offset pos, Offset length, const CharAttributes& attributes);
  void SetColor(Offset pos, Offset length, std::uint32_t color);
  void SetFont(Offset pos, Offset length, const std::string& name, int size);
  void Clear() {
    runs_.clear();
    step_ = 0;
    delta_ = 0;
  }

  CharAttributes At(Offset pos) const;
  RangeAttributes Read(Offset pos, Offset length) const;
  // The kept runs that overlap [pos, pos + length), clipped to it; the
  // gaps between them have the default.
  std::vector<Run> RunsIn(Offset pos, Offset length) const;
  std::size_t RunCount() const { return runs_.size(); }

  void TextReplaced(Offset pos, Offset removedLength, Offset insertedLength, Offset firstLine,
                    Offset removedBreaks, Offset insertedBreaks) override;

 private:
  struct Stored {
    Offset start;
    Offset end;
    std::uint32_t style;
  };
  void Modify(Offset pos, Offset length, const std::function<CharAttributes(const CharAttributes&)>& change);
  std::uint32_t StyleOf(const CharAttributes& attributes);
  const CharAttributes& Style(std::uint32_t style) const { return styles_[style]; }
  // A run at its real place.
  Stored Get(std::size_t i) const;
  // Gives runs before `to` their real place (and those from `to` on the
  // pending shift instead).
  void Settle(std::size_t to);
  // First run that ends after pos.
  std::size_t FirstEndingAfter(Offset pos) const;
  void MergeAround(std::size_t from, std::size_t to);

  CharAttributes default_{"Courier New", 10, 0x80000008u};
  std::vector<CharAttributes> styles_;  // each distinct attribute set once
  std::vector<Stored> runs_;
  // Runs from step_ on are stored delta_ before their real place: an edit
  // adds its change of length here instead of moving every later run.
  std::size_t step_ = 0;
  Offset delta_ = 0;
};

}  // namespace ql
