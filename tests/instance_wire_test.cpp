#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "platform/InstanceWire.h"

using namespace ql;

namespace {

std::string Bytes(std::initializer_list<unsigned> list) {
  std::string s;
  for (unsigned b : list) s += static_cast<char>(b);
  return s;
}

TEST(InstanceWire, CommandBytesAreLittleEndian) {
  const struct {
    std::int32_t value;
    std::string bytes;
  } table[] = {
      {1, Bytes({1, 0, 0, 0})},
      {10, Bytes({10, 0, 0, 0})},
      {0x12345678, Bytes({0x78, 0x56, 0x34, 0x12})},
      {-1, Bytes({0xFF, 0xFF, 0xFF, 0xFF})},
      {std::numeric_limits<std::int32_t>::min(), Bytes({0, 0, 0, 0x80})},
  };
  for (const auto& row : table) {
    EXPECT_EQ(EncodeInstanceCommand(row.value), row.bytes);
    EXPECT_EQ(DecodeInstanceCommand(row.bytes), row.value);
  }
}

TEST(InstanceWire, ReplyBytesAreLittleEndian) {
  const struct {
    std::int64_t value;
    std::string bytes;
  } table[] = {
      {42, Bytes({42, 0, 0, 0, 0, 0, 0, 0})},
      {0x0102030405060708LL, Bytes({8, 7, 6, 5, 4, 3, 2, 1})},
      {-2, Bytes({0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})},
      {std::numeric_limits<std::int64_t>::min(), Bytes({0, 0, 0, 0, 0, 0, 0, 0x80})},
      {std::numeric_limits<std::int64_t>::max(), Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F})},
  };
  for (const auto& row : table) {
    EXPECT_EQ(EncodeInstanceReply(row.value), row.bytes);
    EXPECT_EQ(DecodeInstanceReply(row.bytes), row.value);
  }
}

TEST(InstanceWire, PartialOrOverlongMessagesDoNotDecode) {
  const std::string reply = EncodeInstanceReply(7);
  for (std::size_t n = 0; n < kInstanceCommandSize; ++n)
    EXPECT_FALSE(DecodeInstanceCommand(reply.substr(0, n))) << n;
  EXPECT_FALSE(DecodeInstanceCommand(reply.substr(0, 5)));
  for (std::size_t n = 0; n < kInstanceReplySize; ++n) EXPECT_FALSE(DecodeInstanceReply(reply.substr(0, n))) << n;
  EXPECT_FALSE(DecodeInstanceReply(reply + '\0'));
}

TEST(InstanceWire, SocketNames) {
  EXPECT_EQ(InstanceSocketFileName(1234, 987654321), "instance-1234-987654321");
  auto parsed = ParseInstanceSocketName("instance-1234-987654321");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->pid, 1234);
  EXPECT_EQ(parsed->stamp, 987654321u);

  for (const char* bad : {"instance-", "instance-1", "instance-1-", "instance--1-2", "instance-a-1",
                          "instance-1-2-3", "instance-1-2.lock", "xinstance-1-2", "instance-+1-2",
                          "instance-1-1234567890123456789", ".instance-1-2", "instance-1- 2"})
    EXPECT_FALSE(ParseInstanceSocketName(bad)) << bad;
}

TEST(InstanceWire, NewestOtherInstanceFirst) {
  const std::vector<std::string> dir = {
      "instance-10-500", "instance-11-900", "junk",          "instance-12-700",
      "instance-99-999", "instance-13-8",   "instance-10-x", "instance-14-900",
  };
  // ours (pid 99) is left out even though it is the newest
  EXPECT_EQ(InstancesNewestFirst(dir, 99),
            (std::vector<std::string>{"instance-14-900", "instance-11-900", "instance-12-700",
                                      "instance-10-500", "instance-13-8"}));
  EXPECT_TRUE(InstancesNewestFirst({"a", "instance-5-5"}, 5).empty());
}

}  // namespace
