// The line-wise mimeapps.list editor and the desktop entry's Exec quoting.
#include <gtest/gtest.h>

#include <functional>

#include "dialogs/MimeApps.h"
#include "dialogs/XdgDirs.h"

namespace ql {
namespace {

const char* const kSample =
    "# kept by hand\n"
    "[Added Associations]\n"
    "text/plain=kate.desktop;\n"
    "\n"
    "[Default Applications]\n"
    "# the browser\n"
    "text/html=firefox.desktop\n"
    "text/plain = gedit.desktop;vim.desktop\n"
    "\n"
    "# trailing comment of the file\n";

TEST(MimeApps, FindsAnEntryOfTheRightSection) {
  struct Case {
    const char* section;
    const char* mime;
    const char* want;  // nullptr: absent
  } cases[] = {
      {kDefaultApps, "text/plain", "gedit.desktop;vim.desktop"},  // spaces around '=' ignored
      {kAddedApps, "text/plain", "kate.desktop;"},
      {kDefaultApps, "text/html", "firefox.desktop"},
      {kAddedApps, "text/html", nullptr},
      {kDefaultApps, "text/plai", nullptr},
      {kRemovedApps, "text/plain", nullptr},
  };
  for (const Case& c : cases) {
    const auto got = FindMimeEntry(kSample, c.section, c.mime);
    if (c.want) {
      ASSERT_TRUE(got.has_value()) << c.section << " " << c.mime;
      EXPECT_EQ(*got, c.want);
    } else {
      EXPECT_FALSE(got.has_value()) << c.section << " " << c.mime;
    }
  }
  // A commented-out entry is no entry.
  EXPECT_FALSE(FindMimeEntry("[Default Applications]\n#text/plain=a.desktop\n", kDefaultApps, "text/plain"));
}

TEST(MimeApps, EditsTouchOnlyTheirLine) {
  struct Case {
    const char* name;
    std::string in;
    std::function<std::string(const std::string&)> edit;
    std::string want;
  } cases[] = {
      {"replace in place keeps order and comments", kSample,
       [](const std::string& t) { return SetMimeEntry(t, kDefaultApps, "text/plain", "quillora.desktop"); },
       "# kept by hand\n[Added Associations]\ntext/plain=kate.desktop;\n\n[Default Applications]\n"
       "# the browser\ntext/html=firefox.desktop\ntext/plain=quillora.desktop\n\n# trailing comment of the file\n"},
      {"new entry goes after the section's last entry, before blank lines and the next section", kSample,
       [](const std::string& t) { return SetMimeEntry(t, kAddedApps, "text/x-log", "quillora.desktop;"); },
       "# kept by hand\n[Added Associations]\ntext/plain=kate.desktop;\ntext/x-log=quillora.desktop;\n\n"
       "[Default Applications]\n# the browser\ntext/html=firefox.desktop\ntext/plain = gedit.desktop;vim.desktop\n"
       "\n# trailing comment of the file\n"},
      {"missing section is added at the end", "[Default Applications]\na/b=x.desktop\n",
       [](const std::string& t) { return SetMimeEntry(t, kAddedApps, "text/plain", "q.desktop;"); },
       "[Default Applications]\na/b=x.desktop\n\n[Added Associations]\ntext/plain=q.desktop;\n"},
      {"empty file", "",
       [](const std::string& t) { return SetMimeEntry(t, kDefaultApps, "text/plain", "q.desktop"); },
       "[Default Applications]\ntext/plain=q.desktop\n"},
      {"no final line break", "[Default Applications]\na/b=x.desktop",
       [](const std::string& t) { return SetMimeEntry(t, kDefaultApps, "text/plain", "q.desktop"); },
       "[Default Applications]\na/b=x.desktop\ntext/plain=q.desktop\n"},
      {"a lone CR ending the file is completed, not left inside the last line",
       "[Default Applications]\r\na/b=x.desktop\r",
       [](const std::string& t) { return SetMimeEntry(t, kDefaultApps, "text/plain", "q.desktop"); },
       "[Default Applications]\r\na/b=x.desktop\r\ntext/plain=q.desktop\r\n"},
      {"a lone CR ending the file, section added", "# note\r",
       [](const std::string& t) { return SetMimeEntry(t, kAddedApps, "text/plain", "q.desktop;"); },
       "# note\r\n\n[Added Associations]\ntext/plain=q.desktop;\n"},
      {"CR LF file stays CR LF", "[Default Applications]\r\na/b=x.desktop\r\n",
       [](const std::string& t) { return SetMimeEntry(t, kDefaultApps, "text/plain", "q.desktop"); },
       "[Default Applications]\r\na/b=x.desktop\r\ntext/plain=q.desktop\r\n"},
      {"replacing keeps the line's own CR LF", "[Default Applications]\r\ntext/plain=x.desktop\r\nz/z=y\r\n",
       [](const std::string& t) { return SetMimeEntry(t, kDefaultApps, "text/plain", "q.desktop"); },
       "[Default Applications]\r\ntext/plain=q.desktop\r\nz/z=y\r\n"},
      {"section header only", "[Default Applications]\n# nothing yet\n",
       [](const std::string& t) { return SetMimeEntry(t, kDefaultApps, "text/plain", "q.desktop"); },
       "[Default Applications]\ntext/plain=q.desktop\n# nothing yet\n"},
      {"remove takes exactly one line", kSample,
       [](const std::string& t) { return RemoveMimeEntry(t, kDefaultApps, "text/plain"); },
       "# kept by hand\n[Added Associations]\ntext/plain=kate.desktop;\n\n[Default Applications]\n"
       "# the browser\ntext/html=firefox.desktop\n\n# trailing comment of the file\n"},
      {"remove of an absent entry changes nothing", kSample,
       [](const std::string& t) { return RemoveMimeEntry(t, kRemovedApps, "text/plain"); }, kSample},
      {"a repeated section: the first entry wins and is the one edited",
       "[Default Applications]\na/b=1\n[Other]\nk=v\n[Default Applications]\ntext/plain=old\n",
       [](const std::string& t) { return SetMimeEntry(t, kDefaultApps, "text/plain", "new"); },
       "[Default Applications]\na/b=1\n[Other]\nk=v\n[Default Applications]\ntext/plain=new\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.edit(c.in), c.want) << c.name;
}

// A CR that does not end its line is a blank, not part of the value, so the
// value kept for undoing reads back the same once written again.
TEST(MimeApps, StrayCarriageReturnIsNoPartOfTheValue) {
  for (const std::string text : {"[Default Applications]\r\ntext/plain=a.desktop;\r ",
                                 "[Default Applications]\ntext/plain=\r a.desktop;\r \t\nz/z=y\n"}) {
    SCOPED_TRACE(text);
    const std::optional<std::string> kept = FindMimeEntry(text, kDefaultApps, "text/plain");
    EXPECT_EQ(kept, std::optional<std::string>("a.desktop;"));
    const std::string set = SetMimeEntry(text, kDefaultApps, "text/plain", "q.desktop");
    EXPECT_EQ(FindMimeEntry(SetMimeEntry(set, kDefaultApps, "text/plain", *kept), kDefaultApps, "text/plain"), kept);
  }
}

TEST(MimeApps, DesktopIdLists) {
  EXPECT_EQ(SplitDesktopIds("a.desktop;b.desktop;"), (std::vector<std::string>{"a.desktop", "b.desktop"}));
  EXPECT_EQ(SplitDesktopIds(" a.desktop ;;b.desktop"), (std::vector<std::string>{"a.desktop", "b.desktop"}));
  EXPECT_TRUE(SplitDesktopIds("").empty());
  EXPECT_EQ(JoinDesktopIds({"a.desktop", "b.desktop"}), "a.desktop;b.desktop;");
}

TEST(DesktopEntry, ExecQuotingFollowsTheRules) {
  struct Case {
    const char* path;
    const char* exec;  // as written in the file
  } cases[] = {
      {"/usr/bin/quillora", "/usr/bin/quillora %F"},
      {"/opt/My Apps/quillora", "\"/opt/My Apps/quillora\" %F"},
      {"/opt/a\"b/q", "\"/opt/a\\\\\"b/q\" %F"},         // \" inside quotes, then \ doubled by the string escape
      {"/opt/$HOME/q", "\"/opt/\\\\$HOME/q\" %F"},
      {"/opt/back\\slash/q", "\"/opt/back\\\\\\\\slash/q\" %F"},
      {"/opt/100%/q", "/opt/100%%/q %F"},                // a lone % would start a field code
      {"/opt/it's/q", "\"/opt/it's/q\" %F"},
      {"/opt/a`b/q", "\"/opt/a\\\\`b/q\" %F"},
      {"/opt/a;b/q", "\"/opt/a;b/q\" %F"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExpectedExec(c.path), c.exec) << c.path;
}

TEST(DesktopEntry, TextAndReadingBack) {
  std::string text, error;
  ASSERT_TRUE(DesktopEntryText("/opt/My Apps/quillora", "accessories-text-editor", {"text/plain", "text/html"}, text,
                               error));
  EXPECT_EQ(DesktopEntryValue(text, "Exec"), ExpectedExec("/opt/My Apps/quillora"));
  EXPECT_EQ(DesktopEntryValue(text, "MimeType"), "text/plain;text/html;");
  EXPECT_EQ(DesktopEntryValue(text, "Type"), "Application");
  EXPECT_EQ(DesktopEntryValue("[Other]\nExec=x\n[Desktop Entry]\nExec = y\n", "Exec"), "y");
  EXPECT_FALSE(DesktopEntryText("/opt/line\nbreak", "i", {}, text, error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(DesktopEntryText("relative/q", "i", {}, text, error));
}

}  // namespace
}  // namespace ql
