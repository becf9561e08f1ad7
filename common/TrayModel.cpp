#include "common/TrayModel.h"

namespace ql {

std::string FirstCharacters(const std::string& text, std::size_t count) {
  std::size_t i = 0;
  for (std::size_t n = 0; n < count && i < text.size(); ++n) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead >= 0xF0 && lead < 0xF8   ? 4
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xC0 && lead < 0xE0 ? 2
                                                             : 1;
    std::size_t k = 1;
    while (k < length && i + k < text.size() && (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80)
      ++k;
    i += k == length ? length : 1;  // a broken sequence: its lead alone
  }
  return text.substr(0, i);
}

TrayModel::TrayModel(TrayShell& shell) : shell_(shell) { Refresh(); }

TrayModel::~TrayModel() {
  if (visible_) shell_.Remove();
}

void TrayModel::Refresh() {
  if ((useIconList_ || cycleIcons_) && imageCount_ >= 0) {
    record_.source = TrayRecord::ListImage;
    record_.image = iconIndex_;
  } else {
    record_.source = enabled_ ? TrayRecord::NormalIcon : TrayRecord::DisabledIcon;
    record_.image = 0;
  }
  shell_.Modify(record_);
}

void TrayModel::IconsChanged() { Refresh(); }

void TrayModel::SetImageCount(int imageCount) {
  imageCount_ = imageCount < 0 ? -1 : imageCount;
  Refresh();
}

void TrayModel::SetUseIconList(bool on) {
  useIconList_ = on;
  Refresh();
}

void TrayModel::SetIconIndex(int index) {
  iconIndex_ = index;
  Refresh();
}

void TrayModel::SetEnabled(bool on) {
  enabled_ = on;
  Refresh();
}

bool TrayModel::SetHint(const std::string& hint) {
  if (hint == hint_) return false;
  hint_ = hint;
  // The tip follows the hint only while hints are shown.
  if (showHint_) record_.tip = FirstCharacters(hint_, kTrayTipLength);
  Refresh();
  return true;
}

void TrayModel::SetShowHint(bool on) {
  showHint_ = on;
  record_.tip = on ? FirstCharacters(hint_, kTrayTipLength) : std::string();
  Refresh();
}

void TrayModel::SetVisible(bool on) {
  const bool was = visible_;
  visible_ = on;
  if (on && !was) shell_.Add(record_);
  if (!on && was) shell_.Remove();
  Refresh();
}

bool TrayModel::SetCycleIcons(bool on) {
  cycleIcons_ = on;
  return CycleStep();
}

void TrayModel::SetCycleInterval(std::uint32_t ms) { cycleInterval_ = ms; }

bool TrayModel::CycleStep() {
  if (imageCount_ < 0) return false;
  ++iconIndex_;
  if (iconIndex_ >= imageCount_ || iconIndex_ < 0) iconIndex_ = 0;
  Refresh();
  return true;
}

std::vector<TrayEvent> TrayModel::Notify(TrayNotice notice) const {
  if (!enabled_) return {};
  switch (notice) {
    case TrayNotice::Click: return {TrayEvent::MouseUpLeft, TrayEvent::Click};
    case TrayNotice::DoubleClick: return {TrayEvent::DblClick};
    case TrayNotice::Context: return {TrayEvent::MouseUpRight};
    case TrayNotice::MiddleClick: return {TrayEvent::MouseUpMiddle};
  }
  return {};
}

}  // namespace ql
