// Times the document's file path on its own:
//   qt_files FILE open   reads FILE as a document and shows it in the editor
//                        widget (offscreen), as File > Open does;
//   qt_files FILE save   reads FILE once (not timed), then times turning the
//                        text into the file's bytes and the safe save to FILE.out.
// Prints one line of key=value figures for run.sh; ms is the timed part.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/DocumentFile.h"
#include "editor/qt/EditorView.h"

namespace {

double NowMs() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

int Open(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ql::EditorView widget;
  widget.resize(1000, 700);
  widget.show();
  ql::EditorView& buffer = widget;

  const double t0 = NowMs();
  const ql::LoadedDocument doc = ql::ReadDocument(argv[1]);
  if (doc.status != ql::LoadedDocument::Ok) {
    std::fprintf(stderr, "qt_files: cannot read %s (status %d)\n", argv[1], static_cast<int>(doc.status));
    return 1;
  }
  buffer.SetText(doc.text);
  app.processEvents();  // the first screen is laid out and painted
  const double ms = NowMs() - t0;

  std::printf("ms=%.1f length=%lld file=%lld\n", ms, static_cast<long long>(buffer.TextLength()),
              static_cast<long long>(doc.fileSize));
  return 0;
}

int Save(const char* path) {
  const ql::LoadedDocument doc = ql::ReadDocument(path);
  if (doc.status != ql::LoadedDocument::Ok) {
    std::fprintf(stderr, "qt_files: cannot read %s (status %d)\n", path, static_cast<int>(doc.status));
    return 1;
  }
  const std::string target = std::string(path) + ".out";

  const double t0 = NowMs();
  const std::string bytes = ql::DocumentBytes(doc.text, doc.style);
  const ql::SaveResult saved = ql::SaveFileSafely(target, bytes);
  const double ms = NowMs() - t0;

  if (!saved.ok) {
    std::fprintf(stderr, "qt_files: cannot save %s: %s\n", target.c_str(), saved.error.c_str());
    return 1;
  }
  std::printf("ms=%.1f bytes=%zu\n", ms, bytes.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || (std::strcmp(argv[2], "open") != 0 && std::strcmp(argv[2], "save") != 0)) {
    std::fprintf(stderr, "usage: qt_files FILE open|save\n");
    return 2;
  }
  return std::strcmp(argv[2], "open") == 0 ? Open(argc, argv) : Save(argv[1]);
}
