// The color picker dialog: views follow the New Color, popup commands,
// drops and swaps, custom colors saved on OK only.
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "dialogs/ColorPick.h"
#include "dialogs/qt/ColorPickDialog.h"
#include "platform/Store.h"
#include "TestSupport.h"

using namespace ql;

class ColorPickTest : public QObject {
  Q_OBJECT

  static QString Edit(TFormColorPick& d, int i) { return d.channelEdits_[i]->text(); }

 private slots:
  void systemColorStartsAtBlack() {
    MemoryStore store;
    TFormColorPick d(nullptr, store, 0x80000005, "");
    QCOMPARE(d.windowTitle(), QString("Pick Color v1.43"));
    QCOMPARE(d.OldCol_Panel->ColorValue(), Color(0));
    QCOMPARE(d.NewCol_Panel->ColorValue(), Color(0));
    QCOMPARE(d.BlendB_Panel->ColorValue(), Color(0xFFFFFF));
    QCOMPARE(d.Percent_Label->text(), QString("Blend = 0.0% / #000000"));
    QCOMPARE(d.SysCol_Combo->count(), 28);
    QCOMPARE(d.palette_.size(), std::size_t(29));
    TFormColorPick named(nullptr, store, 0x123456, "Select text color");
    QCOMPARE(named.windowTitle(), QString("Select text color"));
    QCOMPARE(named.Hex_Edit->text(), QString("563412"));
  }

  void typingIntoTheBoxes() {
    MemoryStore store;
    TFormColorPick d(nullptr, store, 0, "");
    d.show();
    d.channelEdits_[0]->setFocus();
    d.channelEdits_[0]->selectAll();
    QTest::keyClicks(d.channelEdits_[0], "300");
    QCOMPARE(Edit(d, 0), QString("255"));
    QCOMPARE(d.Result(), Color(0x0000FF));
    QCOMPARE(d.Hex_Edit->text(), QString("FF0000"));
    QTest::keyClick(d.channelEdits_[0], Qt::Key_Minus);
    QCOMPARE(Edit(d, 0), QString("254"));
    QTest::keyClick(d.channelEdits_[0], Qt::Key_X);  // discarded
    QCOMPARE(Edit(d, 0), QString("254"));

    d.Hex_Edit->setFocus();
    d.Hex_Edit->selectAll();
    QTest::keyClicks(d.Hex_Edit, "f");
    QCOMPARE(d.Hex_Edit->text(), QString("F"));  // not rewritten, upper case
    QCOMPARE(d.Result(), Color(0x0F0000));
    QCOMPARE(Edit(d, 0), QString("0"));
    QCOMPARE(Edit(d, 2), QString("15"));
    QTest::keyClicks(d.Hex_Edit, "z");
    QCOMPARE(d.Hex_Edit->palette().color(QPalette::Text), QColor(Qt::red));
    QCOMPARE(d.Result(), Color(0x0F0000));
    d.Hex_Edit->selectAll();
    QTest::keyClicks(d.Hex_Edit, "#ff8000");
    QCOMPARE(d.Result(), Color(0x0080FF));
  }

  void popupCommandsAndDrops() {
    MemoryStore store;
    TFormColorPick d(nullptr, store, 0x563412, "");
    d.Negative_Cmd();
    QCOMPARE(d.Hex_Edit->text(), QString("EDCBA9"));
    d.NewCol_Panel->SetColor(0);
    d.SetStandardDialog([](Color) { return std::optional<Color>(0xFFFFFF); });
    d.BlendColor_Cmd();
    QCOMPARE(d.Hex_Edit->text(), QString("7F7F7F"));
    d.SetStandardDialog([](Color) { return std::optional<Color>(); });
    d.PickColor_Cmd();  // cancelled: unchanged
    QCOMPARE(d.Hex_Edit->text(), QString("7F7F7F"));

    // The 75 % red on Blend to: only the bar's end changes.
    ColorSwatch* red75 = d.palette_[1];
    d.DropOn(d.BlendB_Panel, red75->ColorValue(), red75, false);
    QCOMPARE(d.BlendB_Panel->ColorValue(), Color(0x0000C0));
    QCOMPARE(d.Result(), Color(0x7F7F7F));
    QCOMPARE(Edit(d, 0), QString("127"));
    QCOMPARE(d.Blend_Img->ColorAt(256), Color(0x0000C0));
    // A swap from New Color onto Blend from.
    d.BlendA_Panel->SetColor(0x112233);
    d.DropOn(d.BlendA_Panel, d.NewCol_Panel->ColorValue(), d.NewCol_Panel, true);
    QCOMPARE(d.BlendA_Panel->ColorValue(), Color(0x7F7F7F));
    QCOMPARE(d.NewCol_Panel->ColorValue(), Color(0x112233));
    QCOMPARE(d.Hex_Edit->text(), QString("332211"));
    d.BlendHover(91);
    QVERIFY(d.Percent_Label->text().startsWith("Blend = 50.0% / #"));
  }

  void customColorsAreSavedOnOkOnly() {
    MemoryStore store;
    QColorDialog::setCustomColor(0, QColor(0xFF, 0x80, 0x00));
    {
      TFormColorPick d(nullptr, store, 0, "");
      d.reject();
    }
    QVERIFY(LoadCustomColors(store).empty());
    {
      TFormColorPick d(nullptr, store, 0, "");
      QVERIFY(d.Ok_Cmd());
    }
    const std::vector<Color> saved = LoadCustomColors(store);
    QCOMPARE(saved.size(), std::size_t(16));
    QCOMPARE(saved[0], Color(0x0080FF));
    // Loaded back into the standard dialog on the next show.
    QColorDialog::setCustomColor(0, QColor(Qt::black));
    TFormColorPick again(nullptr, store, 0, "");
    QCOMPARE(QColorDialog::customColor(0), QColor(0xFF, 0x80, 0x00));
  }
};

QTEST_MAIN(ColorPickTest)
#include "color_pick_test.moc"
