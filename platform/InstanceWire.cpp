#include "platform/InstanceWire.h"

#include <algorithm>
#include <type_traits>
#include <utility>

namespace ql {

namespace {

template <typename T>
std::string EncodeLE(T value) {
  using U = std::make_unsigned_t<T>;
  U bits = static_cast<U>(value);
  std::string out(sizeof(T), '\0');
  for (std::size_t i = 0; i < sizeof(T); ++i) out[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
  return out;
}

template <typename T>
std::optional<T> DecodeLE(std::string_view bytes) {
  using U = std::make_unsigned_t<T>;
  if (bytes.size() != sizeof(T)) return std::nullopt;
  U bits = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i)
    bits |= static_cast<U>(static_cast<unsigned char>(bytes[i])) << (8 * i);
  return static_cast<T>(bits);
}

// Decimal digits only, 1..18 of them, so the value always fits.
std::optional<std::uint64_t> ParseDigits(std::string_view s) {
  if (s.empty() || s.size() > 18) return std::nullopt;
  std::uint64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return v;
}

constexpr std::string_view kPrefix = "instance-";

}  // namespace

std::string EncodeInstanceCommand(std::int32_t command) { return EncodeLE(command); }
std::optional<std::int32_t> DecodeInstanceCommand(std::string_view bytes) {
  return DecodeLE<std::int32_t>(bytes);
}
std::string EncodeInstanceReply(std::int64_t result) { return EncodeLE(result); }
std::optional<std::int64_t> DecodeInstanceReply(std::string_view bytes) {
  return DecodeLE<std::int64_t>(bytes);
}

std::string InstanceSocketFileName(std::int64_t pid, std::uint64_t stamp) {
  return std::string(kPrefix) + std::to_string(pid) + "-" + std::to_string(stamp);
}

std::optional<InstanceSocketName> ParseInstanceSocketName(std::string_view fileName) {
  if (fileName.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
  std::string_view rest = fileName.substr(kPrefix.size());
  const std::size_t dash = rest.find('-');
  if (dash == std::string_view::npos) return std::nullopt;
  auto pid = ParseDigits(rest.substr(0, dash));
  auto stamp = ParseDigits(rest.substr(dash + 1));
  if (!pid || !stamp) return std::nullopt;
  return InstanceSocketName{static_cast<std::int64_t>(*pid), *stamp};
}

std::vector<std::string> InstancesNewestFirst(const std::vector<std::string>& fileNames,
                                              std::int64_t ownPid) {
  std::vector<std::pair<InstanceSocketName, std::string>> found;
  for (const auto& name : fileNames) {
    auto parsed = ParseInstanceSocketName(name);
    if (parsed && parsed->pid != ownPid) found.emplace_back(*parsed, name);
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    if (a.first.stamp != b.first.stamp) return a.first.stamp > b.first.stamp;
    return a.second > b.second;
  });
  std::vector<std::string> out;
  for (auto& f : found) out.push_back(std::move(f.second));
  return out;
}

}  // namespace ql
