#include "platform/Store.h"

#include <set>

namespace ql {

std::string NormalizeKey(const std::string& key) {
  std::string out;
  out.reserve(key.size() + 1);
  for (char c : key) {
    if (c == '\\') {
      if (out.empty() || out.back() != '\\') out += '\\';
    } else {
      if (out.empty()) out += '\\';
      out += c;
    }
  }
  if (out.size() > 1 && out.back() == '\\') out.pop_back();
  if (out.empty()) out = "\\";
  return out;
}

std::optional<std::string> Store::ReadString(const std::string& key, const std::string& name) const {
  auto v = ReadValue(key, name);
  if (!v || v->kind != StoreValue::String) return std::nullopt;
  return v->data;
}

bool Store::WriteString(const std::string& key, const std::string& name, const std::string& text) {
  return WriteValue(key, name, StoreValue{StoreValue::String, text});
}

bool Store::WriteBinary(const std::string& key, const std::string& name, const std::string& bytes) {
  return WriteValue(key, name, StoreValue{StoreValue::Binary, bytes});
}

namespace {
bool IsBelow(const std::string& key, const std::string& parent) {
  if (parent == "\\") return key != "\\";
  return key.size() > parent.size() && key.compare(0, parent.size(), parent) == 0 &&
         key[parent.size()] == '\\';
}
}  // namespace

bool MemoryStore::KeyExists(const std::string& key) const {
  const std::string k = NormalizeKey(key);
  if (keys_.count(k)) return true;
  for (const auto& [name, values] : keys_)
    if (IsBelow(name, k)) return true;
  return false;
}

bool MemoryStore::CreateKey(const std::string& key) {
  if (failWrites_) return false;
  keys_[NormalizeKey(key)];
  return true;
}

std::optional<StoreValue> MemoryStore::ReadValue(const std::string& key, const std::string& name) const {
  auto k = keys_.find(NormalizeKey(key));
  if (k == keys_.end()) return std::nullopt;
  auto v = k->second.find(name);
  if (v == k->second.end()) return std::nullopt;
  return v->second;
}

bool MemoryStore::WriteValue(const std::string& key, const std::string& name, const StoreValue& value) {
  if (failWrites_) return false;
  keys_[NormalizeKey(key)][name] = value;
  return true;
}

std::vector<std::string> MemoryStore::SubKeys(const std::string& key) const {
  const std::string k = NormalizeKey(key);
  std::set<std::string> children;
  for (const auto& [name, values] : keys_) {
    if (!IsBelow(name, k)) continue;
    std::string rest = name.substr(k == "\\" ? 1 : k.size() + 1);
    children.insert(rest.substr(0, rest.find('\\')));
  }
  return {children.begin(), children.end()};
}

std::vector<std::string> MemoryStore::ValueNames(const std::string& key) const {
  std::vector<std::string> names;
  auto k = keys_.find(NormalizeKey(key));
  if (k != keys_.end())
    for (const auto& [name, value] : k->second) names.push_back(name);
  return names;
}

bool MemoryStore::DeleteValue(const std::string& key, const std::string& name) {
  if (failWrites_) return false;
  auto k = keys_.find(NormalizeKey(key));
  return k != keys_.end() && k->second.erase(name) > 0;
}

bool MemoryStore::DeleteKey(const std::string& key) {
  if (failWrites_) return false;
  const std::string k = NormalizeKey(key);
  bool found = false;
  for (auto it = keys_.begin(); it != keys_.end();) {
    if (it->first == k || IsBelow(it->first, k)) {
      it = keys_.erase(it);
      found = true;
    } else {
      ++it;
    }
  }
  return found;
}

bool MemoryStore::Flush() {
  ++flushes_;
  return !failWrites_;
}

}  // namespace ql
