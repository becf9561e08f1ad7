// User color presets and their file "Color.qcp": magic "QCP", version 256
// (bytes 00 01), a one-byte count, then one 62-byte record per preset (name
// 16, font name 32, font size 2, four colors of 3 bytes red, green, blue).
// The file lives in the user's data folder; the installed data folders may
// hold one the user has not replaced yet.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ql {

using PresetColor = std::uint32_t;  // 0x00BBGGRR

struct TColorPreset {
  std::string Name;      // 1 to 16 characters when saved by the dialog
  std::string FontName;  // stored cut to 32
  int FontSize = 10;     // stored in 16 bits
  PresetColor BackColor = 0, TextColor = 0, BoxBackColor = 0, BoxTextColor = 0;

  bool operator==(const TColorPreset& o) const {
    return Name == o.Name && FontName == o.FontName && FontSize == o.FontSize &&
           BackColor == o.BackColor && TextColor == o.TextColor && BoxBackColor == o.BoxBackColor &&
           BoxTextColor == o.BoxTextColor;
  }
};

constexpr std::size_t kPresetHeader = 6;
constexpr std::size_t kPresetRecord = 62;
constexpr std::size_t kMaxPresets = 255;  // the count is one byte
constexpr std::size_t kPresetNameMax = 16;

struct PresetFile {
  enum Status { Ok, Missing, Foreign, Truncated, Unreadable };
  Status status = Missing;
  std::vector<TColorPreset> presets;
};

// The bytes of a preset file; a list of more than 255 presets is not written.
std::string SerializePresets(const std::vector<TColorPreset>& presets);
// Reads only what is there: a file shorter than its count says is Truncated
// and gives no presets.
PresetFile ParsePresets(const std::string& bytes);

// $XDG_DATA_HOME/quillora/Presets/Color.qcp ($HOME/.local/share when unset).
std::string UserPresetsFile();
// The files looked at in order: the user's, then each folder of
// $XDG_DATA_DIRS (/usr/local/share:/usr/share when unset).
std::vector<std::string> PresetsFileCandidates();

// The first candidate that exists is read; `path` tells which (empty: none).
PresetFile LoadColorPresets(const std::vector<std::string>& candidates, std::string* path = nullptr);
// Written whole to a new file beside the old one and renamed over it, after
// creating the folders; false with `error` set when that failed.
bool SaveColorPresets(const std::string& path, const std::vector<TColorPreset>& presets,
                      std::string& error);

// "00:  Name" per preset, or the one line "(No user presets)".
std::vector<std::string> PresetListLines(const std::vector<TColorPreset>& presets);

enum class AddPresetResult { Added, BadName, Full };
// Appends a preset with system colors turned into their RGB value by
// `resolve`; refuses a name of 0 or more than 16 characters and a 256th preset.
AddPresetResult AddPreset(std::vector<TColorPreset>& presets, TColorPreset preset,
                          const std::function<PresetColor(std::uint32_t)>& resolve);
// The size a preset's font is shown at: stored sizes outside 1..500 give 10.
int PresetFontSize(const TColorPreset& preset);

// Texts of the boxes the dialog shows around the preset file.
// The box after loading: empty for a good, missing or foreign file.
std::string PresetLoadMessage(const PresetFile& file, const std::string& path);
std::string PresetSaveFailedText(const std::string& path, const std::string& error);
extern const char* const kPresetsFullText;

}  // namespace ql
