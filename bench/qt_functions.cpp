// HTML tag coloring through the main window (offscreen), as the menu item
// runs it: the page goes into the editor (set_ms), Function_Choice(2)
// colors it (op_ms), and the first screen is painted with the colors
// (paint_ms).
//   qt_functions PAGE
#include <QApplication>
#include <cstdio>
#include <string>

#include "app/qt/MainQuillora.h"
#include "bench/BenchSupport.h"
#include "editor/qt/EditorView.h"
#include "platform/Store.h"
#include "platform/qt/MessageBox.h"

using namespace bench;

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: qt_functions PAGE\n");
    return 2;
  }
  std::string text;
  if (!ReadWhole(argv[1], text)) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  int boxes = 0;
  ql::SetMsgBoxHook([&boxes](const std::string& text, const std::string& caption, unsigned) {
    // The preparation tells once that batch insertion is off for so many lines.
    if (caption != "To many lines!") ++boxes;
    std::fprintf(stderr, "box: %s: %s\n", caption.c_str(), text.c_str());
    return 6;
  });
  ql::MemoryStore store;
  ql::TFormQuillora form(store, {});
  form.Start();
  auto t = Clock::now();
  form.SetEditorText(text);
  const double setMs = MsSince(t);
  t = Clock::now();
  form.Function_Choice(2);
  const double opMs = MsSince(t);
  t = Clock::now();
  form.Editor()->RepaintNow();
  const double paintMs = MsSince(t);
  const bool same = form.EditorText() == text;
  std::printf("set_ms=%.1f op_ms=%.1f paint_ms=%.1f runs=%zu boxes=%d same_text=%d\n", setMs, opMs, paintMs,
              form.Editor()->Colors().RunCount(), boxes, same ? 1 : 0);
  form.SetModified(false);
  return same && boxes == 0 ? 0 : 1;
}
