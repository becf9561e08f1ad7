// File associations against a fake home: mimeapps.list, our desktop entry,
// the backups in our settings and the templates.
#include <gtest/gtest.h>

#include <algorithm>

#include "dialogs/Associate.h"
#include "dialogs/ConfigFile.h"
#include "dialogs/MimeApps.h"
#include "file_test_support.h"
#include "platform/Store.h"

namespace ql {
namespace {

using qltest::ReadFile;
using qltest::WriteFile;

const char* const kOriginal =
    "# my associations\n"
    "[Default Applications]\n"
    "text/html=firefox.desktop\n"
    "text/plain=gedit.desktop;\n"
    "\n"
    "[Added Associations]\n"
    "text/plain=kate.desktop;\n"
    "image/png=gimp.desktop;\n";

class AssociateTest : public qltest::FileTest {
 protected:
  void SetUp() override {
    FileTest::SetUp();
    cx_.dirs.home = Path("home");
    cx_.dirs.configHome = Path("home/.config");
    cx_.dirs.dataHome = Path("home/.local/share");
    cx_.dirs.configDirs = {Path("etc/xdg")};
    cx_.dirs.dataDirs = {Path("usr/share")};
    cx_.store = &store_;
    cx_.programPath = Path("bin/quillora");
    cx_.icon = "accessories-text-editor";
    cx_.templatesDir = Path("home/Templates");
    cx_.knownTypes = {Txt(), {"log", "text/x-log", false}, {"diz", OwnMimeType("diz"), true}};
    for (const char* d : {"home", "bin", "usr", "usr/share", "usr/share/applications"}) mkdir(Path(d).c_str(), 0755);
    for (const char* app : {"gedit", "kate", "firefox", "gimp"})
      WriteFile(Path("usr/share/applications/") + app + ".desktop", "[Desktop Entry]\nExec=" + std::string(app) + "\n");
  }
  static FileType Txt() { return {"txt", "text/plain", false}; }
  std::string List() const { return cx_.dirs.MimeAppsList(); }
  void Start(const std::string& text) {
    ASSERT_TRUE(MakeFolders(cx_.dirs.configHome));
    WriteFile(List(), text);
  }
  AssocReport Run(AssocCommand c, std::vector<FileType> types = {Txt()}) { return RunAssociation(cx_, c, types); }
  std::optional<std::string> Kept(const char* name, const std::string& mime = "text/plain") {
    return store_.ReadString(BackupKey(mime), name);
  }
  std::string Default(const std::string& mime = "text/plain") {
    return FindMimeEntry(ReadFile(List()), kDefaultApps, mime).value_or("<none>");
  }
  std::string Added(const std::string& mime = "text/plain") {
    return FindMimeEntry(ReadFile(List()), kAddedApps, mime).value_or("<none>");
  }
  static std::string Joined(const std::vector<std::string>& v) {
    std::string out;
    for (const auto& s : v) out += s + "|";
    return out;
  }

