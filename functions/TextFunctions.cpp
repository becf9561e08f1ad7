#include "functions/TextFunctions.h"

#include <algorithm>
#include <cstring>

#include "common/FuncLib.h"
#include "functions/Transforms.h"

namespace ql {

namespace {

constexpr unsigned kOk = 0, kYesNo = 4, kStop = 16, kExclamation = 48;
constexpr int kYes = 6;

std::string Source(EditorBuffer& b, bool selected) { return selected ? b.SelText() : b.Text(); }

// Writes the result over its source as one undo step; returns the offset
// where it starts and its length in the document (lone CR or LF there
// became CR LF).
std::pair<Offset, Offset> WriteBack(EditorBuffer& b, bool selected, const std::string& result) {
  if (!selected) b.SelectAll();
  const Offset from = b.SelStart();
  b.ReplaceSelection(result);
  return {from, b.SelStart() - from};
}

bool RefuseNul(TextFunctionHost& host, const std::string& result) {
  const std::size_t at = FirstNul(result);
  if (at == 0) return false;
  host.Message("The result holds the character of code 0 at position \"" + std::to_string(at) +
                   "\",\r\nwhich a text cannot hold. The text was left unchanged.",
               "Character 0 in result!", kOk | kStop);
  return true;
}

// ROT 13 and backward: same length, the selection stays as it was.
void SelfInverse(TextFunctionHost& host, bool selected, const std::string& startText,
                 const std::string& endText,
                 std::string (*transform)(std::string, const TProgressProc&)) {
  EditorBuffer& b = host.Buffer();
  const Offset start = b.SelStart(), length = b.SelLength();
  {
    BulkScope bulk(host);
    host.ShowStatus(startText);
    {
      ProgressScope progress(host, startText);
      WriteBack(b, selected, transform(Source(b, selected), host.Progress()));
    }
    b.SetSelection(start, length);
  }
  host.ShowStatus(endText);
  host.TextChanged();
  host.CompletionSound();
}

}  // namespace

std::size_t FirstNul(const std::string& text) {
  const void* hit = std::memchr(text.data(), 0, text.size());
  return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) + 1 : 0;
}

void Rot13Command(TextFunctionHost& host, bool selected) {
  SelfInverse(host, selected, "Encrypting/Decrypting using ROT 13...",
              "ROT 13 encryption/decryption done", &Rot13Text);
}

void BackwardCommand(TextFunctionHost& host, bool selected) {
  SelfInverse(host, selected, "Encrypting/Decrypting using Backward text...",
              "Backward text encryption/decryption done", &BackwardText);
}

void DigitTextCommand(TextFunctionHost& host, DigitBase base, bool selected, bool encrypt) {
  EditorBuffer& b = host.Buffer();
  const bool binary = base == DigitBase::Binary;
  const std::string source = Source(b, selected);
  const bool digits = binary ? AllBinaryDigits(source) : AllHexDigits(source);
  if (encrypt && digits) {
    const std::string text = binary
        ? "The text exist of nothing but binary numbers,\r\nit's posible that the text is encrypted!\r\n\r\nContinue anyway?"
        : "The text exist of nothing but hexadecimal numbers,\r\nit's posible that the text is encrypted!\r\n\r\nContinue anyway?";
    if (host.Message(text, binary ? "Binary encryption warning!" : "Hexadeciaml encryption warning!",
                     kYesNo | kExclamation) != kYes)
      return;
  }
  if (!encrypt && !digits) {
    host.Message(binary ? "The text contained illegal characters,\r\nthat is all characters but (0, 1)."
                        : "The text contained illegal characters,\r\nthat is all characters but (0..9, A..F).",
                 binary ? "Binary decryption error!" : "Hexadecimal decryption error!", kOk | kStop);
    return;
  }
  struct Texts {
    const char* start;
    const char* end;
  };
  const Texts texts = binary
      ? (encrypt ? Texts{"Encrypting text into binary text...", "Binary text encryption done"}
                 : Texts{"Decrypting binary text to text...", "Binary text decryption done"})
      : (encrypt ? Texts{"Encrypting text into Hexadecimal text...", "Hexadecimal text encryption done"}
                 : Texts{"Decrypting Hexadecimal text to text...", "Hexadecimal text decryption done"});
  const Offset start = b.SelStart(), length = b.SelLength();
  std::string result;
  {
    BulkScope bulk(host);
    host.ShowStatus(texts.start);
    ProgressScope progress(host, texts.start);
    const std::string again = Source(b, selected);
    const TProgressProc proc = host.Progress();
    if (binary)
      result = encrypt ? TextToBinary(again, proc) : BinaryToText(again, proc);
    else
      result = encrypt ? TextToHex(again, proc) : HexToText(again, proc);
  }
  if (RefuseNul(host, result)) return;
  {
    BulkScope bulk(host);
    const std::pair<Offset, Offset> written = WriteBack(b, selected, result);
    if (selected) {
      b.SetSelection(written.first, written.second);  // the converted text stays selected
    } else {
      const int factor = binary ? 8 : 2;
      b.SetSelection(start, encrypt ? length * factor : length / factor);  // clamped to the text
    }
  }
  host.ShowStatus(texts.end);
  host.TextChanged();
  host.CompletionSound();
}

