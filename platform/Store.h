// The per-user settings store: a tree of keys holding named values, the
// way the program has always kept its options. Keys are absolute paths with
// backslashes, e.g. "\Software\Norvane Productions\Quillora\Options".
// Strings are 8-bit Windows-1252 text; binary values are raw bytes.
// Two backends: MemoryStore (tests) and QtSettingsStore (the program).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ql {

struct StoreValue {
  enum Kind { String, Binary };
  Kind kind = String;
  std::string data;  // string text or raw bytes

  bool operator==(const StoreValue& o) const { return kind == o.kind && data == o.data; }
};

class Store {
 public:
  virtual ~Store() = default;

  // A key exists once it or one of its subkeys holds a value, or it was created.
  virtual bool KeyExists(const std::string& key) const = 0;
  virtual bool CreateKey(const std::string& key) = 0;
  virtual std::optional<StoreValue> ReadValue(const std::string& key, const std::string& name) const = 0;
  virtual bool WriteValue(const std::string& key, const std::string& name, const StoreValue& value) = 0;
  virtual std::vector<std::string> SubKeys(const std::string& key) const = 0;    // direct children
  virtual std::vector<std::string> ValueNames(const std::string& key) const = 0;
  virtual bool DeleteValue(const std::string& key, const std::string& name) = 0;
  virtual bool DeleteKey(const std::string& key) = 0;  // with every subkey
  // Makes every change so far durable; false when the write failed.
  virtual bool Flush() = 0;

  // Conveniences over the primitives above.
  std::optional<std::string> ReadString(const std::string& key, const std::string& name) const;
  bool WriteString(const std::string& key, const std::string& name, const std::string& text);
  bool WriteBinary(const std::string& key, const std::string& name, const std::string& bytes);
};

// Normalises a key path: one leading backslash, no trailing or doubled ones.
std::string NormalizeKey(const std::string& key);

// In-memory backend for tests; can be told to fail its writes.
class MemoryStore : public Store {
 public:
  bool KeyExists(const std::string& key) const override;
  bool CreateKey(const std::string& key) override;
  std::optional<StoreValue> ReadValue(const std::string& key, const std::string& name) const override;
  bool WriteValue(const std::string& key, const std::string& name, const StoreValue& value) override;
  std::vector<std::string> SubKeys(const std::string& key) const override;
  std::vector<std::string> ValueNames(const std::string& key) const override;
  bool DeleteValue(const std::string& key, const std::string& name) override;
  bool DeleteKey(const std::string& key) override;
  bool Flush() override;

  void SetFailWrites(bool fail) { failWrites_ = fail; }
  int FlushCount() const { return flushes_; }

 private:
  std::map<std::string, std::map<std::string, StoreValue>> keys_;  // normalised key -> values
  bool failWrites_ = false;
  int flushes_ = 0;
};

}  // namespace ql
