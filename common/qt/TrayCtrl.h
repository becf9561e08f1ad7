// TTrayCtrl: an icon in the desktop's notification area with its icons,
// tooltip, cycling images, pop-up menu and click events. The rules live in
// TrayModel; this class owns the pictures, the timer and the desktop's icon.
#pragma once

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "common/TrayModel.h"

namespace ql {

class TTrayCtrl : public QObject, private TrayShell {
  Q_OBJECT

 public:
  explicit TTrayCtrl(QObject* owner);
  ~TTrayCtrl() override;

  // Whether the desktop has a notification area (tests may decide instead).
  static bool TrayAvailable();
  static void SetAvailabilityHook(std::function<bool()> hook);

  void SetIcon(const QIcon& icon);
  void SetIconDisabled(const QIcon& icon);
  // The image list; an empty function-free list is still a list (0 images).
  void SetIconList(const std::vector<QIcon>& images);
  void ClearIconList();
  void SetUseIconList(bool on) { model_.SetUseIconList(on); }
  void SetIconIndex(int index) { model_.SetIconIndex(index); }
  void SetCycleInterval(std::uint32_t ms);
  void SetCycleIcons(bool on);
  void SetPopupMenu(QMenu* menu);
  void SetHint(const std::string& hint) { model_.SetHint(hint); }
  void SetShowHint(bool on) { model_.SetShowHint(on); }
  void SetEnabled(bool on);
  void SetVisible(bool on) { model_.SetVisible(on); }

  const TrayModel& Model() const { return model_; }
  bool Visible() const { return model_.Visible(); }
  QMenu* PopupMenu() const { return menu_; }
  QSystemTrayIcon& TrayIcon() { return tray_; }
  bool TimerRunning() const { return timer_.isActive(); }

  std::function<void()> OnClick, OnDblClick, OnCycle;
  std::function<void(Qt::MouseButton)> OnMouseUp;

  // What the desktop reports about the icon (tests call it directly).
  void Notice(TrayNotice notice);

 private:
  void Add(const TrayRecord& record) override;
  void Remove() override;
  void Modify(const TrayRecord& record) override;
  void SyncTimer();
  void SyncMenu();
  void Tick();

  QSystemTrayIcon tray_;
  QTimer timer_;
  QIcon icon_, iconDisabled_;
  std::vector<QIcon> images_;
  QPointer<QMenu> menu_;
  TrayModel model_;  // last: its first refresh reaches the members above
};

}  // namespace ql
