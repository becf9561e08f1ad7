// The three coloring functions as commands on the document: they lay the
// base color on the whole text, color ranges over it, and check that the
// plain text came through unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "functions/Coloring.h"
#include "functions/TextFunctionHost.h"

namespace ql {

struct ColoringColors {
  std::uint32_t text = 0x0000FF;  // red (0x00BBGGRR)
  std::uint32_t tags = 0xFF0000;  // blue
  std::uint32_t def = 0x008000;   // green
};

void StandardColoringCommand(TextFunctionHost& host, const ColoringColors& colors);
// `lists` as listed for the dialog; `chosen` indexes it.
void KeywordColoringCommand(TextFunctionHost& host, const ColoringColors& colors,
                            const std::vector<KeywordList>& lists, std::size_t chosen, bool uppercase);
// Through the generated rich text, read back by our reader.
void HtmlColoringCommand(TextFunctionHost& host, const ColoringColors& colors);

}  // namespace ql
