// Find All and Replace All through the search engine on the editor's Qt
// buffer (offscreen), as bench_find does on the in-memory document:
//   qt_find FILE
// loads FILE into the editor (timed apart as set_ms), counts "Old" (Find
// All, case-sensitive, from the start), replaces every "Old" by "New"
// without prompting and writes the editor's text to FILE.out. Prints one
// line of key=value figures for run.sh.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "app/qt/EditorWidget.h"
#include "app/qt/QtEditorBuffer.h"
#include "tools/FindReplace.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The window's busy bracket as far as the widget is concerned: no repaints
// while the engine works. Every box is answered with OK; the last text
// holds the count.
class QuietHost : public ql::SearchHost {
 public:
  QuietHost(ql::EditorWidget& widget, ql::EditorBuffer& buffer) : widget_(widget), buffer_(buffer) {}
  ql::EditorBuffer& Buffer() override { return buffer_; }
  void BeginBulk() override {
    widget_.setUpdatesEnabled(false);
    bulk_ = true;
  }
  void EndBulk() override {
    widget_.setUpdatesEnabled(true);
    bulk_ = false;
  }
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
  ql::EditorWidget& widget_;
  ql::EditorBuffer& buffer_;
  bool bulk_ = false;
};

long long CountIn(const std::string& message) {
  const std::size_t end = message.rfind(" times.");
  if (end == std::string::npos || end == 0) return -1;
  const std::size_t start = message.rfind(' ', end - 1);
  if (start == std::string::npos) return -1;
  return std::stoll(message.substr(start + 1, end - start - 1));
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: qt_find FILE\n");
    return 2;
  }
  const std::string path = argv[1];
  std::string text;
  {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", path.c_str());
      return 1;
    }
    std::stringstream ss;
    ss << in.rdbuf();
    text = ss.str();
  }

  ql::EditorWidget widget;
  widget.resize(1000, 700);
  widget.show();
  ql::QtEditorBuffer buffer(&widget);

  auto t = Clock::now();
  buffer.SetText(text);
  const double setMs = MsSince(t);
  std::string().swap(text);

  QuietHost host(widget, buffer);
  ql::SearchEngine engine(host);
  ql::SearchState& state = engine.State();
  state.findText = "Old";
  state.replaceText = "New";
  state.caseSensitive = true;
  state.wholeWord = false;
  state.prompt = false;

  t = Clock::now();
  engine.Press(ql::SearchButton::FindAll, ql::SearchOrigin::FromStart);
  const double findAllMs = MsSince(t);
  const long long count = CountIn(host.last);

  t = Clock::now();
  engine.Press(ql::SearchButton::ReplaceAll, ql::SearchOrigin::FromStart);
  const double replaceMs = MsSince(t);
  const long long replaced = CountIn(host.last);

  t = Clock::now();
  const std::string result = buffer.Text();
  std::ofstream out(path + ".out", std::ios::binary);
  out.write(result.data(), static_cast<std::streamsize>(result.size()));
  out.close();
  const double writeMs = MsSince(t);
  if (!out) {
    std::fprintf(stderr, "cannot write %s.out\n", path.c_str());
    return 1;
  }

  std::printf("set_ms=%.1f replace_ms=%.1f findall_ms=%.1f count=%lld replaced=%lld write_ms=%.1f\n", setMs,
              replaceMs, findAllMs, count, replaced, writeMs);
  return 0;
}
