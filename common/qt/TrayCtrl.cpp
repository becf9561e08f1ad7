#include "common/qt/TrayCtrl.h"

#include <QMenu>

namespace ql {

namespace {

std::function<bool()>& AvailabilityHook() {
  static std::function<bool()> hook;
  return hook;
}

}  // namespace

bool TTrayCtrl::TrayAvailable() {
  if (AvailabilityHook()) return AvailabilityHook()();
  return QSystemTrayIcon::isSystemTrayAvailable();
}

void TTrayCtrl::SetAvailabilityHook(std::function<bool()> hook) { AvailabilityHook() = std::move(hook); }

TTrayCtrl::TTrayCtrl(QObject* owner) : QObject(owner), model_(*this) {
  timer_.setInterval(static_cast<int>(model_.CycleInterval()));
  connect(&timer_, &QTimer::timeout, this, &TTrayCtrl::Tick);
  connect(&tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
    switch (r) {
      case QSystemTrayIcon::Trigger: Notice(TrayNotice::Click); break;
      case QSystemTrayIcon::DoubleClick: Notice(TrayNotice::DoubleClick); break;
      case QSystemTrayIcon::MiddleClick: Notice(TrayNotice::MiddleClick); break;
      case QSystemTrayIcon::Context: Notice(TrayNotice::Context); break;
      default: break;
    }
  });
}

TTrayCtrl::~TTrayCtrl() { timer_.stop(); }

void TTrayCtrl::Add(const TrayRecord& record) {
  Modify(record);
  tray_.show();
}

void TTrayCtrl::Remove() { tray_.hide(); }

void TTrayCtrl::Modify(const TrayRecord& r) {
  QIcon icon;
  switch (r.source) {
    case TrayRecord::NormalIcon: icon = icon_; break;
    case TrayRecord::DisabledIcon: icon = iconDisabled_; break;
    case TrayRecord::ListImage:
      if (r.image >= 0 && static_cast<std::size_t>(r.image) < images_.size()) icon = images_[r.image];
      break;
  }
  tray_.setIcon(icon);
  tray_.setToolTip(QString::fromUtf8(r.tip.data(), static_cast<int>(r.tip.size())));
}

void TTrayCtrl::SetIcon(const QIcon& icon) {
  icon_ = icon;
  model_.IconsChanged();
}

void TTrayCtrl::SetIconDisabled(const QIcon& icon) {
  iconDisabled_ = icon;
  model_.IconsChanged();
}

void TTrayCtrl::SetIconList(const std::vector<QIcon>& images) {
  images_ = images;
  model_.SetImageCount(static_cast<int>(images_.size()));
}

void TTrayCtrl::ClearIconList() {
  images_.clear();
  model_.SetImageCount(-1);
}

void TTrayCtrl::SetCycleInterval(std::uint32_t ms) {
  model_.SetCycleInterval(ms);
  SyncTimer();
}

void TTrayCtrl::SetCycleIcons(bool on) {
  const bool stepped = model_.SetCycleIcons(on);
  SyncTimer();
  if (stepped && OnCycle) OnCycle();
}

void TTrayCtrl::SyncTimer() {
  if (!model_.TimerRunning()) {
    timer_.stop();
    return;
  }
  // QTimer takes an int; a longer interval than it holds ticks at its limit.
  const std::uint32_t ms = std::min<std::uint32_t>(model_.CycleInterval(), 0x7FFFFFFF);
  if (timer_.interval() != static_cast<int>(ms)) timer_.setInterval(static_cast<int>(ms));
  if (!timer_.isActive()) timer_.start();
}

void TTrayCtrl::Tick() {
  if (model_.CycleStep() && OnCycle) OnCycle();
}

void TTrayCtrl::SetPopupMenu(QMenu* menu) {
  menu_ = menu;
  SyncMenu();
}

void TTrayCtrl::SetEnabled(bool on) {
  model_.SetEnabled(on);
  SyncMenu();
}

// A disabled icon offers no menu either.
void TTrayCtrl::SyncMenu() { tray_.setContextMenu(model_.Enabled() ? menu_.data() : nullptr); }

void TTrayCtrl::Notice(TrayNotice notice) {
  for (TrayEvent e : model_.Notify(notice)) {
    switch (e) {
      case TrayEvent::MouseUpLeft:
        if (OnMouseUp) OnMouseUp(Qt::LeftButton);
        break;
      case TrayEvent::MouseUpRight:
        if (OnMouseUp) OnMouseUp(Qt::RightButton);
        break;
      case TrayEvent::MouseUpMiddle:
        if (OnMouseUp) OnMouseUp(Qt::MiddleButton);
        break;
      case TrayEvent::Click:
        if (OnClick) OnClick();
        break;
      case TrayEvent::DblClick:
        if (OnDblClick) OnDblClick();
        break;
    }
  }
}

}  // namespace ql
