// The HTML wizard's page text, META table, hints and picture paths.
#include <gtest/gtest.h>

#include "dialogs/HtmlWiz.h"

using namespace ql;

namespace {

WizardPage Defaults() {
  WizardPage p;
  p.title = "Untitled";
  p.metaValues[kMetaAuthor] = "user1";
  p.metaValues[kMetaDate] = "05.12.2026";
  p.metaValues[kMetaGenerator] = "Quillora v1.81";
  return p;
}

TEST(HtmlWizard, DefaultPage) {
  EXPECT_EQ(GenerateHtmlPage(Defaults()),
            "<HTML>\r\n<HEAD>\r\n  <TITLE>Untitled</TITLE>\r\n"
            "  <META NAME=\"Author\" CONTENT=\"user1\">\r\n"
            "  <META NAME=\"Date\" CONTENT=\"05.12.2026\">\r\n"
            "  <META NAME=\"Generator\" CONTENT=\"Quillora v1.81\">\r\n"
            "</HEAD>\r\n"
            "<BODY BGCOLOR=#000000 TEXT=#FFFFFF LINK=#0000FF ALINK=#FF0000 VLINK=#800080 TOPMARGIN=15 "
            "LEFTMARGIN=10 RIGHTMARGIN=10>\r\n\r\n</BODY>\r\n</HTML>");
}

TEST(HtmlWizard, Options) {
  struct Case {
    const char* what;
    void (*change)(WizardPage&);
    std::string body;  // the BODY tag
  } cases[] = {
      {"nothing included",
       [](WizardPage& p) { p.meta = p.colors = p.margins = false; }, "<BODY>"},
      {"fixed without background",
       [](WizardPage& p) { p.colors = p.margins = false; p.fixedBackground = true; }, "<BODY>"},
      {"fixed background",
       [](WizardPage& p) { p.colors = p.margins = false; p.background = "img/bg.gif"; p.fixedBackground = true; },
       "<BODY BACKGROUND=\"img/bg.gif\" BGPROPERTIES=fixed>"},
      {"quote and blank in the file name",
       [](WizardPage& p) { p.colors = p.margins = false; p.background = "my \"bg\".gif"; },
       "<BODY BACKGROUND=\"my%20&quot;bg&quot;.gif\">"},
      {"empty and odd margins",
       [](WizardPage& p) { p.colors = false; p.topMargin = ""; p.leftMargin = "x"; },
       "<BODY TOPMARGIN= LEFTMARGIN=x RIGHTMARGIN=10>"},
      {"colors",
       [](WizardPage& p) { p.margins = false; p.back = 0x563412; p.vlink = 0x80000005; },
       "<BODY BGCOLOR=#123456 TEXT=#FFFFFF LINK=#0000FF ALINK=#FF0000 VLINK=#000000>"},
  };
  for (const Case& c : cases) {
    WizardPage p = Defaults();
    c.change(p);
    const std::string page = GenerateHtmlPage(p);
    EXPECT_NE(page.find("\r\n" + c.body + "\r\n\r\n</BODY>\r\n</HTML>"), std::string::npos) << c.what << "\n"
                                                                                           << page;
  }
  WizardPage bare = Defaults();
  bare.meta = bare.colors = bare.margins = false;
  bare.title = "";
  EXPECT_EQ(GenerateHtmlPage(bare),
            "<HTML>\r\n<HEAD>\r\n  <TITLE></TITLE>\r\n</HEAD>\r\n<BODY>\r\n\r\n</BODY>\r\n</HTML>");
}

TEST(HtmlWizard, MetaLinesInListOrderWithQuotesEscaped) {
  WizardPage p = Defaults();
  p.colors = p.margins = false;
  p.metaValues = {};
  p.metaValues[16] = "2";
  p.metaValues[9] = "a \"b\" c";
  p.metaValues[14] = "noindex";
  EXPECT_EQ(GenerateHtmlPage(p),
            "<HTML>\r\n<HEAD>\r\n  <TITLE>Untitled</TITLE>\r\n"
            "  <META NAME=\"KeyWords\" CONTENT=\"a &quot;b&quot; c\">\r\n"
            "  <META NAME=\"Robots\" CONTENT=\"noindex\">\r\n"
            "  <META NAME=\"Version\" CONTENT=\"2\">\r\n"
            "</HEAD>\r\n<BODY>\r\n\r\n</BODY>\r\n</HTML>");
}

TEST(HtmlWizard, MetaValuesAreCutAndKept) {
  SetMetaValue(14, std::string(300, 'r'));
  EXPECT_EQ(MetaValues()[14], std::string(255, 'r'));
  SetMetaValue(17, "ignored");
  SetMetaValue(-1, "ignored");
  EXPECT_EQ(MetaValues().size(), 17u);
  EXPECT_STREQ(kMetaNames[9], "KeyWords");
  EXPECT_STREQ(kMetaNames[16], "Version");
  SetMetaValue(14, "");
}

TEST(HtmlWizard, Hints) {
  EXPECT_EQ(WizardHint(0), "No help for this object!");
  EXPECT_EQ(WizardHint(23), "Select a color to the each property.");
  EXPECT_EQ(WizardHint(34), "Select a margin size for each property.");
  EXPECT_EQ(WizardHint(33), "Select a margin size for each property.");
  EXPECT_EQ(WizardHint(10), "Choose wheter the meta information should be included.");
  EXPECT_EQ(WizardHint(5), "");
  EXPECT_EQ(WizardHint(26), "");
}

TEST(HtmlWizard, PicturePaths) {
  struct Case {
    const char* doc;
    const char* picture;
    const char* path;
  } cases[] = {
      {"/web/index.htm", "/web/img/bg.gif", "img/bg.gif"},
      {"/web/index.htm", "/pics/bg.gif", "../pics/bg.gif"},
      {"/web/site/index.htm", "/web/my pics/b g.gif", "../my%20pics/b%20g.gif"},
      {"/web/index.htm", "/web/100%.gif", "100%25.gif"},
      {"/web/index.htm", "/web/caf\xC3\xA9.gif", "caf\xE9.gif"},
      // Save As cancelled: no folder to be relative to.
      {"Untitled", "/home/u/my pic.gif", "/home/u/my%20pic.gif"},
  };
  for (const Case& c : cases) EXPECT_EQ(PicturePath(c.doc, c.picture), c.path) << c.picture;
}

}  // namespace
