#include "app/RecentList.h"

#include <algorithm>
#include <cstdio>

namespace ql {

namespace {

std::string DoubleAmpersands(const std::string& s) {
  std::string out;
  out.reserve(s.size() + 4);
  for (char c : s) {
    out += c;
    if (c == '&') out += '&';
  }
  return out;
}

std::string UpperHex(std::size_t n) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%zX", n);
  return buf;
}

std::string FileNamePart(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string GroupThousands(std::uint64_t n) {
  std::string digits = std::to_string(n);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

}  // namespace

void AddToRecent(std::vector<std::string>& list, const std::string& docFileName, int recentMax) {
  // Filtering instead of erasing while walking: the appended free slots are
  // never looked at again, so an empty name cannot make the walk run forever.
  const std::size_t before = list.size();
  list.erase(std::remove(list.begin(), list.end(), docFileName), list.end());
  list.resize(before);  // one free slot per removal
  // An empty name would put a free slot at the top; only the trim applies.
  if (!docFileName.empty()) list.insert(list.begin(), docFileName);
  const std::size_t max = static_cast<std::size_t>(std::max(recentMax, 0));
  if (list.size() > max) list.resize(max);
}

void RemoveObsolete(std::vector<std::string>& list,
                    const std::function<bool(const std::string&)>& isExistingFile) {
  // Same result as removing in place and examining the position again, but
  // a run of missing files cannot be skipped over.
  const std::size_t before = list.size();
  list.erase(std::remove_if(list.begin(), list.end(),
                            [&](const std::string& s) { return !s.empty() && !isExistingFile(s); }),
             list.end());
  list.resize(before);
}

void ClearRecent(std::vector<std::string>& list) {
  for (std::string& s : list) s.clear();
}

std::vector<RecentItem> BuildRecentItems(
    const std::vector<std::string>& list, int recentMax, const std::string& docFileName,
    const std::function<std::optional<std::int64_t>(const std::string&)>& fileSize) {
  std::vector<RecentItem> items;
  const std::size_t count = std::min(static_cast<std::size_t>(std::max(recentMax, 0)), list.size());
  for (std::size_t i = 0; i < count; ++i) {
    const std::string& s = list[i];
    if (s.empty() || s == docFileName) continue;
    RecentItem item;
    item.tag = static_cast<int>(i);
    item.path = s;
    item.caption = "&" + UpperHex(items.size()) + "  " + DoubleAmpersands(s);
    const std::optional<std::int64_t> size = fileSize(s);
    if (size) {
      item.hint = "File: \"" + FileNamePart(s) + "\"     Size: " + FormatKb(*size) + " kb";
      item.enabled = true;
    } else {
      item.hint = "File not found: \"" + s + "\"";
      item.enabled = false;
    }
    items.push_back(std::move(item));
  }
  return items;
}

std::string FormatKb(std::int64_t bytes) {
  // bytes / 1024 has at most ten decimals, so exact integer arithmetic gives
  // the four-decimal rounding (half away from zero) without float error.
  const bool negative = bytes < 0;
  const std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(bytes) : static_cast<std::uint64_t>(bytes);
  std::uint64_t whole = magnitude / 1024;
  const std::uint64_t scaled = (magnitude % 1024) * 10000;
  std::uint64_t frac = scaled / 1024;
  if ((scaled % 1024) * 2 >= 1024) ++frac;
  if (frac == 10000) {
    frac = 0;
    ++whole;
  }
  char decimals[8];
  std::snprintf(decimals, sizeof decimals, "%04u", static_cast<unsigned>(frac));
  const bool zero = whole == 0 && frac == 0;
  return std::string(negative && !zero ? "-" : "") + GroupThousands(whole) + "." + decimals;
}

}  // namespace ql
