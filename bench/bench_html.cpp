// Throughput of the HTML tools on whole pages:
//   bench_html page OUT MB          writes a page of about MB MiB
//   bench_html links OUT N          writes a page with N links
//   bench_html remove IN OUT        tag removal (every tag, no questions)
//   bench_html minify IN OUT        the minifier with both options
//   bench_html analyze IN           the analyzer's rows; prints the number of links
// Timings go to stderr as read_ms, op_ms, write_ms, total_ms.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/BenchSupport.h"
#include "dialogs/Analyze.h"
#include "tools/HtmlMini.h"

namespace {

// Hand-made HTML: indented lines, CR LF breaks, tags with attributes, links,
// entities and a few tabs; no "<" inside a tag.
std::string MakePage(std::size_t bytes) {
  std::string out = "<HTML>\r\n<HEAD>\r\n  <TITLE>Bench page</TITLE>\r\n</HEAD>\r\n<BODY BGCOLOR=#FFFFFF>\r\n";
  std::uint32_t seed = 2026;
  static const char* const words[] = {"quill", "page", "the", "of", "Norvane", "editor", "&amp;", "text",
                                      "\xE9t\xE9", "link", "ten", "a"};
  while (out.size() < bytes) {
    seed = seed * 1103515245u + 12345u;
    const unsigned r = seed >> 16;
    out += std::string(2 * (r % 4), ' ');
    if (r % 7 == 0) out += "\t\t";
    switch (r % 5) {
      case 0: out += "<P ALIGN=\"left\">"; break;
      case 1: out += "<A HREF=\"page" + std::to_string(r % 100) + ".htm\">"; break;
      case 2: out += "<TD  WIDTH=\"50%\">"; break;
      default: break;
    }
    for (unsigned w = 0; w < 6 + r % 6; ++w) {
      out += words[(r >> w) % 12];
      out += (w == 2 && r % 3 == 0) ? "  " : " ";
    }
    if (r % 5 == 1) out += "</A>";
    if (r % 5 == 0) out += "<BR>";
    out += "\r\n";
  }
  out += "</BODY>\r\n</HTML>\r\n";
  return out;
}

std::string MakeLinks(long n) {
  std::string out = "<HTML><TITLE>Links</TITLE>\r\n";
  for (long i = 0; i < n; ++i) {
    out += "<LI><A HREF=\"https://example.org/p" + std::to_string(i) + ".htm\">Page <B>" + std::to_string(i) +
           "</B></A> and <abbr>x</abbr>\r\n";
  }
  return out + "</HTML>\r\n";
}

}  // namespace

int main(int argc, char** argv) {
  using namespace bench;
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_html page|links|remove|minify|analyze ...\n");
    return 2;
  }
  const std::string mode = argv[1];
  if (mode == "page" && argc == 4) return WriteWhole(argv[2], MakePage(std::strtoul(argv[3], nullptr, 10) << 20)) ? 0 : 1;
  if (mode == "links" && argc == 4) return WriteWhole(argv[2], MakeLinks(std::strtol(argv[3], nullptr, 10))) ? 0 : 1;

  const auto start = Clock::now();
  std::string text;
  if (!ReadWhole(argv[2], text)) {
    std::fprintf(stderr, "cannot read %s\n", argv[2]);
    return 1;
  }
  const double readMs = MsSince(start);
  const auto opStart = Clock::now();
  std::string result;
  if (mode == "remove" && argc == 4) {
    result = ql::RemoveTags(text).text;
  } else if (mode == "minify" && argc == 4) {
    result = ql::MinimizeHtml(std::move(text), true, true);
  } else if (mode == "analyze") {
    // Every row as the window gets them; the links are web links, so no
    // file is looked at.
    const std::size_t anchors = ql::AnalyzePage("/bench/page.htm", "", text, 0).links.size();
    const double opMs = MsSince(opStart);
    std::printf("%zu\n", anchors);
    std::fprintf(stderr, "read_ms=%.1f op_ms=%.1f total_ms=%.1f\n", readMs, opMs, MsSince(start));
    return 0;
  } else {
    return 2;
  }
  const double opMs = MsSince(opStart);
  const auto writeStart = Clock::now();
  if (!WriteWhole(argv[3], result)) return 1;
  std::fprintf(stderr, "read_ms=%.1f op_ms=%.1f write_ms=%.1f total_ms=%.1f bytes=%zu\n", readMs, opMs,
               MsSince(writeStart), MsSince(start), result.size());
  return 0;
}
