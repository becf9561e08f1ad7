#include "tools/Insertions.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/Codepage.h"

namespace ql {

const char* const kAsciiPrompt = "Separate with a non-number";

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

AsciiPlan PlanAsciiCodes(const std::string& input) {
  // Items: runs of digits; a quote starts a stretch up to its partner that
  // stays inside the item.
  std::vector<std::string> items;
  std::string item;
  for (std::size_t i = 0; i < input.size(); ++i) {
    const char c = input[i];
    if (c == '"' || c == '\'') {
      const std::size_t end = input.find(c, i + 1);
      const std::size_t stop = end == std::string::npos ? input.size() - 1 : end;
      item.append(input, i, stop - i + 1);
      i = stop;
    } else if (IsDigit(c)) {
      item += c;
    } else if (!item.empty()) {
      items.push_back(std::move(item));
      item.clear();
    }
  }
  if (!item.empty()) items.push_back(std::move(item));

  AsciiPlan plan;
  int k = 0;
  for (const std::string& text : items) {
    ++k;
    long long value = 0;
    bool readable = true;  // a decimal that fits 32 bits
    for (char c : text) {
      if (!IsDigit(c)) readable = false;
      if (readable) value = value * 10 + (c - '0');
      if (value > 2147483647LL) readable = false;
      if (!readable) break;
    }
    if (!readable) {
      plan.stopped = true;
      for (char c : input)
        if (!IsDigit(c) && c != '+' && c != '-') {
          plan.invalid = c;
          break;
        }
      break;
    }
    if (value >= 256)
      plan.steps.push_back({true, k});
    else
      plan.steps.push_back({false, static_cast<int>(value)});
  }
  return plan;
}

void InsertText(TextToolHost& host, const std::string& text) {
  if (text.empty()) return;
  host.Buffer().ReplaceSelection(text);
  host.TextChanged();
}

void AsciiCharsCommand(TextToolHost& host, const std::string& input) {
  if (input == kAsciiPrompt) return;
  const AsciiPlan plan = PlanAsciiCodes(input);
  // Each character goes in before the next box, as the user reads them.
  for (const AsciiStep& step : plan.steps) {
    if (step.outOfRange) {
      host.Message("The " + OrdinalSuffix(step.value, true) +
                       " number you entered is either to high or to low!\nIt must be between (0..255)",
                   "Not within range!", 16);
    } else if (step.value != 0) {
      InsertText(host, std::string(1, static_cast<char>(step.value)));
    }
  }
  if (plan.stopped && plan.invalid)
    host.Message("The character " + DecodeToUtf8(Codepage::Cp1252, std::string(1, *plan.invalid)) +
                     " is not valid in a integer value!",
                 "Error in character number!", 16);
}

std::string VisibleAsciiBlock() {
  std::string out;
  out.reserve(224 + 12);
  for (int c = 32; c < 256; ++c) {
    if (c % 32 == 0 && c != 32) out += "\r\n";
    out += static_cast<char>(c);
  }
  return out;
}

namespace {

std::vector<std::string> SplitDir(const std::string& dir) {
  std::vector<std::string> parts;
  std::size_t i = 0;
  while (i <= dir.size()) {
    const std::size_t slash = std::min(dir.find('/', i), dir.size());
    if (slash > i) parts.push_back(dir.substr(i, slash - i));  // empty names are no steps
    i = slash + 1;
  }
  return parts;
}

}  // namespace

std::string RelativeFileName(const std::string& docFileName, const std::string& file) {
  const std::size_t docSlash = docFileName.rfind('/');
  const std::size_t fileSlash = file.rfind('/');
  // Only two absolute paths can be related.
  if (docSlash == std::string::npos || fileSlash == std::string::npos || docFileName[0] != '/' ||
      file[0] != '/')
    return file;
  const std::vector<std::string> docDir = SplitDir(docFileName.substr(0, docSlash));
  const std::vector<std::string> fileDir = SplitDir(file.substr(0, fileSlash));
  std::size_t same = 0;
  while (same < docDir.size() && same < fileDir.size() && docDir[same] == fileDir[same]) ++same;
  std::string out;
  for (std::size_t i = same; i < docDir.size(); ++i) out += "../";
  for (std::size_t i = same; i < fileDir.size(); ++i) out += fileDir[i] + "/";
  return out + file.substr(fileSlash + 1);
}

std::string FileNameLines(const std::vector<std::string>& files, FileNameForm form,
                          const std::string& docFileName) {
  std::string out;
  for (const std::string& f : files) {
    // This system has no 8.3 names: the short form is the full path.
    const std::string name = form == FileNameForm::Relative ? RelativeFileName(docFileName, f) : f;
    out += EncodeFromUtf8(Codepage::Cp1252, name);
    out += "\r\n";
  }
  return out;
}

ReadResult ReadTextFile(const std::string& path, std::string& text) {
  if (!IsExistingFile(path)) return ReadResult::Missing;
  // Not blocking: a pipe or device in the file's place must not hang the
  // window; only regular files are read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return ReadResult::Unreadable;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return ReadResult::Unreadable;
  }
  std::string out;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return ReadResult::Unreadable;
    }
    if (n == 0) break;
    const void* eof = std::memchr(buffer, 26, static_cast<std::size_t>(n));
    if (eof) {
      out.append(buffer, static_cast<const char*>(eof) - buffer);
      break;
    }
    out.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  text = std::move(out);
  return ReadResult::Ok;
}

void TextFromFileCommand(TextToolHost& host, const std::string& path) {
  std::string text;
  switch (ReadTextFile(path, text)) {
    case ReadResult::Missing:
      host.Message("The file doesn't exist!\n\"" + path + "\"", "File doesn't exist!", 16);
      return;
    case ReadResult::Unreadable:
      host.Message("The file couldn't be read!\n\"" + path + "\"", "Couldn't read file!", 16);
      return;
    case ReadResult::Ok:
      break;
  }
  // An empty file replaces the selection with nothing.
  host.Buffer().ReplaceSelection(text);
  host.TextChanged();
}

std::string HexColorCode(Color color) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "%02X%02X%02X", color & 0xFF, (color >> 8) & 0xFF,
                (color >> 16) & 0xFF);
  return buffer;
}

std::optional<Color> ParseHexColor(const std::string& text) { return ParseHexRGB(text, 6); }

HexColorStart ReadHexSelection(const std::string& selection) {
  HexColorStart start;
  if (selection.size() != 6 && selection.size() != 7) return start;
  start.editing = true;
  start.hash = selection[0] == '#';
  const std::string digits = start.hash ? selection.substr(1) : selection;
  if (auto color = ParseHexColor(digits)) start.initial = *color;
  return start;
}

}  // namespace ql
