// libFuzzer target for the reversible text transforms: the hexadecimal and
// binary decoders read any text without harm, and what they give encodes
// back to the digits they read; every transform is undone by its inverse;
// progress is whole percent, rising, ending at 100.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "functions/Transforms.h"

namespace {

// A progress procedure that checks what it is told.
struct ProgressCheck {
  int last = -1;
  ql::TProgressProc Proc() {
    return [this](int percent) {
      if (percent < 0 || percent > 100 || percent <= last) std::abort();
      last = percent;
    };
  }
  // A loop over some items must end at 100.
  void Done(bool hadWork) const {
    if (hadWork && last != 100) std::abort();
  }
};

char Upper(char c) { return c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c; }

// What a binary text stands for once read: whole groups as they are, a last
// group of 2-7 digits widened to eight, a last single digit dropped.
std::string NormalBinary(const std::string& s) {
  std::string out;
  for (std::size_t p = 0; p < s.size(); p += 8) {
    const std::size_t len = s.size() - p < 8 ? s.size() - p : 8;
    if (len == 1) break;
    out += std::string(8 - len, '0') + s.substr(p, len);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string s(reinterpret_cast<const char*>(data), size);

  // Encoding then decoding gives the bytes back.
  {
    ProgressCheck a, b;
    const std::string hex = ql::TextToHex(s, a.Proc());
    a.Done(!s.empty());
    if (hex.size() != 2 * s.size() || !ql::AllHexDigits(hex)) std::abort();
    if (ql::HexToText(hex, b.Proc()) != s) std::abort();
    b.Done(!s.empty());
    const std::string bin = ql::TextToBinary(s);
    if (bin.size() != 8 * s.size() || !ql::AllBinaryDigits(bin)) std::abort();
    if (ql::BinaryToText(bin) != s) std::abort();
  }

  // Decoding any text: the length follows the rules; digits decode to bytes
  // that encode back to the digits read.
  {
    ProgressCheck p;
    const std::string fromHex = ql::HexToText(s, p.Proc());
    p.Done(s.size() >= 2);
    if (fromHex.size() != s.size() / 2) std::abort();
    if (ql::AllHexDigits(s)) {
      std::string normal = s.substr(0, s.size() / 2 * 2);
      for (char& c : normal) c = Upper(c);
      if (ql::TextToHex(fromHex) != normal) std::abort();
    }
    const std::string fromBin = ql::BinaryToText(s);
    const std::size_t groups = s.size() < 2 ? 0 : (s.size() - 2) / 8 + 1;
    if (fromBin.size() != groups) std::abort();
    if (ql::AllBinaryDigits(s) && ql::TextToBinary(fromBin) != NormalBinary(s)) std::abort();
  }

  // ROT 13 and backward text are their own inverses and keep the length.
  {
    const std::string rot = ql::Rot13Text(s);
    if (rot.size() != s.size() || ql::Rot13Text(rot) != s) std::abort();
    ProgressCheck p;
    const std::string back = ql::BackwardText(s, p.Proc());
    p.Done(!s.empty());
    if (back.size() != s.size() || ql::BackwardText(back) != s) std::abort();
    // CR LF stays CR LF: as many pairs before as after.
    std::size_t before = 0, after = 0;
    for (std::size_t i = 0; i + 1 < s.size(); ++i) before += s[i] == '\r' && s[i + 1] == '\n';
    for (std::size_t i = 0; i + 1 < back.size(); ++i) after += back[i] == '\r' && back[i + 1] == '\n';
    if (before != after) std::abort();
  }

  // Bit shift: the first eight bytes are the order; a valid one is undone
  // by decrypting, and counts the bits of each byte the same.
  if (size >= 8) {
    const std::string order = s.substr(0, 8);
    const int check = ql::CheckBitOrder(order);
    if (check == 0) {
      const std::string rest = s.substr(8);
      const std::string enc = ql::BitShiftText(rest, order, true);
      if (enc.size() != rest.size()) std::abort();
      if (ql::BitShiftText(enc, order, false) != rest) std::abort();
      if (ql::BitShiftText(ql::BitShiftText(rest, order, false), order, true) != rest) std::abort();
      for (std::size_t i = 0; i < rest.size(); ++i)
        if (__builtin_popcount(static_cast<unsigned char>(rest[i])) !=
            __builtin_popcount(static_cast<unsigned char>(enc[i])))
          std::abort();
    } else if (check < -1 || check > 8) {
      std::abort();
    }
  }
  if (const int check = ql::CheckBitOrder(s); check == 0 && s.size() != 8) std::abort();
  return 0;
}
