// Tests answer the text tools' input box instead of a user.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace ql {

// Returns the text entered (Windows-1252) or nothing when cancelled.
using TextInputHook = std::function<std::optional<std::string>(
    const std::string& caption, const std::string& prompt, const std::string& initial)>;
void SetTextInputHook(TextInputHook hook);

// Answers the color picker: the chosen color (0x00BBGGRR) or -1.
using ColorPickHook = std::function<std::int64_t(std::int64_t initial)>;
void SetColorPickHook(ColorPickHook hook);
const ColorPickHook& CurrentColorPickHook();  // empty: the real picker

}  // namespace ql
