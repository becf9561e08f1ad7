// The configuration dialog on a whole main window: loading, applying with
// and without Auto Apply, defaults, colors and presets, the recent list and
// the view of the settings store.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QApplication>
#include <QTimer>
#include <QtTest>

#include "app/SettingsIO.h"
#include "settings/qt/ConfigHost.h"
#include <stdexcept>
#include "settings/qt/ConfigDialog.h"
#include "settings/qt/ConfigSwatch.h"
#include "TestSupport.h"
#include "WindowFixture.h"

using namespace ql;

namespace {

// A window that fails while taking the settings.
class FailingHost : public ConfigHost {
 public:
  AppOptions& Options() override { return options; }
  AppLists& Lists() override { return lists; }
  Store& SettingsStore() override { return store; }
  std::string SettingsLocation() override { return "/nowhere"; }
  void ApplySettings() override { throw std::runtime_error("no window"); }
  void SetSaveAutomatic(bool) override {}
  void ShowStatus(const std::string& text) override { status = text; }
  void SaveSettings_Cmd() override {}
  void PlayCompletionSound(int) override {}
  void ClearRecent_Cmd() override {}
  void RemoveObsolete_Cmd() override {}
  bool CanAssociate() override { return false; }
  void Associate_Open() override {}
  QIcon FileIcon(const std::string&) override { return {}; }
  QList<QIcon> ImageList() override { return {}; }

  AppOptions options;
  AppLists lists;
  MemoryStore store;
  std::string status;
};

}  // namespace

class ConfigDialogTest : public QObject {
  Q_OBJECT

  WindowFixture w_;
  TFormConfig* d_ = nullptr;
  int run_ = 0;
  QString data_;  // a data folder of each test's own

  QCheckBox* Chk(Check c) { return d_->checks_[static_cast<int>(c)]; }
  AppOptions& O() { return w_.form->Options(); }
  std::string PresetFile() { return (data_ + "/quillora/Presets/Color.qcp").toStdString(); }
  QStringList PresetLines() {
    QStringList out;
    for (int i = 0; i < d_->Preset_ListBox->count(); ++i) out << d_->Preset_ListBox->item(i)->text();
    return out;
  }
  void SaveNamed(const std::string& name) {
    d_->SetNameAsker([name](const std::string&, const std::string&) { return std::optional<std::string>(name); });
    d_->SavePreset_Cmd();
  }

 private slots:
  void init() {
    QVERIFY(w_.dir.isValid());
    data_ = w_.P(QString("data%1").arg(++run_));
    qputenv("XDG_DATA_HOME", data_.toUtf8());
    qputenv("XDG_DATA_DIRS", w_.P("system").toUtf8());
    w_.Start();
    d_ = w_.form->ConfigDialog();
    d_->FormShow();
  }
  void cleanup() { w_.Stop(); }

  void showingLoadsTheOptionsAndAppliesNothing() {
    O().TabSize = 50;
    O().RecentMax = 12;
    O().MsgBeep = 5;
    d_->AutoApply_Chk->setChecked(true);
    d_->FormShow();
    QCOMPARE(d_->TabSize1_UpDown->value(), 8);
    QCOMPARE(d_->Sound_Combo->currentIndex(), 5);
    QVERIFY(!d_->Apply_Btn->isEnabled());
    QCOMPARE(O().TabSize, 50);  // not rewritten as 48 just by looking
    QCOMPARE(d_->Editor_Memo->toPlainText(), QString("Editor example\nCourier New  10"));
  }

  void withoutAutoApplyChangesWaitForApply() {
    QVERIFY(!O().Checked(Check::FullPathOpt));
    Chk(Check::FullPathOpt)->click();
    QVERIFY(d_->Apply_Btn->isEnabled());
    QVERIFY(d_->Save_Btn->isEnabled());
    QVERIFY(!O().Checked(Check::FullPathOpt));
    d_->RecentMax_UpDown->setValue(16);
    d_->TabSize1_UpDown->setValue(4);
    d_->Apply_Btn->click();
    QVERIFY(!d_->Apply_Btn->isEnabled());
    QVERIFY(O().Checked(Check::FullPathOpt));
    QVERIFY(w_.form->Action("FullPathOpt")->isChecked());
    QCOMPARE(O().TabSize, 24);
    QCOMPARE(w_.form->Lists().RecentList.size(), std::size_t(16));
    QCOMPARE(w_.form->StatusText(0), std::string("All Setting have been set"));
    QVERIFY(!w_.form->EditorIsBusy());
  }

