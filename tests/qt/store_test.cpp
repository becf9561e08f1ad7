// The store contract, run against the memory store and the settings file
// (also re-read from a copy of the written file), then what only the file
// store does: every byte value through the file, bad files found at start,
// failing writes and two processes writing the same file.
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <memory>
#include <unistd.h>

#include "platform/Store.h"
#include "platform/qt/QtSettingsStore.h"
#include "TestSupport.h"

using namespace ql;

namespace {

const std::string kBase = "\\Software\\Norvane Productions\\Quillora";

std::string AllBytes() {
  std::string s;
  for (int i = 0; i < 256; ++i) s += static_cast<char>(i);
  return s;
}

using Names = std::vector<std::string>;
using Str = std::optional<std::string>;

enum Backend { Memory, File, FileReopened };

// One store of the chosen backend. Reopen() makes later reads come from the
// written file: a new store over a copy of it (a copy, because QSettings
// keeps files it has read in a cache of its own).
class Fixture {
 public:
  Fixture(Backend backend, const QString& dir) : backend_(backend), dir_(dir) {
    if (backend == Memory)
      store_ = std::make_unique<MemoryStore>();
    else
      store_ = std::make_unique<QtSettingsStore>(Next());
  }
  Store& store() { return *store_; }
  void Reopen() {
    if (backend_ != FileReopened) return;
    QVERIFY(store_->Flush());
    const QString written = static_cast<QtSettingsStore&>(*store_).FileName();
    store_.reset();
    const QString copy = Next();
    QVERIFY(QFile::copy(written, copy));
    auto reopened = std::make_unique<QtSettingsStore>(copy);
    QVERIFY2(!reopened->Problem(), reopened->Problem().value_or("").c_str());
    store_ = std::move(reopened);
  }

 private:
  QString Next() { return dir_ + QStringLiteral("/s%1.ini").arg(counter_++); }
  Backend backend_;
  QString dir_;
  int counter_ = 0;
  std::unique_ptr<Store> store_;
};

}  // namespace

class StoreTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir tmp_;
  int files_ = 0;
  QString NewDir() {
    const QString d = tmp_.path() + QStringLiteral("/d%1").arg(files_++);
    QDir().mkpath(d);
    return d;
  }
  void Backends() {
    QTest::addColumn<int>("backend");
    QTest::newRow("memory") << int(Memory);
    QTest::newRow("file") << int(File);
    QTest::newRow("file reopened") << int(FileReopened);
  }

 private slots:
  void keysAndListings_data() { Backends(); }
  void keysAndListings() {
    QFETCH(int, backend);
    Fixture f(Backend(backend), NewDir());
    Store& s = f.store();
    QVERIFY(!s.KeyExists(kBase));
    QVERIFY(s.CreateKey(kBase + "\\Empty"));
    QVERIFY(s.CreateKey(kBase + "\\Empty"));  // again: no harm
    QVERIFY(s.CreateKey(kBase + "\\C\\Colors"));
    QVERIFY(s.WriteString(kBase + "\\B\\Deep", "v", "1"));
    QVERIFY(s.WriteString(kBase + "\\A", "Item1", "x"));
    QVERIFY(s.WriteString(kBase + "\\A", "Item0", "y"));
    QVERIFY(s.WriteString(kBase + "\\A", "Item10", "z"));
    QVERIFY(s.WriteString(kBase, "Top", "t"));
    QVERIFY(s.WriteString(kBase + "\\A\\Sub", "s", "1"));
    f.Reopen();
    Store& r = f.store();
    QVERIFY(r.KeyExists(kBase + "\\Empty"));
    QVERIFY(r.KeyExists("\\Software"));  // parents of a created key exist
    QVERIFY(r.KeyExists(kBase + "\\C"));
    QVERIFY(!r.KeyExists(kBase + "\\Other"));
    QVERIFY(!r.KeyExists(kBase + "\\Empt"));
    QCOMPARE(r.SubKeys(kBase), (Names{"A", "B", "C", "Empty"}));
    QCOMPARE(r.SubKeys(kBase + "\\A"), Names{"Sub"});
    QCOMPARE(r.SubKeys(kBase + "\\Empty"), Names{});
    QCOMPARE(r.SubKeys(kBase + "\\Nothing"), Names{});
    QCOMPARE(r.SubKeys("\\Software"), Names{"Norvane Productions"});
    QCOMPARE(r.ValueNames(kBase + "\\A"), (Names{"Item0", "Item1", "Item10"}));
    QCOMPARE(r.ValueNames(kBase), Names{"Top"});
    QCOMPARE(r.ValueNames(kBase + "\\B"), Names{});      // a key with only subkeys
    QCOMPARE(r.ValueNames(kBase + "\\Empty"), Names{});  // no marker shows
  }

  void readWrite_data() { Backends(); }
  void readWrite() {
    QFETCH(int, backend);
    Fixture f(Backend(backend), NewDir());
    const struct {
      const char* name;
      StoreValue value;
    } table[] = {
        {"Plain", {StoreValue::String, "Courier New"}},
        {"Empty", {StoreValue::String, ""}},
        {"Number", {StoreValue::String, "-2147483643"}},
        {"Comma", {StoreValue::String, "a, b,c"}},
        {"At", {StoreValue::String, "@ByteArray(x)"}},
        {"AtInvalid", {StoreValue::String, "@Invalid()"}},
        {"Blanks", {StoreValue::String, "  lead and trail  "}},
        {"Quotes", {StoreValue::String, "\"quoted\" ; not a comment = [x]"}},
        {"Lines", {StoreValue::String, "a\r\nb\rc\nd"}},
        {"Path", {StoreValue::String, "C:\\Dir\\file.txt"}},
        {"Ansi", {StoreValue::String, "caf\xE9 \x80 \x81 \x9F \xFF"}},
        {"AllBytes", {StoreValue::String, AllBytes()}},
        {"Time", {StoreValue::Binary, std::string("\x00\x00\x00\x00\x00\x00\xF0\x3F", 8)}},
        {"BinaryEmpty", {StoreValue::Binary, ""}},
        {"BinaryAll", {StoreValue::Binary, AllBytes()}},
    };
    for (const auto& row : table) QVERIFY(f.store().WriteValue(kBase, row.name, row.value));
    QVERIFY(f.store().WriteString(kBase, "Kind", "was text"));
    QVERIFY(f.store().WriteBinary(kBase, "Kind", "now bytes"));  // overwrite changes the kind
    f.Reopen();
    for (const auto& row : table) {
      const auto got = f.store().ReadValue(kBase, row.name);
      QVERIFY2(got.has_value(), row.name);
      QVERIFY2(got->kind == row.value.kind, row.name);
      QVERIFY2(got->data == row.value.data, row.name);
    }
    QVERIFY((f.store().ReadValue(kBase, "Kind") == StoreValue{StoreValue::Binary, "now bytes"}));
    QVERIFY(!f.store().ReadString(kBase, "Time"));  // bytes are not a string
    QVERIFY(!f.store().ReadValue(kBase, "Missing"));
    QVERIFY(!f.store().ReadValue(kBase + "\\NoKey", "Plain"));
  }

  void deleting_data() { Backends(); }
  void deleting() {
    QFETCH(int, backend);
    Fixture f(Backend(backend), NewDir());
    Store& s = f.store();
    QVERIFY(s.WriteString(kBase + "\\Run", "Run0", "a"));
    QVERIFY(s.WriteString(kBase + "\\Run", "Run1", "b"));
    QVERIFY(s.WriteString(kBase, "Run", "value"));  // a value and a subkey of one name are two things
    QVERIFY(s.WriteString(kBase + "\\FindReplace", "Find0", "x"));
    QVERIFY(s.WriteString(kBase + "\\FindReplace\\Deeper\\More", "v", "1"));
    QVERIFY(s.CreateKey(kBase + "\\FindReplace\\EmptyChild"));
    QVERIFY(s.WriteString(kBase + "\\FindReplaceX", "keep", "1"));  // same prefix, not below
    QVERIFY(s.WriteString(kBase, "FindReplace", "value of the parent"));
    QVERIFY(s.DeleteValue(kBase + "\\Run", "Run0"));
    QVERIFY(!s.DeleteValue(kBase + "\\Run", "Run0"));
    QVERIFY(!s.DeleteValue(kBase + "\\Missing", "Run0"));
    QVERIFY(s.DeleteValue(kBase, "Run"));
    QVERIFY(s.DeleteValue(kBase + "\\Run", "Run1"));
    QVERIFY(s.DeleteKey(kBase + "\\FindReplace"));
    QVERIFY(!s.DeleteKey(kBase + "\\FindReplace"));
    QVERIFY(!s.DeleteKey(kBase + "\\Never"));
    f.Reopen();
    Store& r = f.store();
    QCOMPARE(r.ValueNames(kBase + "\\Run"), Names{});
    QVERIFY(r.KeyExists(kBase + "\\Run"));  // the key outlives its last value
    QVERIFY(!r.ReadValue(kBase, "Run"));
    QVERIFY(!r.KeyExists(kBase + "\\FindReplace"));
    QVERIFY(!r.KeyExists(kBase + "\\FindReplace\\Deeper\\More"));
    QVERIFY(!r.KeyExists(kBase + "\\FindReplace\\EmptyChild"));
    QVERIFY(!r.ReadValue(kBase + "\\FindReplace", "Find0"));
    QCOMPARE(r.ReadString(kBase + "\\FindReplaceX", "keep"), Str("1"));
    QCOMPARE(r.ReadString(kBase, "FindReplace"), Str("value of the parent"));
    QCOMPARE(r.SubKeys(kBase), (Names{"FindReplaceX", "Run"}));
    // deleted and recreated, as the history lists are saved
    QVERIFY(r.CreateKey(kBase + "\\FindReplace"));
    QVERIFY(r.KeyExists(kBase + "\\FindReplace"));
    QCOMPARE(r.ValueNames(kBase + "\\FindReplace"), Names{});
  }

  void keyPathsAndNames_data() { Backends(); }
  void keyPathsAndNames() {
    QFETCH(int, backend);
    Fixture f(Backend(backend), NewDir());
    Store& s = f.store();
    // one key however the path is written
    QVERIFY(s.WriteString("Software\\Norvane Productions\\Quillora\\Options", "a", "1"));
    QVERIFY(s.WriteString("\\\\Software\\\\Norvane Productions\\Quillora\\Options\\", "b", "2"));
    // names with the characters a file layout could trip on stay apart
    QVERIFY(s.WriteString(kBase + "\\a/b", "n", "slash key"));
    QVERIFY(s.WriteString(kBase + "\\a\\b", "n", "two keys"));
    QVERIFY(s.WriteString(kBase + "\\%25", "n", "percent key"));
    QVERIFY(s.WriteString(kBase, "x/y", "slash"));
    QVERIFY(s.WriteString(kBase, "x\\y", "backslash"));
    QVERIFY(s.WriteString(kBase, "%2F", "percent"));
    QVERIFY(s.WriteString(kBase, "%key", "looks like a marker"));
    QVERIFY(s.WriteString(kBase, "", "default value"));
    QVERIFY(s.WriteString(kBase, "caf\xE9 =;[]", "ansi name"));
    f.Reopen();
    QCOMPARE(f.store().ValueNames(kBase + "\\Options"), (Names{"a", "b"}));
    QCOMPARE(f.store().ReadString(kBase + "\\a/b", "n"), Str("slash key"));
    QCOMPARE(f.store().ReadString(kBase + "\\a\\b", "n"), Str("two keys"));
    QCOMPARE(f.store().ReadString(kBase + "\\%25", "n"), Str("percent key"));
    QCOMPARE(f.store().SubKeys(kBase), (Names{"%25", "Options", "a", "a/b"}));
    QCOMPARE(f.store().ValueNames(kBase), (Names{"", "%2F", "%key", "caf\xE9 =;[]", "x/y", "x\\y"}));
    QCOMPARE(f.store().ReadString(kBase, "x\\y"), Str("backslash"));
    QCOMPARE(f.store().ReadString(kBase, ""), Str("default value"));
    QCOMPARE(f.store().ReadString(kBase, "caf\xE9 =;[]"), Str("ansi name"));
  }

  // ---- the settings file only ----

  void fileIsReadableText() {
    const QString path = NewDir() + "/Quillora.ini";
    {
      QtSettingsStore s(path);
      QVERIFY(s.WriteString(kBase + "\\Options", "FontNameScreen", "caf\xE9 \x80"));
      QVERIFY(s.WriteBinary(kBase, "OpenTimer", std::string(8, '\0')));
      QVERIFY(s.Flush());
    }
    const QByteArray text = FileBytes(path);
    QVERIFY2(text.contains("FontNameScreen=caf\xC3\xA9 \xE2\x82\xAC"), text.constData());  // UTF-8
    QVERIFY(text.contains("OpenTimer=@ByteArray("));
  }

  void emptiedStoreStillOpensClean_data() {
    QTest::addColumn<bool>("handWritten");
    QTest::newRow("written by the store") << false;
    QTest::newRow("written by hand") << true;
  }
  void emptiedStoreStillOpensClean() {
    QFETCH(bool, handWritten);
    const QString path = NewDir() + "/Quillora.ini";
    if (handWritten) QVERIFY(WriteFile(path, "[Software]\nNorvane%20Productions\\Quillora\\a=1\n"));
    {
      QtSettingsStore s(path);
      QVERIFY(!s.Problem());
      if (!handWritten) QVERIFY(s.WriteString(kBase, "a", "1"));
      QCOMPARE(s.ReadString(kBase, "a"), Str("1"));
      QVERIFY(s.DeleteKey("\\Software"));
      QVERIFY(s.Flush());
    }
    QVERIFY(QFileInfo(path).size() > 0);  // an empty file would read as damaged
    QtSettingsStore again(path);
    QVERIFY(!again.Problem());
    QVERIFY(!again.KeyExists("\\Software"));
    QCOMPARE(again.SubKeys("\\"), Names{});
  }

  void keysOutsideTheProgramsRootsAreRefused() {
    QtSettingsStore s(NewDir() + "/Quillora.ini");
    QVERIFY(s.WriteBinary("\\Control Panel\\Appearance", "CustomColors", std::string(64, '\xFF')));
    QVERIFY(!s.WriteString("\\Classes\\.txt", "", "x"));
    QVERIFY(!s.CreateKey("\\General"));
    QVERIFY(!s.WriteString("\\", "top", "x"));
    QVERIFY(!s.KeyExists("\\Classes"));
    QCOMPARE(s.SubKeys("\\"), Names{"Control Panel"});
  }

  void defaultFileIsTheUsersConfigFile() {
    const QByteArray old = qgetenv("XDG_CONFIG_HOME");
    const QString home = NewDir();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home));
    const QString expected = home + "/Norvane Productions/Quillora.ini";
    QCOMPARE(QtSettingsStore::DefaultFileName(), expected);
    {
      QtSettingsStore s;
      QCOMPARE(s.FileName(), expected);
      QVERIFY(s.WriteString(kBase, "x", "1"));
      QVERIFY(s.Flush());
    }
    QVERIFY(QFileInfo::exists(expected));
    qputenv("XDG_CONFIG_HOME", old);
  }

  // One case for each way a file is found bad; which texts are bad is the
  // settings file check's table.
  void badFileIsMovedAside_data() {
    QTest::addColumn<QByteArray>("bytes");
    QByteArray garbage(4096, '\0');
    QRandomGenerator rng(1252);
    for (auto& c : garbage) c = static_cast<char>(rng.bounded(256));
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("random bytes") << garbage;
    QTest::newRow("prose") << QByteArray("Dear diary,\ntoday nothing happened.\n");
    QTest::newRow("another program's groups") << QByteArray("[Window]\nwidth=300\n");
  }

  // A few odd lines cost only themselves: the rest is read, the file is
  // copied before it is rewritten without them, and the user hears once.
  void oddLinesAreLeftOutAndTheRestKept_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("odd");
    QByteArray good;
    {
      const QString path = NewDir() + "/good.ini";
      {
        QtSettingsStore s(path);
        s.WriteString(kBase + "\\RecentList", "Item0", "/home/user/a, \"quoted\" file.txt");
        s.WriteString(kBase + "\\Options", "FontNameScreen", "caf\xE9");
        s.WriteBinary(kBase, "OpenTimer", std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8));
        s.Flush();
      }
      good = FileBytes(path);
    }
    QTest::newRow("a line without =") << good + "just some words\n" << 1;
    QTest::newRow("a byte that is not UTF-8") << good + "Norvane%20Productions\\Quillora\\x=caf\xE9\n" << 1;
    QTest::newRow("another program's section") << QByteArray("[Window]\nwidth=300\n") + good << 2;
    QTest::newRow("a top-level value") << QByteArray("width=300\n") + good << 1;
    QTest::newRow("cut inside a value") << good + "Norvane%20Productions\\Quillora\\y=\"abc, d" << 1;
  }
  void oddLinesAreLeftOutAndTheRestKept() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, odd);
    const QString path = NewDir() + "/Quillora.ini";
    QVERIFY(WriteFile(path, bytes));
    {
      QtSettingsStore s(path);
      QVERIFY(s.Problem());
      const std::string problem = *s.Problem();
      QVERIFY2(problem.find(path.toStdString()) != std::string::npos, problem.c_str());
      QVERIFY2(problem.find((path + ".orig").toStdString()) != std::string::npos, problem.c_str());
      QVERIFY2(problem.find(odd == 1 ? "a line" : std::to_string(odd) + " lines") != std::string::npos, problem.c_str());
      QCOMPARE(s.KeptCopy(), path + ".orig");
      QVERIFY(s.BadCopy().isEmpty());
      QVERIFY(!QFileInfo::exists(path + ".bad"));
      QCOMPARE(FileBytes(path + ".orig"), bytes);
      QCOMPARE(s.ReadString(kBase + "\\RecentList", "Item0"), Str("/home/user/a, \"quoted\" file.txt"));
      QCOMPARE(s.ReadString(kBase + "\\Options", "FontNameScreen"), Str("caf\xE9"));
      QCOMPARE(s.ReadValue(kBase, "OpenTimer")->data, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8));
      QVERIFY(!s.KeyExists("\\Window"));
      QVERIFY(s.IsWritable());
      QVERIFY(s.WriteString(kBase, "after", "1"));
      QVERIFY(s.Flush());
    }
    QtSettingsStore again(path);
    QVERIFY2(!again.Problem(), again.Problem().value_or("").c_str());
    QCOMPARE(again.ReadString(kBase, "after"), Str("1"));
    QCOMPARE(again.ReadString(kBase + "\\Options", "FontNameScreen"), Str("caf\xE9"));
    QVERIFY(!QFileInfo::exists(path + ".orig.1"));
    QCOMPARE(FileBytes(path + ".orig"), bytes);
  }

  // No copy can be made: the rest is still read, nothing is written, and
  // the file stays exactly as it was.
  void oddLinesWithoutACopyLeaveTheFileAlone() {
    const QString path = NewDir() + "/Quillora.ini";
    const QByteArray bytes("[Software]\nNorvane%20Productions\\Quillora\\a=1\nstray\n");
    QVERIFY(WriteFile(path, bytes));
    for (int n = 0; n < 100; ++n)
      QVERIFY(WriteFile(path + ".orig" + (n ? QStringLiteral(".%1").arg(n) : QString()), "x"));
    {
      QtSettingsStore s(path);
      QVERIFY(s.Problem());
      QVERIFY2(s.Problem()->find("will not save") != std::string::npos, s.Problem()->c_str());
      QCOMPARE(s.ReadString(kBase, "a"), Str("1"));
      QVERIFY(!s.IsWritable());
      QVERIFY(!s.WriteString(kBase, "b", "2"));
      QVERIFY(!s.Flush());
    }
    QCOMPARE(FileBytes(path), bytes);
  }
  void badFileIsMovedAside() {
    QFETCH(QByteArray, bytes);
    const QString path = NewDir() + "/Quillora.ini";
    QVERIFY(WriteFile(path, bytes));
    {
      QtSettingsStore s(path);
      QVERIFY(s.Problem());
      QCOMPARE(s.BadCopy(), path + ".bad");
      const std::string problem = *s.Problem();
      QVERIFY2(problem.find(path.toStdString()) != std::string::npos, problem.c_str());
      QVERIFY2(problem.find((path + ".bad").toStdString()) != std::string::npos, problem.c_str());
      QCOMPARE(FileBytes(path + ".bad"), bytes);
      QVERIFY(!s.KeyExists("\\Software"));  // starts empty
      QVERIFY(s.WriteString(kBase, "after", "1"));
      QVERIFY(s.Flush());
    }
    QCOMPARE(FileBytes(path + ".bad"), bytes);  // never written over
    QtSettingsStore again(path);
    QVERIFY(!again.Problem());
    QCOMPARE(again.ReadString(kBase, "after"), Str("1"));
  }

  void unreadableFileIsMovedAside() {
    const QString dir = NewDir();
    // a directory where the file should be
    QVERIFY(QDir().mkpath(dir + "/Quillora.ini/inner"));
    {
      QtSettingsStore s(dir + "/Quillora.ini");
      QVERIFY(s.Problem());
      QVERIFY(QFileInfo(dir + "/Quillora.ini.bad/inner").isDir());
      QVERIFY(s.WriteString(kBase, "a", "1"));
      QVERIFY(s.Flush());
    }
    if (geteuid() == 0) QSKIP("root reads files whatever their mode");
    const QString path = dir + "/locked.ini";
    QVERIFY(WriteFile(path, "[Software]\na=1\n"));
    QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
    QtSettingsStore s(path);
    QVERIFY(s.Problem());
    QVERIFY(QFileInfo::exists(path + ".bad"));
    QVERIFY(s.WriteString(kBase, "a", "1"));
    QVERIFY(s.Flush());
  }

  // Earlier bad copies are never written over; with no free name left the
  // bad file stays where it is and the store refuses every write.
  void badCopiesNeverReplaceEarlierOnes() {
    const QString path = NewDir() + "/Quillora.ini";
    QVERIFY(WriteFile(path + ".bad", "first"));
    QVERIFY(WriteFile(path + ".bad.1", "second"));
    QVERIFY(WriteFile(path, "third"));
    QCOMPARE(QtSettingsStore(path).BadCopy(), path + ".bad.2");
    QCOMPARE(FileBytes(path + ".bad"), QByteArray("first"));
    QCOMPARE(FileBytes(path + ".bad.1"), QByteArray("second"));
    QCOMPARE(FileBytes(path + ".bad.2"), QByteArray("third"));
    for (int n = 3; n < 100; ++n) QVERIFY(WriteFile(path + QStringLiteral(".bad.%1").arg(n), "n"));
    const QByteArray bytes("[Window]\nwidth=300\n");
    QVERIFY(WriteFile(path, bytes));
    {
      QtSettingsStore s(path);
      QVERIFY(s.Problem());
      QVERIFY2(s.Problem()->find("could not be moved") != std::string::npos, s.Problem()->c_str());
      QVERIFY(s.BadCopy().isEmpty());
      QVERIFY(!s.IsWritable());
      QVERIFY(!s.KeyExists("\\Window"));
      QVERIFY(!s.CreateKey(kBase));
      QVERIFY(!s.WriteString(kBase, "a", "1"));
      QVERIFY(!s.WriteBinary(kBase, "b", "1"));
      QVERIFY(!s.DeleteValue(kBase, "a"));
      QVERIFY(!s.DeleteKey("\\Window"));
      QVERIFY(!s.Flush());
    }
    QCOMPARE(FileBytes(path), bytes);
  }

  void unwritableFileFailsEveryWrite() {
    const QString dir = NewDir();
    QVERIFY(WriteFile(dir + "/plain", "a file, not a directory"));
    QtSettingsStore s(dir + "/plain/Quillora.ini");  // its folder can never be made
    QVERIFY(!s.Problem());
    QVERIFY(!s.IsWritable());
    QVERIFY(!s.WriteString(kBase, "a", "1"));
    QVERIFY(!s.CreateKey(kBase));
    QVERIFY(!s.Flush());
    if (geteuid() == 0) return;  // root writes into read-only folders
    const QString locked = NewDir();
    QVERIFY(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    QtSettingsStore r(locked + "/Quillora.ini");
    QVERIFY(!r.WriteString(kBase, "a", "1"));
    QVERIFY(!r.Flush());
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  }

  void twoProcessesWritingKeepEveryValue() {
    const QString path = NewDir() + "/Quillora.ini";
    const QString hammer = QStringLiteral(QL_TEST_HELPER_DIR "/store_hammer");
    const int count = 300;
    QProcess a, b;
    a.start(hammer, {path, "1", QString::number(count)});
    b.start(hammer, {path, "2", QString::number(count)});
    QVERIFY(a.waitForFinished(60000));
    QVERIFY(b.waitForFinished(60000));
    QCOMPARE(a.exitCode(), 0);
    QCOMPARE(b.exitCode(), 0);
    const QString copy = path + ".copy";
    QVERIFY(QFile::copy(path, copy));
    QtSettingsStore s(copy);
    QVERIFY(!s.Problem());
    const std::string key = kBase + "\\Hammer";
    QCOMPARE(s.ValueNames(key).size(), std::size_t(2 * count));
    for (int id = 1; id <= 2; ++id)
      for (int i = 0; i < count; ++i) {
        const std::string name = "W" + std::to_string(id) + "_" + std::to_string(i);
        const std::string want = "caf\xE9 " + std::to_string(id) + " " + std::to_string(i);
        QCOMPARE(s.ReadString(key, name), Str(want));
      }
  }

  // A saved list is saved whole: exactly the saving copy's list, nothing
  // left of another copy's longer one, whichever saved first and however
  // stale the saving copy's view of the file.
  void listsAreSavedWhole() {
    const QString path = NewDir() + "/Quillora.ini";
    const QString helper = QStringLiteral(QL_TEST_HELPER_DIR "/store_lists");
    QProcess a, b;
    for (auto [p, tag] : {std::pair{&a, "A"}, std::pair{&b, "B"}}) {
      p->start(helper, {path, tag});
      QVERIFY(p->waitForReadyRead(10000));
      QCOMPARE(p->readLine().trimmed(), QByteArray("ready"));
    }
    auto save = [](QProcess& p, int n) {
      p.write(QByteArray::number(n) + "\n");
      if (!p.waitForReadyRead(10000)) return QByteArray("timeout");
      return p.readLine().trimmed();
    };
    const struct {
      QProcess* who;
      const char* tag;
      int n;
    } steps[] = {{&a, "A", 8}, {&b, "B", 3}, {&a, "A", 5}, {&b, "B", 12}, {&a, "A", 0}, {&b, "B", 1}};
    int step = 0;
    for (const auto& s : steps) {
      QCOMPARE(save(*s.who, s.n), QByteArray("done"));
      const QString copy = path + QStringLiteral(".copy%1").arg(step++);
      QVERIFY(QFile::copy(path, copy));
      QtSettingsStore read(copy);
      QVERIFY(!read.Problem());
      const std::string key = kBase + "\\FindReplace";
      Names want;
      for (int i = 0; i < s.n; ++i) want.push_back("Find" + std::to_string(i));
      for (int i = 0; i < s.n; ++i) want.push_back("Replace" + std::to_string(i));
      std::sort(want.begin(), want.end());
      QCOMPARE(read.ValueNames(key), want);
      for (int i = 0; i < s.n; ++i)
        QCOMPARE(read.ReadString(key, "Find" + std::to_string(i)), Str(s.tag + std::to_string(i)));
      QVERIFY(read.KeyExists(key));
    }
    for (QProcess* p : {&a, &b}) {
      p->closeWriteChannel();
      QVERIFY(p->waitForFinished(10000));
    }
  }

  // Two copies saving lists as fast as they can: the file ends up holding
  // one save's lists, whole.
  void listsSavedAtOnceStayWhole() {
    const QString path = NewDir() + "/Quillora.ini";
    const QString helper = QStringLiteral(QL_TEST_HELPER_DIR "/store_lists");
    QProcess a, b;
    a.start(helper, {path, "A", "60"});
    b.start(helper, {path, "BB", "60"});
    QVERIFY(a.waitForFinished(60000) && b.waitForFinished(60000));
    QCOMPARE(a.exitCode(), 0);
    QCOMPARE(b.exitCode(), 0);
    const QString copy = path + ".copy";
    QVERIFY(QFile::copy(path, copy));
    QtSettingsStore read(copy);
    const std::string key = kBase + "\\FindReplace";
    const Names names = read.ValueNames(key);
    const std::string first = read.ReadString(key, "Find0").value_or("");
    const std::string prefix = first.substr(0, first.rfind('-') + 1);  // "<tag>-<round>-"
    const std::size_t n = names.size() / 2;
    QVERIFY2(names.size() % 2 == 0, "as many replace entries as find entries");
    for (std::size_t i = 0; i < n; ++i) {
      QCOMPARE(read.ReadString(key, "Find" + std::to_string(i)), Str(prefix + std::to_string(i)));
      QCOMPARE(read.ReadString(key, "Replace" + std::to_string(i)), Str("r" + prefix + std::to_string(i)));
    }
    if (n > 0) {
      const int round = std::stoi(prefix.substr(prefix.find('-') + 1));
      const std::string tag = prefix.substr(0, prefix.find('-'));
      QCOMPARE(n, std::size_t((round * 7 + static_cast<int>(tag.size())) % 13));
    }
  }
};

QTEST_MAIN(StoreTest)
#include "store_test.moc"
