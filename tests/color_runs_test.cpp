// Color runs against a per-byte array of attributes, under random setting
// and random edits of the document they follow.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "editor/ColorRuns.h"
#include "editor/MemoryBuffer.h"
#include "tests/buffer_cases.h"

using namespace ql;
using namespace ql::buffer_cases;

namespace {

bool Same(const CharAttributes& a, const CharAttributes& b) {
  return a.color == b.color && a.fontName == b.fontName && a.fontSize == b.fontSize;
}

// One entry per byte; -1 is the default, else an index into styles.
struct Reference {
  std::vector<int> byStyle;
  std::vector<CharAttributes> styles;
  CharAttributes def;

  const CharAttributes& At(std::size_t i) const { return byStyle[i] < 0 ? def : styles[static_cast<std::size_t>(byStyle[i])]; }
  void Put(std::size_t i, const CharAttributes& a) {
    styles.push_back(a);
    byStyle[i] = static_cast<int>(styles.size() - 1);
  }
  // Inserted text takes the attributes of the byte before it when that byte
  // was given some.
  void Replace(std::size_t pos, std::size_t removed, std::size_t inserted) {
    byStyle.erase(byStyle.begin() + static_cast<std::ptrdiff_t>(pos), byStyle.begin() + static_cast<std::ptrdiff_t>(pos + removed));
    const int fill = pos > 0 ? byStyle[pos - 1] : -1;
    byStyle.insert(byStyle.begin() + static_cast<std::ptrdiff_t>(pos), inserted, fill);
  }
};

TEST(ColorRuns, SetAndReadExamples) {
  ColorRuns runs;
  runs.SetColor(2, 4, 0x0000FF);         // [2, 6) red
  runs.SetFont(4, 4, "Arial", 12);       // [4, 8) Arial 12, keeping red on [4, 6)
  EXPECT_EQ(runs.At(1).color, runs.Default().color);
  EXPECT_EQ(runs.At(3).color, 0x0000FFu);
  EXPECT_EQ(runs.At(3).fontName, "Courier New");
  EXPECT_EQ(runs.At(5).fontName, "Arial");
  EXPECT_EQ(runs.At(5).color, 0x0000FFu);
  EXPECT_EQ(runs.At(7).color, runs.Default().color);

  const ColorRuns::RangeAttributes red = runs.Read(2, 4);
  EXPECT_TRUE(red.sameColor);
  EXPECT_FALSE(red.sameFontName);
  const ColorRuns::RangeAttributes arial = runs.Read(4, 4);
  EXPECT_TRUE(arial.sameFontName);
  EXPECT_TRUE(arial.sameFontSize);
  EXPECT_EQ(arial.value.fontSize, 12);
  EXPECT_FALSE(arial.sameColor);
  EXPECT_EQ(runs.RunsIn(0, 100).size(), 3u);  // red, red Arial, Arial

  // Setting a range to what it already has merges neighbouring runs.
  runs.SetColor(6, 2, 0x0000FF);
  runs.SetFont(2, 2, "Arial", 12);
  EXPECT_EQ(runs.RunCount(), 1u);
}

TEST(ColorRuns, MoveWithEdits) {
  MemoryBuffer doc;
  doc.SetText("0123456789");
  ColorRuns runs;
  doc.AddListener(&runs);
  runs.SetColor(3, 3, 0xFF);  // "345"
  doc.ReplaceRange(4, 0, "ab");  // inside: the run grows
  EXPECT_EQ(runs.RunsIn(0, 100).front().start, 3);
  EXPECT_EQ(runs.RunsIn(0, 100).front().end, 8);
  doc.ReplaceRange(8, 0, "c");  // at its end: grows too, as typing after colored text
  EXPECT_EQ(runs.RunsIn(0, 100).front().end, 9);
  doc.ReplaceRange(3, 0, "d");  // at its start: pushed on, the new text plain
  EXPECT_EQ(runs.RunsIn(0, 100).front().start, 4);
  doc.ReplaceRange(0, 6, "");  // deleting into it shrinks it
  EXPECT_EQ(runs.RunsIn(0, 100).front().start, 0);
  EXPECT_EQ(runs.RunsIn(0, 100).front().end, 4);
  doc.SetText("fresh");  // a new text has no runs
  EXPECT_EQ(runs.RunCount(), 0u);
  doc.RemoveListener(&runs);
}

// Every change the document reports, for the reference to replay.
struct Recorder : BufferListener {
  struct Change {
    Offset pos, removed, inserted;
  };
  std::vector<Change> changes;
  void TextReplaced(Offset pos, Offset removed, Offset inserted, Offset, Offset, Offset) override {
    changes.push_back({pos, removed, inserted});
  }
};

class ColorRunsRandom : public ::testing::TestWithParam<unsigned> {};

TEST_P(ColorRunsRandom, AgainstPerByteReference) {
  std::mt19937 rng(GetParam());
  const std::uint32_t colors[] = {0x0000FF, 0x00FF00, 0xFF0000, 0x80000008u};
  const char* const fonts[] = {"Courier New", "Arial", "Terminal"};
  MemoryBuffer doc;
  doc.SetText(std::string(50, 'a'));
  ColorRuns runs;
  doc.AddListener(&runs);
  Recorder recorder;
  doc.AddListener(&recorder);
  Reference ref{std::vector<int>(50, -1), {}, runs.Default()};
  for (int step = 0; step < 3000; ++step) {
    const std::string at = "step " + std::to_string(step);
    const std::string model = doc.Text();
    const Offset n = static_cast<Offset>(model.size());
    const int op = std::uniform_int_distribution<int>(0, 5)(rng);
    const Offset pos = std::uniform_int_distribution<Offset>(0, n)(rng);
    const Offset len = std::uniform_int_distribution<Offset>(0, std::min<Offset>(12, n - pos))(rng);
    if (op == 0) {
      const std::uint32_t c = colors[rng() % 4];
      runs.SetColor(pos, len, c);
      for (Offset i = pos; i < pos + len; ++i) {
        CharAttributes a = ref.At(static_cast<std::size_t>(i));
        a.color = c;
        ref.Put(static_cast<std::size_t>(i), a);
      }
    } else if (op == 1) {
      const char* f = fonts[rng() % 3];
      const int size = 8 + static_cast<int>(rng() % 3);
      runs.SetFont(pos, len, f, size);
      for (Offset i = pos; i < pos + len; ++i) {
        CharAttributes a = ref.At(static_cast<std::size_t>(i));
        a.fontName = f;
        a.fontSize = size;
        ref.Put(static_cast<std::size_t>(i), a);
      }
    } else if (op == 2 && doc.CanUndo()) {
      doc.Undo();  // undone edits move the runs like any other
    } else {
      const Offset a = Boundary(model, pos), e = Boundary(model, a + len);
      doc.ReplaceRange(a, e - a, RandomText(rng, 4, true));
    }
    for (const Recorder::Change& c : recorder.changes)
      ref.Replace(static_cast<std::size_t>(c.pos), static_cast<std::size_t>(c.removed), static_cast<std::size_t>(c.inserted));
    recorder.changes.clear();
    ASSERT_EQ(ref.byStyle.size(), static_cast<std::size_t>(doc.TextLength())) << at;
    // Every byte, and the runs' own shape: sorted, apart, never empty.
    for (std::size_t i = 0; i < ref.byStyle.size(); ++i) ASSERT_TRUE(Same(runs.At(static_cast<Offset>(i)), ref.At(i))) << at << " byte " << i;
    const std::vector<ColorRuns::Run> all = runs.RunsIn(0, doc.TextLength());
    for (std::size_t k = 0; k < all.size(); ++k) {
      ASSERT_LT(all[k].start, all[k].end) << at;
      if (k) {
        ASSERT_LE(all[k - 1].end, all[k].start) << at;
      }
    }
    // What a range reads as.
    const Offset rp = std::uniform_int_distribution<Offset>(0, doc.TextLength())(rng);
    const Offset rl = std::uniform_int_distribution<Offset>(0, doc.TextLength() - rp)(rng);
    const ColorRuns::RangeAttributes got = runs.Read(rp, rl);
    if (rp < doc.TextLength()) {
      bool color = true, name = true, size = true;
      const CharAttributes& first = ref.At(static_cast<std::size_t>(rp));
      for (Offset i = rp; i < rp + rl; ++i) {
        const CharAttributes& c = ref.At(static_cast<std::size_t>(i));
        color = color && c.color == first.color;
        name = name && c.fontName == first.fontName;
        size = size && c.fontSize == first.fontSize;
      }
      ASSERT_TRUE(Same(got.value, first)) << at;
      ASSERT_EQ(got.sameColor, color) << at;
      ASSERT_EQ(got.sameFontName, name) << at;
      ASSERT_EQ(got.sameFontSize, size) << at;
    }
  }
  doc.RemoveListener(&runs);
  doc.RemoveListener(&recorder);
}

INSTANTIATE_TEST_SUITE_P(Seeds, ColorRunsRandom, ::testing::Values(8080u, 1u, 77u));

}  // namespace
