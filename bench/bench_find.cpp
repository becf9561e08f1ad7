// Find All and Replace All through the search engine on the in-memory
// document, the way the dialog runs them:
//   bench_find FILE
// loads FILE, counts "Old" (Find All, case-sensitive, from the start), then
// replaces every "Old" by "New" without prompting and writes the document
// to FILE.out. Prints one line of key=value figures for run.sh.
#include <chrono>
#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "app/MemoryBuffer.h"
#include "tools/FindReplace.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool ReadWhole(const std::string& path, std::string& data) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  struct stat st;
  if (fstat(fileno(f), &st) != 0) {
    std::fclose(f);
    return false;
  }
  data.resize(static_cast<std::size_t>(st.st_size));
  const std::size_t got = std::fread(&data[0], 1, data.size(), f);
  std::fclose(f);
  data.resize(got);
  return true;
}

bool WriteWhole(const std::string& path, const std::string& data) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  return std::fclose(f) == 0 && ok;
}

// Answers every box with OK and keeps the last text, which holds the count.
class QuietHost : public ql::SearchHost {
 public:
  explicit QuietHost(ql::EditorBuffer& buffer) : buffer_(buffer) {}
  ql::EditorBuffer& Buffer() override { return buffer_; }
  void BeginBulk() override { bulk_ = true; }
  void EndBulk() override { bulk_ = false; }
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
  ql::EditorBuffer& buffer_;
  bool bulk_ = false;
};

// The number in "... n times."
long long CountIn(const std::string& message) {
  const std::size_t end = message.rfind(" times.");
  if (end == std::string::npos || end == 0) return -1;
  const std::size_t start = message.rfind(' ', end - 1);
  if (start == std::string::npos) return -1;
  return std::stoll(message.substr(start + 1, end - start - 1));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: bench_find FILE\n");
    return 2;
  }
  const std::string path = argv[1];
  const auto start = Clock::now();
  std::string text;
  if (!ReadWhole(path, text)) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 1;
  }
  const double readMs = MsSince(start);

  ql::MemoryBuffer buffer;
  auto t = Clock::now();
  buffer.SetText(text);
  const double setMs = MsSince(t);
  std::string().swap(text);

  QuietHost host(buffer);
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
  if (!WriteWhole(path + ".out", buffer.Text())) {
    std::fprintf(stderr, "cannot write %s.out\n", path.c_str());
    return 1;
  }
  const double writeMs = MsSince(t);

  std::printf(
      "replace_ms=%.1f findall_ms=%.1f count=%lld replaced=%lld read_ms=%.1f set_ms=%.1f write_ms=%.1f "
      "total_ms=%.1f\n",
      replaceMs, findAllMs, count, replaced, readMs, setMs, writeMs, MsSince(start));
  return 0;
}
