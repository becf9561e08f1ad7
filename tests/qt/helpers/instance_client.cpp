// Sends one instance command and prints the answer, or "none".
// Usage: instance_client <command> [timeout ms]
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

#include "platform/qt/InstanceChannel.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 2) return 2;
  const int timeout = argc > 2 ? std::atoi(argv[2]) : 2000;
  const auto result = ql::SendToRunningInstance(std::atoi(argv[1]), timeout);
  if (result)
    std::printf("%lld\n", *result);
  else
    std::printf("none\n");
  return 0;
}
