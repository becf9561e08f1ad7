// libFuzzer target for opening a document: whatever the bytes, writing the
// decoded text back in the style and encoding it was read with gives the
// file again, byte for byte, unless the reader said it cut the text or met
// mixed line breaks; and the length it predicts for the file is the length
// it writes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/DocumentFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  for (ql::EncodingChoice choice : {ql::EncodingChoice::Detect, ql::EncodingChoice::Bytes, ql::EncodingChoice::Utf8}) {
    const ql::LoadedDocument doc = ql::DecodeDocument(input, choice);
    const std::string back = ql::FileBytes(doc.text, doc.style, doc.encoding);
    if (ql::LengthInFile(doc.text, doc.style, doc.encoding) != static_cast<std::int64_t>(back.size())) std::abort();
    if (!doc.cut && !doc.mixed && back != input) std::abort();
  }
  return 0;
}
