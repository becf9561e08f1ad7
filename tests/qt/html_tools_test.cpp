// The HTML tools through the window's menu items: tag removal and the
// minifier as one undoable step, the wizard's page into the selection, and
// the analyzer's rows and link selection on a page on disk.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <functional>

#include "app/qt/MainQuillora.h"
#include "app/qt/TextToolCommands.h"
#include "dialogs/HtmlWiz.h"
#include "dialogs/qt/AnalyzeDialog.h"
#include "dialogs/qt/ColorPickDialog.h"
#include "dialogs/qt/HtmlWizDialog.h"
#include "platform/MsgBoxCodes.h"
#include "tools/qt/MiniHtmlDialog.h"
#include "TestSupport.h"
#include "WindowFixture.h"

using namespace ql;

class HtmlToolsTest : public QObject, private WindowFixture {
  Q_OBJECT

  void Trigger(const char* name) {
    QAction* a = form->Action(name);
    QVERIFY2(a && a->isEnabled(), name);
    a->trigger();
  }
  // Runs `inside` on the dialog of type D once the command has shown it.
  template <class D>
  void WithDialog(const char* action, std::function<void(D&)> inside) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      D* d = form->findChild<D*>();
      if (!d) return;
      seen = true;
      inside(*d);
      if (d->isVisible()) d->reject();
    });
    Trigger(action);
    QVERIFY2(seen, action);
  }

 private slots:
  void init() { Start(); }
  void cleanup() {
    SetColorPickHook(nullptr);
    Stop();
  }

  void removeTagsIsOneUndoStep() {
    form->SetEditorText("<p>a <b>long</b> story</p>");
    form->SetModified(false);
    ScriptedBoxes boxes({IdYes});
    Trigger("RemHtmlTag1");
    QCOMPARE(form->EditorText(), std::string("a long story"));
    QVERIFY(form->Modified());
    QVERIFY(!form->EditorIsBusy());
    QCOMPARE(boxes.Captions(), (std::vector<std::string>{"Remove HTML Tags?", "Function Result!"}));
    QCOMPARE(form->StatusText(0), std::string("HTML tags removed!"));
    form->Buffer().Undo();
    QCOMPARE(form->EditorText(), std::string("<p>a <b>long</b> story</p>"));
  }

  void minimizeThroughItsDialog() {
    form->SetEditorText("<p>\r\n  x</p>");
    form->SetModified(false);
    ScriptedBoxes boxes;
    WithDialog<TFormMiniHtml>("MiniHtml1", [](TFormMiniHtml& d) {
      QVERIFY(d.CrLfToSpace_Chk->isChecked());
      QVERIFY(d.DelSpace_Chk->isChecked());
      d.Mini_Btn->click();
    });
    QCOMPARE(form->EditorText(), std::string("<p> x</p>"));
    QVERIFY(form->Modified());
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"Function result"});
    form->Buffer().Undo();
    QCOMPARE(form->EditorText(), std::string("<p>\r\n  x</p>"));

    // Cancel leaves the text alone and says nothing.
    WithDialog<TFormMiniHtml>("MiniHtml1", [](TFormMiniHtml& d) { d.Cancel_Btn->click(); });
    QCOMPARE(form->EditorText(), std::string("<p>\r\n  x</p>"));
    QCOMPARE(boxes.seen.size(), std::size_t(1));
  }

  void wizardReplacesTheSelection() {
    form->SetEditorText("keep REPLACED keep");
    form->Buffer().SetSelection(5, 8);
    form->SetModified(false);
    SetColorPickHook([](std::int64_t initial) {
      return initial == 0 ? std::int64_t(0x563412) : std::int64_t(-1);
    });
    WithDialog<TFormHtmlWiz>("HtmlWizard1", [](TFormHtmlWiz& d) {
      QCOMPARE(d.Title_Edit->text(), QString("Untitled"));
      QCOMPARE(d.Meta_Edit->text().toStdString(), MetaValues()[kMetaAuthor]);
      QCOMPARE(d.Meta_Edit->toolTip(), QString("No help for this object!"));
      QVERIFY(d.Meta_Combo->toolTip().isEmpty());
      QCOMPARE(d.TopMarg_Edit->toolTip(), QString("Select a margin size for each property."));
      d.colorButtons_[0]->click();  // picked
      d.colorButtons_[1]->click();  // cancelled: stays white
      QCOMPARE(d.exampleLabels_[0]->palette().color(QPalette::WindowText), QColor(255, 255, 255));
      QCOMPARE(d.ExBack_Panel->palette().color(QPalette::Window), QColor(0x12, 0x34, 0x56));
      d.Meta_Chk->setChecked(false);
      d.Margin_Chk->setChecked(false);
      d.Title_Edit->setText("Mine");
      d.Ok_Btn->click();
    });
    const std::string page =
        "<HTML>\r\n<HEAD>\r\n  <TITLE>Mine</TITLE>\r\n</HEAD>\r\n<BODY BGCOLOR=#123456 TEXT=#FFFFFF "
        "LINK=#0000FF ALINK=#FF0000 VLINK=#800080>\r\n\r\n</BODY>\r\n</HTML>";
    QCOMPARE(form->EditorText(), "keep " + page + " keep");
    QVERIFY(form->Modified());
    form->Buffer().Undo();  // one step
    QCOMPARE(form->EditorText(), std::string("keep REPLACED keep"));

    // Cancel writes nothing.
    WithDialog<TFormHtmlWiz>("HtmlWizard1", [](TFormHtmlWiz& d) { d.Cancel_Btn->click(); });
    QCOMPARE(form->EditorText(), std::string("keep REPLACED keep"));
  }

  void wizardKeepsMetaValuesButRenewsItsOwn() {
    WithDialog<TFormHtmlWiz>("HtmlWizard1", [](TFormHtmlWiz& d) {
      d.Meta_Combo->setCurrentIndex(14);  // Robots
      d.Meta_Edit->setText("noindex");
      d.Meta_Combo->setCurrentIndex(7);   // Generator
      d.Meta_Edit->setText("something else");
      d.Cancel_Btn->click();
    });
    WithDialog<TFormHtmlWiz>("HtmlWizard1", [](TFormHtmlWiz& d) {
      d.Meta_Combo->setCurrentIndex(14);
      QCOMPARE(d.Meta_Edit->text(), QString("noindex"));
      d.Meta_Combo->setCurrentIndex(7);
      QCOMPARE(d.Meta_Edit->text(), QString("Quillora v1.81"));
      d.Meta_Combo->setCurrentIndex(14);
      d.Meta_Edit->clear();
    });
  }

  void pictureAfterSavingIsRelative() {
    QDir(dir.path()).mkpath("img dir");
    WriteFile(P("img dir/b g.gif"), "GIF89a");
    form->SetFileDialogHandler([this](const std::string& kind, const std::string&) {
      if (kind == "save") return std::vector<std::string>{S("page.htm")};
      if (kind == "picture") return std::vector<std::string>{S("img dir/b g.gif")};
      return std::vector<std::string>{};
    });
    ScriptedBoxes boxes({IdYes});
    WithDialog<TFormHtmlWiz>("HtmlWizard1", [](TFormHtmlWiz& d) {
      d.Browse_Btn->click();
      QCOMPARE(d.Background_Edit->text(), QString("img%20dir/b%20g.gif"));
    });
    QCOMPARE(boxes.Captions(), std::vector<std::string>{"Save first?!"});
    QCOMPARE(form->DocFileName(), S("page.htm"));

    // Saved now: no question.
    WithDialog<TFormHtmlWiz>("HtmlWizard1", [](TFormHtmlWiz& d) { d.Browse_Btn->click(); });
    QCOMPARE(boxes.seen.size(), std::size_t(1));
  }

  void pictureWithSaveCancelledStaysAbsolute() {
    WriteFile(P("bg.gif"), "GIF89a");
    form->SetFileDialogHandler([this](const std::string& kind, const std::string&) {
      if (kind == "picture") return std::vector<std::string>{S("bg.gif")};
      return std::vector<std::string>{};  // Save As cancelled
    });
    ScriptedBoxes boxes({IdYes, IdCancel});
    WithDialog<TFormHtmlWiz>("HtmlWizard1", [this](TFormHtmlWiz& d) {
      d.Browse_Btn->click();
      QCOMPARE(d.Background_Edit->text().toStdString(), S("bg.gif"));
      d.Background_Edit->setText("kept");
      d.Browse_Btn->click();  // Cancel: nothing changes
      QCOMPARE(d.Background_Edit->text(), QString("kept"));
    });
    QCOMPARE(form->DocFileName(), std::string("Untitled"));
  }

  void analyzerListsAndSelectsLinks() {
    WriteFile(P("there.htm"), QByteArray(3072, 'x'));
    const QByteArray page =
        "<html><title>My page</title>\r\n"
        "<A HREF=\"there.htm\">one</A> <abbr>x</abbr>\r\n"
        "<a href=\"https://example.org/\"><img src=\"a.gif\"></a>\r\n"
        "<a href=mailto:me@example.org>mail</a> <a href=\"#top\">up</a> <a href=gone.htm>gone</a>\r\n";
    WriteFile(P("page.htm"), page);
    Open("page.htm");
    std::int64_t selStart = -1, selLength = -1;
    WithDialog<TFormAnalyze>("PageAnalyzer1", [&](TFormAnalyze& d) {
      QCOMPARE(d.windowTitle(), QString("Page Analyzer - page.htm"));
      QCOMPARE(d.Gen_ListView->topLevelItemCount(), 5);
      QCOMPARE(d.Gen_ListView->topLevelItem(1)->text(1), QString::number(form->Buffer().TextLength()));
      QCOMPARE(d.Gen_ListView->topLevelItem(2)->text(1), QString("4"));
      QCOMPARE(d.Gen_ListView->topLevelItem(4)->text(1), QString("My page"));
      QVERIFY(!d.Gen_ListView->topLevelItem(0)->text(1).isEmpty());  // the type, the file is on disk
      QCOMPARE(d.Link_ListView->topLevelItemCount(), 5);
      QCOMPARE(d.Link_ListView->topLevelItem(0)->text(2), QString("3.00 kb"));
      QCOMPARE(d.Link_ListView->topLevelItem(1)->text(0), QString("<img src=\"a.gif\">"));
      QCOMPARE(d.Link_ListView->topLevelItem(1)->text(1), QString("https://example.org/"));
      QCOMPARE(d.Link_ListView->topLevelItem(4)->text(2), QString());
      d.Link_ListView->setCurrentItem(d.Link_ListView->topLevelItem(1));
      selStart = form->Buffer().SelStart();
      selLength = form->Buffer().SelLength();
      d.Close_Btn->click();
    });
    const std::string text = form->EditorText();
    const std::string anchor = "<a href=\"https://example.org/\"><img src=\"a.gif\"></a>";
    QCOMPARE(selStart, static_cast<std::int64_t>(text.find(anchor)));
    QCOMPARE(selLength, static_cast<std::int64_t>(anchor.size()));
    QVERIFY(!form->Modified());
  }

  void analyzerOnOtherDocuments() {
    WithDialog<TFormAnalyze>("PageAnalyzer1", [](TFormAnalyze& d) {
      QCOMPARE(d.windowTitle(), QString("Page Analyzer - Untitled"));
      QCOMPARE(d.Gen_ListView->topLevelItemCount(), 0);
      QCOMPARE(d.Link_ListView->topLevelItemCount(), 0);
    });
    WriteFile(P("notes.TXT"), "two words");
    Open("notes.TXT");
    WithDialog<TFormAnalyze>("PageAnalyzer1", [](TFormAnalyze& d) {
      QCOMPARE(d.Gen_ListView->topLevelItemCount(), 4);
      QCOMPARE(d.Gen_ListView->topLevelItem(3)->text(1), QString("2"));
    });
  }
};

QTEST_MAIN(HtmlToolsTest)
#include "html_tools_test.moc"
