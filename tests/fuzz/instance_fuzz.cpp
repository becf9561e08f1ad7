// libFuzzer target for the instance messages and socket names: anything a
// stranger writes to the socket or leaves in the folder decodes to a value
// that encodes back to the same value, or is refused.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/InstanceWire.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (const auto c = ql::DecodeInstanceCommand(input))
    if (ql::DecodeInstanceCommand(ql::EncodeInstanceCommand(*c)) != c) std::abort();
  if (const auto r = ql::DecodeInstanceReply(input))
    if (ql::DecodeInstanceReply(ql::EncodeInstanceReply(*r)) != r) std::abort();
  if (const auto n = ql::ParseInstanceSocketName(input)) {
    const auto again = ql::ParseInstanceSocketName(ql::InstanceSocketFileName(n->pid, n->stamp));
    if (!again || again->pid != n->pid || again->stamp != n->stamp) std::abort();
  }
  return 0;
}
