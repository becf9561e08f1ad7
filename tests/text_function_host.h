// An in-memory window for the text functions: the text tools' host plus
// the status texts, progress calls, sounds and colored ranges, with
// scripted answers for the boxes.
#pragma once

#include <string>
#include <vector>

#include "editor/ColorRuns.h"
#include "functions/TextFunctionHost.h"
#include "text_tool_host.h"

namespace ql {

class MemoryFunctionHost : public TextFunctionHost {
 public:
  MemoryFunctionHost() { buffer.AddListener(&colors); }
  ~MemoryFunctionHost() override { buffer.RemoveListener(&colors); }

  MemoryBuffer buffer;
  ColorRuns colors;
  std::vector<ShownBox> boxes;
  std::vector<int> answers;  // given in turn; then 1 (OK)
  std::vector<std::string> status;
  std::vector<int> percents;
  std::vector<std::string> progressCaptions;
  int changed = 0, sounds = 0, bulkDepth = 0, bulkFaults = 0, progressOpen = 0, editDepth = 0;

  EditorBuffer& Buffer() override { return buffer; }
  void BeginBulk() override {
    if (bulkDepth++ != 0) ++bulkFaults;
  }
  void EndBulk() override {
    if (--bulkDepth != 0) ++bulkFaults;
  }
  void TextChanged() override { ++changed; }
  int Message(const std::string& text, const std::string& caption, unsigned flags) override {
    boxes.push_back({text, caption, flags});
    if (boxes.size() <= answers.size()) return answers[boxes.size() - 1];
    return 1;
  }
  void ShowStatus(const std::string& text) override { status.push_back(text); }
  void ShowProgress(const std::string& caption) override {
    ++progressOpen;
    progressCaptions.push_back(caption);
  }
  void CloseProgress() override { --progressOpen; }
  TProgressProc Progress() override {
    return [this](int p) { percents.push_back(p); };
  }
  void CompletionSound() override { ++sounds; }
  void SetRangeColor(Offset pos, Offset length, std::uint32_t color) override {
    colors.SetColor(pos, length, color);
  }
  void BeginEditBlock() override {
    ++editDepth;
    buffer.BeginEdit();
  }
  void EndEditBlock() override {
    --editDepth;
    buffer.EndEdit();
  }

  std::string Captions() const {
    std::string out;
    for (const ShownBox& b : boxes) out += b.caption + "|";
    return out;
  }
};

}  // namespace ql
