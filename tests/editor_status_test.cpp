#include <gtest/gtest.h>

#include "app/EditorStatus.h"
#include "editor/MemoryBuffer.h"

using namespace ql;

namespace {

TEST(EditorStatus, CaretPanels) {
  struct Case {
    std::string text;
    Offset caret;
    std::array<std::string, 4> want;
  };
  const Case cases[] = {
      {"", 0, {"Line: 1", "Col: 1", "0.00%", "Pos: 0"}},
      // Seven lines ending with a break, caret after it: beyond the counted lines.
      {"1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n", 21, {"Line: 8", "Col: 1", "100.00%", "Pos: 21"}},
      {"a\r\nb\r\nc", 4, {"Line: 2", "Col: 2", "33.33%", "Pos: 4"}},
  };
  for (const Case& c : cases) {
    MemoryBuffer b;
    b.SetText(c.text);
    b.SetSelection(c.caret, 0);
    EXPECT_EQ(CaretPanels(b), c.want) << c.text;
  }
}

TEST(EditorStatus, CaretIsTheSelectionsEnd) {
  MemoryBuffer b;
  b.SetText("ab\r\ncd");
  b.SetSelection(1, 4);
  EXPECT_EQ(CaretPanels(b)[0], "Line: 2");
  EXPECT_EQ(CaretPanels(b)[3], "Pos: 1");
  EXPECT_EQ(SelectionStatus(b), "\"4\" characters selected");
}

TEST(EditorStatus, AutoIndentInsertion) {
  struct Case {
    std::string line;
    Offset column;
    std::string want;
  };
  const Case cases[] = {
      {"\t  abc", 1, "\r\n\t"}, {"\t  abc", 6, "\r\n\t  "}, {"    ", 2, "\r\n  "},
      {"    ", 4, "\r\n    "}, {"abc", 3, "\r\n"},         {"", 0, "\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(AutoIndentInsertion(c.line, c.column), c.want) << c.line;
}

TEST(EditorStatus, PasteButtonHint) {
  const std::string base = "Paste from clipboard (Ctrl+V)";
  EXPECT_EQ(PasteButtonHint("").tooltip, base);
  const Hint exact = PasteButtonHint(std::string(255, 'y'));
  EXPECT_EQ(exact.tooltip, base + "\nContents of Clipboard:\n\n\"" + std::string(255, 'y') + "\"");
  EXPECT_EQ(exact.status, base);
  const Hint longer = PasteButtonHint(std::string(256, 'y'));
  EXPECT_EQ(longer.tooltip,
            base + "\nPreview of clipboard (1..255):\n\n\"" + std::string(255, 'y') + "...\"");
  // The preview is shown as UTF-8.
  EXPECT_EQ(PasteButtonHint("\x80").tooltip, base + "\nContents of Clipboard:\n\n\"\xE2\x82\xAC\"");
}

TEST(EditorStatus, SplitHint) {
  EXPECT_EQ(SplitHint("File Info (Alt+Enter)|Info on the file").tooltip, "File Info (Alt+Enter)");
  EXPECT_EQ(SplitHint("File Info (Alt+Enter)|Info on the file").status, "Info on the file");
  EXPECT_EQ(SplitHint("Undo (Ctrl+Z)").status, "Undo (Ctrl+Z)");
}

}  // namespace