  MemoryStore store_;
  AssocContext cx_;
};

TEST_F(AssociateTest, DefaultIsKeptAndRestoredToTheByte) {
  Start(kOriginal);
  AssocReport r = Run(AssocCommand::Default);
  EXPECT_TRUE(r.failures.empty()) << Joined(r.failures);
  EXPECT_EQ(Default(), "quillora.desktop");
  EXPECT_EQ(Kept("RevertToOld"), "=gedit.desktop;");
  EXPECT_EQ(ReadStatus(cx_, Txt()).associated, "Default");
  EXPECT_EQ(ReadStatus(cx_, Txt()).opensWith, "quillora.desktop");
  // Every other line as it was.
  EXPECT_EQ(SetMimeEntry(ReadFile(List()), kDefaultApps, "text/plain", "gedit.desktop;"), kOriginal);
  // Our desktop entry, with the program and the types.
  const std::string entry = ReadFile(cx_.dirs.Applications() + "/quillora.desktop");
  EXPECT_EQ(DesktopEntryValue(entry, "Exec"), Path("bin/quillora") + " %F");
  EXPECT_NE(DesktopEntryValue(entry, "MimeType").find("text/plain;"), std::string::npos);
  EXPECT_EQ(DesktopEntryValue(entry, "Icon"), "accessories-text-editor");

  r = Run(AssocCommand::Unassociate);
  EXPECT_TRUE(r.failures.empty() && r.notes.empty()) << Joined(r.failures) << Joined(r.notes);
  EXPECT_EQ(ReadFile(List()), kOriginal);
  EXPECT_FALSE(store_.KeyExists(kAssociationsKey));  // backups gone once used
  EXPECT_EQ(ReadStatus(cx_, Txt()).associated, "No");
  EXPECT_EQ(ReadStatus(cx_, Txt()).opensWith, "gedit.desktop");
}

TEST_F(AssociateTest, AssociatingAgainKeepsTheFirstBackup) {
  Start(kOriginal);
  Run(AssocCommand::Default);
  Run(AssocCommand::Default);
  EXPECT_EQ(Kept("RevertToOld"), "=gedit.desktop;");
  Run(AssocCommand::Unassociate);
  EXPECT_EQ(ReadFile(List()), kOriginal);
}

TEST_F(AssociateTest, NoEarlierLineIsKeptAsNoneAndRemovedAgain) {
  const std::string original = "[Default Applications]\ntext/html=firefox.desktop\n";
  Start(original);
  Run(AssocCommand::Default);
  EXPECT_EQ(Kept("RevertToOld"), "none");
  Run(AssocCommand::Unassociate);
  EXPECT_EQ(ReadFile(List()), original);
}

TEST_F(AssociateTest, RestoresOnlyWhileStillTheDefault) {
  Start(kOriginal);
  Run(AssocCommand::Default);
  // Another program takes over afterwards.
  WriteFile(List(), SetMimeEntry(ReadFile(List()), kDefaultApps, "text/plain", "kate.desktop"));
  const AssocReport r = Run(AssocCommand::Unassociate);
  EXPECT_EQ(Default(), "kate.desktop");
  ASSERT_EQ(r.notes.size(), 1u);
  EXPECT_NE(r.notes[0].find("another program"), std::string::npos);
  EXPECT_FALSE(Kept("RevertToOld"));
  // Associating now keeps today's value, not the stale one.
  Run(AssocCommand::Default);
  EXPECT_EQ(Kept("RevertToOld"), "=kate.desktop");
}

TEST_F(AssociateTest, RightClickNeverMakesUsTheDefault) {
  Start(kOriginal);
  Run(AssocCommand::RightClick);
  EXPECT_EQ(Default(), "gedit.desktop;");
  EXPECT_EQ(Added(), "kate.desktop;quillora.desktop;");
  EXPECT_EQ(ReadStatus(cx_, Txt()).associated, "Right-click");
  // An unknown type is not made ours either.
  Run(AssocCommand::RightClick, {{"log", "text/x-log", false}});
  EXPECT_EQ(Default("text/x-log"), "<none>");
  EXPECT_EQ(Added("text/x-log"), "quillora.desktop;");

  // From default to the menu only: the old default comes back.
  Run(AssocCommand::Default);
  EXPECT_EQ(Default(), "quillora.desktop");
  Run(AssocCommand::RightClick);
  EXPECT_EQ(Default(), "gedit.desktop;");

  // Only our id leaves the list, also after others joined it.
  WriteFile(List(), SetMimeEntry(ReadFile(List()), kAddedApps, "text/plain", "kate.desktop;quillora.desktop;vim.desktop;"));
  Run(AssocCommand::Unassociate);
  EXPECT_EQ(Added(), "kate.desktop;vim.desktop;");
  Run(AssocCommand::Unassociate, {{"log", "text/x-log", false}});
  EXPECT_EQ(Added("text/x-log"), "<none>");
  EXPECT_EQ(Added("image/png"), "gimp.desktop;");
}

TEST_F(AssociateTest, RemovingCreatesNothing) {
  // A fresh home: no lists, no settings, no Templates folder.
  Run(AssocCommand::Unassociate, {Txt(), {"diz", OwnMimeType("diz"), true}});
  Run(AssocCommand::RemoveShellNew, {Txt()});
  EXPECT_TRUE(qltest::List(Path("home")).empty());
  EXPECT_FALSE(store_.KeyExists("\\Software"));
  EXPECT_EQ(ReadStatus(cx_, Txt()).associated, "No");
  EXPECT_TRUE(qltest::List(Path("home")).empty());
}

TEST_F(AssociateTest, FailuresAreReportedAndChangeNothing) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
    const char* says;
  } cases[] = {
      {"read-only list", [this] { chmod(List().c_str(), 0444); }, "read-only"},
      {"symlinked list",
       [this] {
         WriteFile(Path("dotfiles.list"), kOriginal);
         unlink(List().c_str());
         ASSERT_EQ(symlink(Path("dotfiles.list").c_str(), List().c_str()), 0);
       },
       "symbolic link"},
      {"settings that take no backup", [this] { store_.SetFailWrites(true); }, "previous setting"},
  };
  for (const Case& c : cases) {
    store_ = MemoryStore();
    Start(kOriginal);
    c.arrange();
    const AssocReport r = Run(AssocCommand::Default);
    ASSERT_FALSE(r.failures.empty()) << c.name;
    EXPECT_NE(Joined(r.failures).find(c.says), std::string::npos) << c.name << ": " << Joined(r.failures);
    EXPECT_EQ(ReadFile(List()), kOriginal) << c.name;
    chmod(List().c_str(), 0644);
    unlink(List().c_str());
  }
  // The link itself survives as a link.
  WriteFile(Path("dotfiles.list"), kOriginal);
  ASSERT_EQ(symlink(Path("dotfiles.list").c_str(), List().c_str()), 0);
  Run(AssocCommand::RightClick);
  struct stat st {};
  ASSERT_EQ(lstat(List().c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(ReadFile(Path("dotfiles.list")), kOriginal);
}

TEST_F(AssociateTest, AFolderWeMayNotWriteIsReported) {
  // The config folder belongs to root; the desktop entry's folder to the user.
  ASSERT_TRUE(MakeFolders(cx_.dirs.configHome));
  chmod(Path("home").c_str(), 0755);
  chmod(cx_.dirs.configHome.c_str(), 0755);
  const std::string data = OwnedDir("data");
  cx_.dirs.dataHome = data;
  const std::string out = qltest::InChild(
      [this] {
        const AssocReport r = RunAssociation(cx_, AssocCommand::Default, {Txt()});
        return r.failures.empty() ? std::string("no failure") : r.failures[0];
      },
      true);
  EXPECT_NE(out.find("Could not write in the folder \"" + cx_.dirs.configHome + "\""), std::string::npos) << out;
  EXPECT_NE(access(List().c_str(), F_OK), 0);
}

TEST_F(AssociateTest, ADesktopsOwnListOverridingOursIsReported) {
  Start(kOriginal);
  cx_.dirs.desktops = {"gnome"};
  WriteFile(cx_.dirs.configHome + "/gnome-mimeapps.list", "[Default Applications]\ntext/plain=kate.desktop\n");
  const AssocReport r = Run(AssocCommand::Default);
  ASSERT_EQ(r.notes.size(), 1u) << Joined(r.notes);
  EXPECT_NE(r.notes[0].find("gnome-mimeapps.list"), std::string::npos);
  const AssocRow row = ReadStatus(cx_, Txt());
  EXPECT_EQ(row.opensWith, "kate.desktop");
  EXPECT_EQ(row.overriddenBy, cx_.dirs.configHome + "/gnome-mimeapps.list");
  EXPECT_EQ(row.associated, "Right-click");
  // On another desktop ours counts.
  cx_.dirs.desktops = {"kde"};
  EXPECT_EQ(ReadStatus(cx_, Txt()).associated, "Default");
}

TEST_F(AssociateTest, WithoutAnyDefaultTheInstalledProgramsCacheDecides) {
  Start("[Default Applications]\ntext/html=firefox.desktop\n");
  WriteFile(Path("usr/share/applications/mimeinfo.cache"),
            "[MIME Cache]\ntext/plain=missing.desktop;kate.desktop;\n");
  EXPECT_EQ(ReadStatus(cx_, Txt()).opensWith, "kate.desktop");  // the first one installed
  Run(AssocCommand::Default);
  EXPECT_EQ(ReadStatus(cx_, Txt()).opensWith, "quillora.desktop");
}

TEST_F(AssociateTest, TheEntryNamesOurIconOnlyWhereItIsInstalled) {
  EXPECT_EQ(cx_.dirs.IconName(), "accessories-text-editor");
  ASSERT_TRUE(MakeFolders(Path("usr/share/icons/hicolor/48x48/apps")));
  WriteFile(Path("usr/share/icons/hicolor/48x48/apps/quillora.png"), "png");
  EXPECT_EQ(cx_.dirs.IconName(), "quillora");
}

TEST_F(AssociateTest, AMovedProgramShowsNo) {
  Start(kOriginal);
  Run(AssocCommand::Default);
  cx_.programPath = Path("elsewhere/quillora");
  EXPECT_EQ(ReadStatus(cx_, Txt()).associated, "No");
}

TEST_F(AssociateTest, OurOwnTypesOnlyForUnknownExtensions) {
  Start("");
  const AssocReport r = Run(AssocCommand::RightClick, {{"diz", OwnMimeType("diz"), true}});
  EXPECT_TRUE(r.mimePackageWritten);
  const std::string package = ReadFile(cx_.dirs.dataHome + "/mime/packages/quillora.xml");
  EXPECT_NE(package.find("<mime-type type=\"text/x-quillora-diz\">"), std::string::npos);
  EXPECT_NE(package.find("<glob pattern=\"*.diz\"/>"), std::string::npos);
  EXPECT_EQ(package.find("text/x-log"), std::string::npos);
  EXPECT_EQ(package.find("text/plain\">"), std::string::npos);
  EXPECT_FALSE(Run(AssocCommand::RightClick, {Txt()}).mimePackageWritten);  // unchanged: not rewritten
}

TEST_F(AssociateTest, TemplatesOnlyOursAreRemoved) {
  mkdir(cx_.templatesDir.c_str(), 0755);
  WriteFile(cx_.templatesDir + "/Notes.log", "");  // the user's own
  const std::vector<FileType> types = {Txt(), {"log", "text/x-log", false}, {"diz", OwnMimeType("diz"), true}};
  const AssocReport added = Run(AssocCommand::AddShellNew, types);
  EXPECT_TRUE(added.failures.empty()) << Joined(added.failures);
  EXPECT_EQ(qltest::List(cx_.templatesDir), (std::set<std::string>{"File_id file.diz", "Notes.log", "Text file.txt"}));
  EXPECT_EQ(ReadStatus(cx_, Txt()).shellNew, "Yes");
  WriteFile(cx_.templatesDir + "/File_id file.diz", "filled in by the user");

  const AssocReport removed = Run(AssocCommand::RemoveShellNew, types);
  EXPECT_TRUE(removed.failures.empty()) << Joined(removed.failures);
  EXPECT_EQ(qltest::List(cx_.templatesDir), (std::set<std::string>{"File_id file.diz", "Notes.log"}));
  EXPECT_EQ(removed.notes.size(), 2u) << Joined(removed.notes);  // the changed one, the user's one
  EXPECT_EQ(ReadStatus(cx_, Txt()).shellNew, "No");
  EXPECT_FALSE(store_.KeyExists(kShellNewKey));
}

TEST(AssociateNames, TemplatesAndKeys) {
  EXPECT_EQ(TemplateName("txt"), "Text file.txt");
  EXPECT_EQ(TemplateName("html"), "HTML file.html");
  EXPECT_EQ(TemplateName("bat"), "Batch file.bat");
  EXPECT_EQ(TemplateName("me"), "Read.me file.me");
  EXPECT_EQ(BackupKey("application/xhtml+xml"), std::string(kAssociationsKey) + "\\application\\xhtml+xml");
}

}  // namespace
}  // namespace ql
