// The instance command message between running copies of the program.
// A client sends a 4-byte little-endian signed command; the instance answers
// with an 8-byte little-endian signed result. Each instance listens on a
// socket file named "instance-<pid>-<start stamp>", where the stamp is a
// monotonic clock reading taken at start, so the newest instance sorts first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ql {

constexpr std::size_t kInstanceCommandSize = 4;
constexpr std::size_t kInstanceReplySize = 8;

std::string EncodeInstanceCommand(std::int32_t command);
// nullopt unless exactly kInstanceCommandSize bytes.
std::optional<std::int32_t> DecodeInstanceCommand(std::string_view bytes);
std::string EncodeInstanceReply(std::int64_t result);
// nullopt unless exactly kInstanceReplySize bytes.
std::optional<std::int64_t> DecodeInstanceReply(std::string_view bytes);

struct InstanceSocketName {
  std::int64_t pid = 0;
  std::uint64_t stamp = 0;
};

std::string InstanceSocketFileName(std::int64_t pid, std::uint64_t stamp);
// nullopt for any name that is not exactly "instance-<digits>-<digits>".
std::optional<InstanceSocketName> ParseInstanceSocketName(std::string_view fileName);

// The instance socket names among fileNames, newest start stamp first,
// leaving out other files and those of process ownPid.
std::vector<std::string> InstancesNewestFirst(const std::vector<std::string>& fileNames,
                                              std::int64_t ownPid);

}  // namespace ql
