#include "functions/ColoringCommands.h"

#include "common/FuncLib.h"
#include "functions/RichText.h"
#include "functions/TextFunctions.h"

namespace ql {

namespace {

constexpr unsigned kStop = 16;

void Paint(TextFunctionHost& host, const std::vector<ColorSpan>& spans) {
  for (const ColorSpan& s : spans) host.SetRangeColor(s.start, s.length, s.color);
}

void PaintAll(TextFunctionHost& host, std::uint32_t color) {
  host.SetRangeColor(0, host.Buffer().TextLength(), color);
}

// Keeps the selection over a scope (clamped to the text at its end).
class KeepSelection {
 public:
  explicit KeepSelection(EditorBuffer& b) : b_(b), start_(b.SelStart()), length_(b.SelLength()) {}
  ~KeepSelection() { b_.SetSelection(start_, length_); }

 private:
  EditorBuffer& b_;
  Offset start_, length_;
};

}  // namespace

void StandardColoringCommand(TextFunctionHost& host, const ColoringColors& colors) {
  EditorBuffer& b = host.Buffer();
  const std::string before = b.Text();
  host.ShowStatus("Coloring the text with Standard coloring...");
  {
    BulkScope bulk(host);
    KeepSelection keep(b);
    PaintAll(host, colors.tags);
    Paint(host, StandardColorSpans(before, colors.text, colors.def));
  }
  CheckFunctionResult(host, before);
  host.ShowStatus("Text has been colored");
  host.CompletionSound();
}

void KeywordColoringCommand(TextFunctionHost& host, const ColoringColors& colors,
                            const std::vector<KeywordList>& lists, std::size_t chosen, bool uppercase) {
  if (lists.empty() || chosen >= lists.size()) {
    host.Message("There is no KeyWord Lists in the \"Presets\" directory!", "No KeyWord Lists!", kStop);
    return;
  }
  EditorBuffer& b = host.Buffer();
  const std::string before = b.Text();
  const KeywordList& list = lists[chosen];
  host.ShowStatus("Coloring key words using \"" + list.name + "\"...");
  {
    BulkScope bulk(host);
    KeepSelection keep(b);
    PaintAll(host, colors.text);
    if (IsExistingFile(list.path)) {
      const std::vector<ColorSpan> spans =
          KeywordSpans(before, ParseKeywordList(LoadTextFile(list.path)), colors.tags);
      if (uppercase) {
        bool changed = false;
        host.BeginEditBlock();
        for (const ColorSpan& s : spans) {
          const std::string word = before.substr(static_cast<std::size_t>(s.start), static_cast<std::size_t>(s.length));
          const std::string upper = AnsiUpperStr(word);
          if (upper == word) continue;
          b.SetSelection(s.start, s.length);
          b.ReplaceSelection(upper);
          changed = true;
        }
        host.EndEditBlock();
        if (changed) host.TextChanged();
      }
      Paint(host, spans);
      Paint(host, LabelLineSpans(before, colors.def));
    } else {
      host.Message("Couldn't load the KeyWord List:\r\n\"" + list.path + "\"", "KeyWord List Load Error!", kStop);
    }
  }
  // Upper-casing changes the text on purpose.
  if (!uppercase) CheckFunctionResult(host, before);
  host.ShowStatus("The Key Word coloring are done");
  host.CompletionSound();
}

void HtmlColoringCommand(TextFunctionHost& host, const ColoringColors& colors) {
  EditorBuffer& b = host.Buffer();
  const std::string before = b.Text();
  {
    BulkScope bulk(host);
    KeepSelection keep(b);
    host.ShowStatus("Coloring HTML tags...");
    ProgressScope progress(host, "Coloring HTML tags...");
    PaintAll(host, colors.text);
    const CharAttributes font = b.DefaultAttributes();
    const std::string rtf =
        HtmlTagsToRtf(before, {colors.text, colors.tags, colors.def}, font.fontName, font.fontSize, host.Progress());
    if (!rtf.empty()) {
      const std::optional<RtfDocument> doc = ReadRtf(rtf);
      if (!doc) {
        host.Message("The colored text could not be read back.\r\nThe text keeps its plain colors.",
                     "Function error!", kStop);
      } else {
        host.BeginEditBlock();
        if (doc->text != before) {
          b.SelectAll();
          b.ReplaceSelection(doc->text);
        }
        PaintAll(host, doc->colors[0]);
        for (const RtfRun& r : doc->runs)
          if (r.color != 0) host.SetRangeColor(r.start, r.length, doc->colors[static_cast<std::size_t>(r.color)]);
        host.EndEditBlock();
      }
    }
  }
  CheckFunctionResult(host, before);
  host.ShowStatus("The HTML tag coloring are done");
  host.CompletionSound();
}

}  // namespace ql