void BitShiftCommand(TextFunctionHost& host, bool selected, bool encrypt, const std::string& order) {
  const int check = CheckBitOrder(order);
  if (check != 0) {
    host.Message(check > 0 ? "There is an error in the bit order!\r\nError was character \"#" +
                                 std::to_string(check) + "\""
                           : std::string("There is an error in the bit order!"),
                 "Bit Order Error!", kOk | kStop);
    return;
  }
  EditorBuffer& b = host.Buffer();
  const Offset start = b.SelStart(), length = b.SelLength();
  std::string result;
  {
    BulkScope bulk(host);
    ProgressScope progress(host, "Encrypting using bit shift...");
    result = BitShiftText(Source(b, selected), order, encrypt, host.Progress());
  }
  if (RefuseNul(host, result)) return;
  {
    BulkScope bulk(host);
    WriteBack(b, selected, result);
    b.SetSelection(start, length);
  }
  host.TextChanged();
}

void BatchInsertCommand(TextFunctionHost& host, const BatchOptions& options) {
  EditorBuffer& b = host.Buffer();
  host.ShowStatus("Batch Inserting...");
  std::string result;
  {
    ProgressScope progress(host, "Batch Inserting...");
    std::vector<std::string> lines = SplitLines(b.Text());
    BatchOptions o = options;
    // Remembered line numbers may be beyond a text that has since shrunk.
    const long long last = static_cast<long long>(lines.size()) - 1;
    o.fromIndex = std::max(0LL, std::min(o.fromIndex, last));
    o.toIndex = std::max(-1LL, std::min(o.toIndex, last));
    BatchInsert(lines, o, host.Progress());
    result = JoinLines(lines);
  }
  if (RefuseNul(host, result)) return;
  const Offset start = b.SelStart();
  if (result != b.Text()) {
    b.SelectAll();
    b.ReplaceSelection(result);
    host.TextChanged();
  }
  b.SetSelection(start, 0);
  host.ShowStatus("Batch Inserting done");
  host.CompletionSound();
}

bool CheckFunctionResult(TextFunctionHost& host, const std::string& before) {
  EditorBuffer& b = host.Buffer();
  const std::string now = b.Text();
  Pos p = FirstDifference(now, before);
  if (p == 0) return true;
  // One continues the other: the place is just past the shorter.
  if (p < 0) p = static_cast<Pos>(std::min(now.size(), before.size())) + 1;
  b.SetSelection(p, 0);
  b.ScrollToCaret();
  const int answer = host.Message(
      "An error happened at character position \"" + std::to_string(p) +
          "\" while doing the function!\r\n\r\nUse the result of the function anyway?",
      "Function error!", kYesNo | kStop);
  if (answer == kYes) return true;
  b.SelectAll();
  b.ReplaceSelection(before);
  b.SetSelection(0, 0);
  return false;
}

}  // namespace ql
