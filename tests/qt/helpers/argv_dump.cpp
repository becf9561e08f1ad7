// Writes its working directory and arguments, each ended by a NUL, to the
// file named by its first argument (written aside, then renamed, so that a
// reader never sees half of it). Usage: argv_dump <file> [arguments...]
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  char cwd[PATH_MAX];
  if (!getcwd(cwd, sizeof cwd)) return 1;
  std::string out = std::string(cwd) + '\0';
  for (int i = 2; i < argc; ++i) out += std::string(argv[i]) + '\0';
  const std::string target = argv[1];
  const std::string temp = target + ".part";
  FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) return 1;
  const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  if (std::fclose(f) != 0 || !ok) return 1;
  return std::rename(temp.c_str(), target.c_str()) == 0 ? 0 : 1;
}
