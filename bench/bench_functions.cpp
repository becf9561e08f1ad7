// Throughput of the text functions on a whole file, each with the progress
// procedure attached as the dialog runs it:
//   bench_functions rot13|backward|hex|binary IN OUT
//   bench_functions htmlgen OUT MB      a page of about MB MiB of HTML
//   bench_functions htmlcolor IN        HTML tag coloring on the document model
// Timings go to stderr: read, operation, write and total milliseconds.
#include "bench/BenchSupport.h"
#include "editor/ColorRuns.h"
#include "editor/MemoryBuffer.h"
#include "functions/ColoringCommands.h"
#include "functions/Transforms.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int g_calls = 0;

// The window's host without a window: colors go to the model's runs.
class ModelHost : public ql::TextFunctionHost {
 public:
  ModelHost() { buffer.AddListener(&colors); }
  ~ModelHost() override { buffer.RemoveListener(&colors); }
  ql::MemoryBuffer buffer;
  ql::ColorRuns colors;
  int boxes = 0;
  ql::EditorBuffer& Buffer() override { return buffer; }
  void BeginBulk() override {}
  void EndBulk() override {}
  void TextChanged() override {}
  int Message(const std::string&, const std::string&, unsigned) override { return ++boxes, 7; }
  void ShowStatus(const std::string&) override {}
  void ShowProgress(const std::string&) override {}
  void CloseProgress() override {}
  ql::TProgressProc Progress() override { return [](int) { ++g_calls; }; }
  void CompletionSound() override {}
  void SetRangeColor(ql::Offset pos, ql::Offset length, std::uint32_t color) override {
    colors.SetColor(pos, length, color);
  }
  void BeginEditBlock() override { buffer.BeginEdit(); }
  void EndEditBlock() override { buffer.EndEdit(); }
};

// Lines of a real-looking page: tags with quoted and bare attribute values,
// text between them, entities, a script and a comment now and then.
std::string HtmlPage(std::size_t bytes) {
  std::string page = "<!DOCTYPE html>\r\n<html lang=\"en\">\r\n<head><meta charset=\"windows-1252\">"
                     "<title>Bench page</title></head>\r\n<body class=\"doc\">\r\n";
  unsigned n = 0;
  while (page.size() < bytes) {
    const std::string i = std::to_string(n++);
    page += "<div id=\"s" + i + "\" class=\"section item\" data-n=" + i + ">\r\n";
    page += "  <h2><a href=\"#s" + i + "\" title=\"Section " + i + "\">Section " + i + "</a></h2>\r\n";
    page += "  <p>Some text with <b>bold</b>, <i>italic</i> &amp; a <a href=page" + i +
            ".html>link</a> in it; caf\xE9 {braces} and a back\\slash.</p>\r\n";
    page += "  <img src=\"img/p" + i + ".png\" alt=\"Picture " + i + "\" width=64 height=48>\r\n";
    if (n % 16 == 0) page += "  <!-- comment " + i + " --><script>if (a < b && c > d) x = \"y\";</script>\r\n";
    page += "</div>\r\n";
  }
  return page + "</body>\r\n</html>\r\n";
}

}  // namespace

int main(int argc, char** argv) {
  using namespace bench;
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_functions rot13|backward|hex|binary IN OUT | htmlgen OUT MB | htmlcolor IN\n");
    return 2;
  }
  const std::string mode = argv[1];
  if (mode == "htmlgen") {
    const double mb = argc > 3 ? std::atof(argv[3]) : 10;
    return WriteWhole(argv[2], HtmlPage(static_cast<std::size_t>(mb * 1048576))) ? 0 : 1;
  }
  const auto start = Clock::now();
  std::string text;
  if (!bench::ReadMapped(argv[2], text)) {
    std::fprintf(stderr, "cannot read %s\n", argv[2]);
    return 1;
  }
  const double readMs = MsSince(start);
  const ql::TProgressProc progress = [](int) { ++g_calls; };
  if (mode == "htmlcolor") {
    ModelHost host;
    host.buffer.SetText(text);
    const auto opStart = Clock::now();
    ql::HtmlColoringCommand(host, ql::ColoringColors{});
    const double opMs = MsSince(opStart);
    const bool same = host.buffer.Text() == text;
    std::fprintf(stderr, "read_ms=%.1f op_ms=%.1f runs=%zu progress_calls=%d boxes=%d same_text=%d\n", readMs, opMs,
                 host.colors.RunCount(), g_calls, host.boxes, same ? 1 : 0);
    return same && host.boxes == 0 ? 0 : 1;
  }
  if (argc != 4) return 2;
  const auto opStart = Clock::now();
  std::string result;
  if (mode == "rot13") result = ql::Rot13Text(std::move(text), progress);
  else if (mode == "backward") result = ql::BackwardText(std::move(text), progress);
  else if (mode == "hex") result = ql::TextToHex(text, progress);
  else if (mode == "binary") result = ql::TextToBinary(text, progress);
  else return 2;
  const double opMs = MsSince(opStart);
  const auto writeStart = Clock::now();
  if (!WriteWhole(argv[3], result)) {
    std::fprintf(stderr, "cannot write %s\n", argv[3]);
    return 1;
  }
  const double writeMs = MsSince(writeStart);
  std::fprintf(stderr, "read_ms=%.1f op_ms=%.1f write_ms=%.1f total_ms=%.1f bytes=%zu progress_calls=%d\n", readMs,
               opMs, writeMs, MsSince(start), result.size(), g_calls);
  return 0;
}