  void autoApplyAppliesEachChangeWithItsNewValue() {
    d_->AutoApply_Chk->click();
    QVERIFY(!d_->Apply_Btn->isEnabled());
    Chk(Check::StatusBarOpt)->click();
    QVERIFY(!O().Checked(Check::StatusBarOpt));
    QVERIFY(!d_->Apply_Btn->isEnabled());
    // The up-down applies the position it moved to, not the one before.
    d_->TabSize1_UpDown->stepUp();
    QCOMPARE(O().TabSize, 54);
    d_->RecentMax_UpDown->stepDown();
    QCOMPARE(O().RecentMax, 11);
    d_->Sound_Combo->setCurrentIndex(3);
    QCOMPARE(O().MsgBeep, 3);
  }

  void identicalColorsAreRefusedAndOkStillCloses() {
    ScriptedBoxes boxes;
    d_->panels_[1]->SetColor(d_->panels_[0]->ColorValue());
    Chk(Check::AutoIndentOpt)->click();
    d_->Ok_Btn->click();
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"Two identical colors!"});
    QCOMPARE(boxes.seen[0].flags, 16u);
    QVERIFY(!O().Checked(Check::AutoIndentOpt));
    QCOMPARE(d_->result(), int(QDialog::Accepted));
    d_->FormShow();
    d_->panels_[3]->SetColor(0x123456);
    d_->panels_[2]->SetColor(0x123456);
    QVERIFY(!d_->SetSettings_Cmd());
    QVERIFY(boxes.seen.back().text.find("\"Box Background\"") != std::string::npos);
  }

  void defaultSettingsAfterYesOnly() {
    d_->TabSize1_UpDown->setValue(3);
    {
      ScriptedBoxes no({7});
      d_->DefSettings_Btn->click();
      QCOMPARE(no.Captions(), std::vector<std::string>{"Use default settings?"});
    }
    QCOMPARE(d_->TabSize1_UpDown->value(), 3);
    d_->BuildIn_Change(6);
    ScriptedBoxes yes({6});
    d_->DefSettings_Btn->click();
    QCOMPARE(d_->TabSize1_UpDown->value(), 8);
    QCOMPARE(d_->Sound_Combo->currentIndex(), 2);
    QCOMPARE(d_->RecentMax_UpDown->value(), 12);
    QVERIFY(!Chk(Check::FullPathOpt)->isChecked());
    QCOMPARE(d_->panels_[0]->ColorValue(), clWindow);
    QCOMPARE(d_->panels_[3]->ColorValue(), clWindowText);
  }

  void builtInPresetChangesOnlyTheDialog() {
    d_->DlgFontName = "Other";
    d_->BuildIn_Change(6);  // "The Void"
    const std::uint32_t want[4] = {0x000080, 0x0080FF, 0x0000AE, 0xFFFFFF};
    for (int i = 0; i < 4; ++i) QCOMPARE(d_->panels_[i]->ColorValue(), want[i]);
    QCOMPARE(d_->DlgFontName, std::string("Courier New"));
    QCOMPARE(d_->DlgFontSize, 10);
    QCOMPARE(O().BackColor, clWindow);
    d_->Apply_Btn->click();
    QCOMPARE(O().BoxBackColor, 0x0000AEu);
  }

  void presetsSavedDeletedAndReloaded() {
    QCOMPARE(PresetLines(), QStringList{"(No user presets)"});
    d_->BuildIn_Change(1);  // system colors in the swatches
    SaveNamed("first");
    d_->BuildIn_Change(2);
    SaveNamed("second");
    SaveNamed("0123456789abcdef");
    SaveNamed("0123456789abcdefg");  // 17 characters: refused without a word
    SaveNamed("");
    QCOMPARE(PresetLines(), (QStringList{"00:  first", "01:  second", "02:  0123456789abcdef"}));
    // A system color is stored as what it looks like.
    QCOMPARE(d_->Presets()[0].BackColor, ResolveColor(clWindow));
    d_->panels_[0]->SetColor(0x123456);
    d_->Preset_ListBox->setCurrentRow(1);
    QCOMPARE(d_->panels_[0]->ColorValue(), 0x123456u);  // a first current row (the focus) chooses nothing
    d_->Preset_ListBox->setCurrentRow(0);
    d_->Preset_ListBox->setCurrentRow(1);  // an arrow key
    QCOMPARE(d_->panels_[0]->ColorValue(), 0x804000u);
    d_->DeletePreset_Cmd();
    QCOMPARE(PresetLines(), (QStringList{"00:  first", "01:  0123456789abcdef"}));
    QCOMPARE(QFileInfo(QString::fromStdString(PresetFile())).size(), qint64(130));
    d_->FormShow();  // loading replaces the list
    QCOMPARE(PresetLines(), (QStringList{"00:  first", "01:  0123456789abcdef"}));
  }

  void damagedPresetFileIsReportedAndNotRead() {
    QDir().mkpath(data_ + "/quillora/Presets");
    QVERIFY(WriteFile(QString::fromStdString(PresetFile()), QByteArray("QCP\x00\x01\x03", 6) + QByteArray(70, 'x')));
    ScriptedBoxes boxes;
    d_->FormShow();
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"Color presets"});
    QVERIFY(boxes.seen[0].text.find("damaged") != std::string::npos);
    QCOMPARE(PresetLines(), QStringList{"(No user presets)"});
  }

  void unsavedPresetsAreReportedAndKept() {
    QVERIFY(WriteFile(data_, "a file where the folder should be"));
    ScriptedBoxes boxes;
    SaveNamed("kept");
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"Save preset"});
    QCOMPARE(PresetLines(), QStringList{"00:  kept"});
    d_->FormShow();
    QCOMPARE(PresetLines(), QStringList{"00:  kept"});
  }

  void screenAndPrintFonts() {
    d_->SetFontAsker([](const std::string&, int) {
      return std::optional<TFormConfig::FontChoice>(TFormConfig::FontChoice{"Mono", 14});
    });
    d_->ScreenFont_Btn->click();
    QCOMPARE(d_->DlgFontName, std::string("Mono"));
    QCOMPARE(O().FontNameScreen, std::string("Courier New"));  // until applied
    d_->PrintFont_Btn->click();
    QCOMPARE(O().FontNamePrint, std::string("Mono"));  // at once
    d_->SetColorAsker([](std::int64_t) { return std::int64_t(-1); });
    const std::uint32_t before = d_->panels_[2]->ColorValue();
    d_->ColorCtrl_Popup(3);
    QCOMPARE(d_->panels_[2]->ColorValue(), before);
    d_->SetColorAsker([](std::int64_t) { return std::int64_t(0x00FF00); });
    d_->ColorCtrl_Popup(3);
    QCOMPARE(d_->panels_[2]->ColorValue(), 0x00FF00u);
  }

  void swatchesSwapOrCopy() {
    d_->panels_[0]->SetColor(0x111111);
    d_->panels_[1]->SetColor(0x222222);
    d_->panels_[1]->DropFrom(d_->panels_[0], false);
    QCOMPARE(d_->panels_[0]->ColorValue(), 0x222222u);
    QCOMPARE(d_->panels_[1]->ColorValue(), 0x111111u);
    d_->panels_[0]->DropFrom(d_->panels_[1], true);
    QCOMPARE(d_->panels_[0]->ColorValue(), 0x111111u);
    QCOMPARE(d_->panels_[1]->ColorValue(), 0x111111u);
    QCOMPARE(d_->panels_[0]->toolTip(), QString("(Drag'n'Drop)\r\n\r\nHex:  $111111\r\nRGB:  017;017;017;"));
  }

  void recentRowsDeleteTheirOwnEntries() {
    QVERIFY(WriteFile(w_.P("a.txt"), QByteArray(2048, 'a')));
    auto& list = w_.form->Lists().RecentList;
    list = {"", w_.S("a.txt"), "", "/gone/b.txt", "/gone/c.txt", ""};
    d_->PageCtrl1->setCurrentIndex(2);
    QCOMPARE(d_->Recent_ListView->topLevelItemCount(), 3);
    QCOMPARE(d_->Recent_ListView->topLevelItem(0)->text(1), QString("2.0000 kb"));
    QVERIFY(!d_->DelSel_Btn->isEnabled());
    d_->Recent_ListView->topLevelItem(1)->setSelected(true);  // "/gone/b.txt", list entry 3
    QVERIFY(d_->DelSel_Btn->isEnabled());
    d_->DelSel_Btn->click();
    QCOMPARE(list, (std::vector<std::string>{"", w_.S("a.txt"), "", "/gone/c.txt", "", ""}));
    QCOMPARE(d_->Recent_ListView->topLevelItemCount(), 2);
    d_->RemObs_Btn->click();
    QCOMPARE(d_->Recent_ListView->topLevelItemCount(), 1);
    d_->Clear_Btn->click();
    QCOMPARE(d_->Recent_ListView->topLevelItemCount(), 0);
    QVERIFY(!d_->Clear_Btn->isEnabled());
  }

  void registryPageShowsAndClearsTheStore() {
    w_.store.WriteBinary(kBaseKey, "OpenTimer", EncodeTime(30.0 / 24.0));
    w_.store.WriteString(kOptionsKey, "TabSize", "48");
    w_.store.WriteString(kRunKey, "Run0", "ls");
    d_->PageCtrl1->setCurrentIndex(3);
    QCOMPARE(d_->Reg_Combo->count(), 3);  // "", Options, Run
    QCOMPARE(d_->Reg_ListView->topLevelItemCount(), 1);
    QCOMPARE(d_->Reg_ListView->topLevelItem(0)->text(1), QString("06:00:00"));
    d_->Reg_Combo->setCurrentIndex(1);
    d_->Reg_Combo_Change(1);
    QCOMPARE(d_->Reg_ListView->topLevelItem(0)->text(0), QString("TabSize"));

    ScriptedBoxes boxes({6});
    d_->ClearRegKeyBtn->click();
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"Warning! Read carefully"});
    QCOMPARE(d_->Reg_Combo->count(), 1);
    QVERIFY(!w_.store.KeyExists(kOptionsKey));
    QVERIFY(w_.store.ReadValue(kBaseKey, "OpenTimer").has_value());
    QVERIFY(!Chk(Check::SaveAutoOpt)->isChecked());
    QVERIFY(!O().Checked(Check::SaveAutoOpt));
    QVERIFY(!w_.form->Action("SaveAutoOpt")->isChecked());
    QVERIFY(!d_->Apply_Btn->isEnabled());  // unchecking there was no change of the user's
  }

  void menuCommandsOpenTheDialogs() {
    QStringList seen;
    for (const char* name : {"Config1", "Config2", "NumConvert1"}) {
      QAction* a = w_.form->Action(name);
      QVERIFY2(a && a->isEnabled(), name);
      QTimer::singleShot(0, [&seen] {
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
          seen << modal->objectName();
          modal->reject();
        }
      });
      a->trigger();
    }
    QCOMPARE(seen, (QStringList{"FormConfig", "FormConfig", "FormNumber"}));
    QCOMPARE(w_.form->ConfigDialog(), d_);  // made once, kept
  }

  void failureWhileApplyingIsReported() {
    auto owned = std::make_unique<FailingHost>();
    FailingHost* host = owned.get();
    TFormConfig dialog(std::move(owned), nullptr);
    dialog.FormShow();
    QVERIFY(!dialog.Associate_Btn->isEnabled());  // no association dialog in this window
    ScriptedBoxes boxes;
    QVERIFY(!dialog.SetSettings_Cmd());
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"Fatal Error!"});
    QCOMPARE(boxes.seen[0].text, std::string("An error occured while the settings where set!"));
    QCOMPARE(host->status, std::string("Setting all the settings..."));
  }

  void saveAppliesAndWritesTheStore() {
    Chk(Check::AutoIndentOpt)->click();
    d_->Save_Btn->click();
    QVERIFY(!d_->Save_Btn->isEnabled());
    QCOMPARE(w_.store.ReadString(kOptionsKey, "AutoIndent"), std::optional<std::string>("1"));
    QCOMPARE(w_.form->StatusText(0), std::string("Settings saved to registry!"));
  }
};

QTEST_MAIN(ConfigDialogTest)
#include "config_dialog_test.moc"
