// The reversible text transforms of the Encrypt/Decrypt page: ROT 13,
// backward text, binary and hexadecimal text, bit shift. Each is a pure
// function over 8-bit characters that builds its result in one pass and
// reports progress in whole percent.
#pragma once

#include <string>

#include "functions/Progress.h"

namespace ql {

// ROT 13, backward and bit shift keep the length: they work in the string
// they are given (move a text in to spare the copy).
std::string Rot13Text(std::string s, const TProgressProc& progress = {});
// Characters in reverse order with CR and LF swapped, so CR LF stays CR LF.
std::string BackwardText(std::string s, const TProgressProc& progress = {});
// Eight digits per character, most significant first.
std::string TextToBinary(const std::string& s, const TProgressProc& progress = {});
// Groups of eight digits from the start; a last group of 2-7 digits gives
// one character, a last single digit is dropped.
std::string BinaryToText(const std::string& s, const TProgressProc& progress = {});
// Two upper-case digits per character.
std::string TextToHex(const std::string& s, const TProgressProc& progress = {});
// Pairs from the start, either letter case; a last single digit is dropped.
std::string HexToText(const std::string& s, const TProgressProc& progress = {});

// Whether the text holds nothing but the digits of that base (true when empty).
bool AllBinaryDigits(const std::string& s);
bool AllHexDigits(const std::string& s);

// 0 when the bit order is a permutation of "12345678"; the first digit 1-8
// that is missing or repeated; -1 for a wrong length or another character.
int CheckBitOrder(const std::string& order);
// Encrypting puts input bit order[k] at output bit k (bits counted 1-8 from
// the most significant); decrypting undoes it. The order must pass CheckBitOrder.
std::string BitShiftText(std::string s, const std::string& order, bool encrypt,
                         const TProgressProc& progress = {});

}  // namespace ql
