// "Quillora Configuration": every option at once on four pages (General,
// Font & Color, Recent List, Registry). The controls hold copies; the
// options change when the settings are applied (OK, Apply, or at once with
// Auto Apply) and reach the store through the window's save.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "settings/ColorPresets.h"
#include "settings/Config.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QToolButton;
class QTreeWidget;

namespace ql {

class ConfigHost;
class ConfigSwatch;

class TFormConfig : public QDialog {
  Q_OBJECT

 public:
  TFormConfig(std::unique_ptr<ConfigHost> host, QWidget* parent);
  ~TFormConfig() override;

  // Tests answer the dialog's questions instead of a user.
  using NameAsker = std::function<std::optional<std::string>(const std::string& caption,
                                                             const std::string& prompt)>;
  using ColorAsker = std::function<std::int64_t(std::int64_t initial)>;
  struct FontChoice {
    std::string name;
    int size;
  };
  using FontAsker = std::function<std::optional<FontChoice>(const std::string& name, int size)>;
  void SetNameAsker(NameAsker a) { askName_ = std::move(a); }
  void SetColorAsker(ColorAsker a) { askColor_ = std::move(a); }
  void SetFontAsker(FontAsker a) { askFont_ = std::move(a); }

  // Loads every control from the current options (each display).
  void FormShow();
  ConfigValues ControlValues() const;

  // General page and the buttons below the pages.
  bool SetSettings_Cmd();  // false when nothing was applied
  void Apply_Click();
  void AutoApply_ChkClick();
  void CheckAutoApply();
  void Save_BtnClick();
  void Ok_Click();
  void DefSettings_BtnClick();
  void TestSound_SpdBtnClick();
  void PageCtrl1_Change(int index);

  // Font & Color page.
  void UpdateExamples(bool userChange = true);
  void ColorCtrl_Popup(int tag);
  void FontChange_Cmd(bool screen);
  void BuildIn_Change(int index);
  void Preset_Change(int row);
  void SavePreset_Cmd();
  void DeletePreset_Cmd();
  void LoadColorPresets();
  void FillPresetList();
  const std::vector<TColorPreset>& Presets() const { return presets_; }

  // Recent List page.
  void FillRecentView();
  void RecentList_Change();
  void Clear_Cmd();
  void RemObs_Cmd();
  void DelSel_Cmd();
  void Recent_Panel_DblClick();

  // Registry page.
  void FillRegKeys();
  void Reg_Combo_Change(int index);
  void ClearRegKey_Cmd();

  // Controls, named as the program has always named them.
  QTabWidget* PageCtrl1 = nullptr;
  std::array<QCheckBox*, kCheckCount> checks_{};  // in option order
  QComboBox* Sound_Combo = nullptr;
  QToolButton* TestSound_SpdBtn = nullptr;
  QSpinBox* TabSize1_UpDown = nullptr;
  QSpinBox* RecentMax_UpDown = nullptr;
  QPushButton* Associate_Btn = nullptr;
  QPushButton* Shortcut_Btn = nullptr;
  QPushButton* DefSettings_Btn = nullptr;

  std::array<ConfigSwatch*, 4> panels_{};  // Back, Text, BoxBack, BoxText
  QComboBox* BuildIn_Combo = nullptr;
  QListWidget* Preset_ListBox = nullptr;
  QPushButton* SavePreset_BitBtn = nullptr;
  QPushButton* Delete_BitBtn = nullptr;
  QPushButton* ScreenFont_Btn = nullptr;
  QPushButton* PrintFont_Btn = nullptr;
  QPlainTextEdit* Editor_Memo = nullptr;
  QPlainTextEdit* Box_Memo = nullptr;
  std::string DlgFontName = "Courier New";
  int DlgFontSize = 10;

  QTreeWidget* Recent_ListView = nullptr;
  QPushButton* Clear_Btn = nullptr;
  QPushButton* RemObs_Btn = nullptr;
  QPushButton* DelSel_Btn = nullptr;

  QComboBox* Reg_Combo = nullptr;
  QTreeWidget* Reg_ListView = nullptr;
  QPushButton* ClearRegKeyBtn = nullptr;
  QLabel* RegFile_Label = nullptr;

  QCheckBox* AutoApply_Chk = nullptr;
  QPushButton* Help_Btn = nullptr;
  QPushButton* Save_Btn = nullptr;
  QPushButton* Ok_Btn = nullptr;
  QPushButton* Apply_Btn = nullptr;
  QPushButton* Cancel_Btn = nullptr;

 private:
  QWidget* BuildGeneralPage();
  QWidget* BuildColorPage();
  QWidget* BuildRecentPage();
  QWidget* BuildRegistryPage();
  void ColorEntryBoxes();
  void SavePresetsFile();
  std::optional<std::string> AskName(const std::string& caption, const std::string& prompt);
  std::int64_t AskColor(std::int64_t initial);
  std::optional<FontChoice> AskFont(const std::string& name, int size);

  std::unique_ptr<ConfigHost> host_;
  NameAsker askName_;
  ColorAsker askColor_;
  FontAsker askFont_;
  std::vector<TColorPreset> presets_;
  bool presetsUnsaved_ = false;  // the last save failed: the list is newer than the file
  bool iconView_ = false;        // the recent page shows the window's images
};

}  // namespace ql
