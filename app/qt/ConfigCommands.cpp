// The window's side of the configuration dialog: its host and its command.
#include <QAction>
#include <QMimeDatabase>
#include <QResizeEvent>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <memory>

#include "app/qt/MainQuillora.h"
#include "editor/qt/EditorView.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/qt/QtText.h"
#include "settings/qt/ConfigDialog.h"
#include "settings/qt/ConfigHost.h"

namespace ql {

class WindowConfigHost : public ConfigHost {
 public:
  explicit WindowConfigHost(TFormQuillora& form) : form_(form) {}

  AppOptions& Options() override { return form_.options_; }
  AppLists& Lists() override { return form_.lists_; }
  Store& SettingsStore() override { return form_.store_; }
  std::string SettingsLocation() override {
    auto* file = dynamic_cast<QtSettingsStore*>(&form_.store_);
    return file ? QToPath(file->FileName()) : std::string();
  }
  void ApplySettings() override {
    EditorBusy busy(form_, true);
    form_.ApplyOptions();
    form_.UpdateTitle();
    // The status panels take their widths again now that the bar may show.
    QResizeEvent relayout(form_.size(), form_.size());
    form_.resizeEvent(&relayout);
  }
  void SetSaveAutomatic(bool on) override {
    form_.options_.SetChecked(Check::SaveAutoOpt, on);
    form_.SyncCheckMarks();
  }
  void ShowStatus(const std::string& text) override { form_.ShowStatus(0, text); }
  void SaveSettings_Cmd() override { form_.SaveSettings_Cmd(); }
  void PlayCompletionSound(int index) override { form_.PlayCompletionSound(index); }
  void ClearRecent_Cmd() override { form_.ClearRecent_Cmd(); }
  void RemoveObsolete_Cmd() override { form_.RemoveObsolete_Cmd(); }
  bool CanAssociate() override {
    QAction* a = form_.Action("Associate1");
    return a && a->isEnabled();
  }
  void Associate_Open() override {
    if (CanAssociate()) form_.Action("Associate1")->trigger();
  }
  QIcon FileIcon(const std::string& path) override {
    static QMimeDatabase mimes;
    const QMimeType type = mimes.mimeTypeForFile(PathToQ(path), QMimeDatabase::MatchExtension);
    const QIcon generic = form_.style()->standardIcon(QStyle::SP_FileIcon);
    return QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName(), generic));
  }
  QList<QIcon> ImageList() override {
    QList<QIcon> images;
    for (QAction* a : form_.ToolBar1->actions())
      if (!a->icon().isNull()) images.append(a->icon());
    return images;
  }

 private:
  TFormQuillora& form_;
};

TFormConfig* TFormQuillora::ConfigDialog() {
  auto* dialog = findChild<TFormConfig*>("FormConfig", Qt::FindDirectChildrenOnly);
  if (!dialog) dialog = new TFormConfig(std::make_unique<WindowConfigHost>(*this), this);
  return dialog;
}

void TFormQuillora::Config_Open() {
  TFormConfig* dialog = ConfigDialog();
  dialog->FormShow();
  ExecModal(*dialog);
}

}  // namespace ql
