// Block access to binary files at 64-bit byte offsets, as the color preset
// file uses it. Writing never truncates: the file is opened for update.
#include "common/FuncLib.h"

#include <sys/types.h>

namespace ql {

namespace {

bool SeekTo(BinaryFile& f, std::int64_t offset) {
  return f.handle && offset >= 0 && fseeko(f.handle, static_cast<off_t>(offset), SEEK_SET) == 0;
}

}  // namespace

bool OpenBinaryFile(const std::string& path, BinaryFile& f, int openMode) {
  if (!IsExistingFile(path)) return false;
  const char* mode;
  switch (openMode) {
    case 0: mode = "rb"; break;
    case 1:
    case 2: mode = "r+b"; break;
    default: return false;
  }
  std::FILE* handle = std::fopen(path.c_str(), mode);
  if (!handle) return false;
  f.handle = handle;
  return true;
}

void CloseBinaryFile(BinaryFile& f) {
  if (f.handle) std::fclose(f.handle);
  f.handle = nullptr;
}

std::string ReadBlockStr(BinaryFile& f, std::int64_t offset, std::int64_t count) {
  std::string out;
  if (count <= 0 || !SeekTo(f, offset)) return out;
  out.resize(static_cast<std::size_t>(count));
  // A short read (end of file) gives only the bytes that are there.
  out.resize(std::fread(&out[0], 1, out.size(), f.handle));
  return out;
}

std::int64_t WriteBlockStr(BinaryFile& f, std::int64_t offset, const std::string& s) {
  if (SeekTo(f, offset) && !s.empty()) std::fwrite(s.data(), 1, s.size(), f.handle);
  return offset + static_cast<std::int64_t>(s.size());
}

std::int64_t ReadBlockInt(BinaryFile& f, std::int64_t offset, int size) {
  if (size < 1 || size > 4 || !SeekTo(f, offset)) return 0;
  unsigned char bytes[4] = {0, 0, 0, 0};
  const std::size_t got = std::fread(bytes, 1, static_cast<std::size_t>(size), f.handle);
  std::int64_t value = 0;
  for (std::size_t i = got; i-- > 0;) value = (value << 8) | bytes[i];
  return value;
}

std::int64_t WriteBlockInt(BinaryFile& f, std::int64_t offset, int size, std::int64_t value) {
  // Sizes beyond the eight bytes of the value are not written at all.
  if (size < 1 || size > 8) return offset;
  unsigned char bytes[8];
  auto bits = static_cast<std::uint64_t>(value);
  for (int i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
  if (SeekTo(f, offset)) std::fwrite(bytes, 1, static_cast<std::size_t>(size), f.handle);
  return offset + size;
}

}  // namespace ql
