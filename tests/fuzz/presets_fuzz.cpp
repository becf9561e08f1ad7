// libFuzzer target for the color preset reader: whatever the bytes, it
// reads nothing outside them, gives presets only for a whole file, and what
// it read is written and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/ColorPresets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A copy of exactly `size` bytes: the sanitizer catches any read beyond it.
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const ql::PresetFile file = ql::ParsePresets(bytes);
  if (file.status != ql::PresetFile::Ok) {
    if (!file.presets.empty()) std::abort();
    return 0;
  }
  if (size < ql::kPresetHeader || file.presets.size() != data[5]) std::abort();
  if (size < ql::kPresetHeader + ql::kPresetRecord * file.presets.size()) std::abort();
  for (const ql::TColorPreset& p : file.presets) {
    if (p.Name.size() > 16 || p.FontName.size() > 32 || p.FontSize < 0 || p.FontSize > 0xFFFF) std::abort();
    for (std::uint32_t c : {p.BackColor, p.TextColor, p.BoxBackColor, p.BoxTextColor})
      if (c > 0xFFFFFF) std::abort();
  }
  const std::string again = ql::SerializePresets(file.presets);
  if (again.size() != ql::kPresetHeader + ql::kPresetRecord * file.presets.size()) std::abort();
  const ql::PresetFile back = ql::ParsePresets(again);
  if (back.status != ql::PresetFile::Ok || !(back.presets == file.presets)) std::abort();
  return 0;
}
