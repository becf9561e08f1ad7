// File associations on the freedesktop rules: our desktop entry in
// $XDG_DATA_HOME/applications, the default application and the extra
// "open with" entries of a MIME type in $XDG_CONFIG_HOME/mimeapps.list,
// and empty "New file" templates in the user's Templates folder.
//
// Nothing of another program is lost: before a line changes, its value
// (or "none") is kept under "...\Associations\<type>\<subtype>" in our
// settings, and undoing writes it back only while we are still the
// default; only our own desktop id and the templates we made are removed.
#pragma once

#include <string>
#include <vector>

#include "dialogs/XdgDirs.h"

namespace ql {

class Store;

// One check-list item: its caption and its extensions.
struct TypeItem {
  const char* caption;
  std::vector<const char*> exts;
};
const std::vector<TypeItem>& CommonTypes();  // "Co&mmon files"
const std::vector<TypeItem>& SystemTypes();  // "S&ystem files"

// An extension with the MIME type the desktop knows it by; ownDefinition:
// the desktop knows no type for it, so we define one (OwnMimeType).
struct FileType {
  std::string ext;
  std::string mime;
  bool ownDefinition = false;
};
std::string OwnMimeType(const std::string& ext);  // "text/x-quillora-<ext>"
// Our shared-mime-info package for the types we define.
std::string OwnMimePackage(const std::vector<FileType>& types);
// The empty template that offers a type in the file manager's "New" menu.
std::string TemplateName(const std::string& ext);

extern const char* const kAssociationsKey;  // "\Software\Norvane Productions\Quillora\Associations"
extern const char* const kShellNewKey;      // "\Software\Norvane Productions\Quillora\ShellNew"
// Where the previous values of a type are kept.
std::string BackupKey(const std::string& mime);

struct AssocContext {
  XdgDirs dirs;
  Store* store = nullptr;
  std::string programPath;           // the running program
  std::string icon;                  // the desktop entry's Icon
  std::string templatesDir;          // the user's Templates folder
  std::vector<FileType> knownTypes;  // every type of both pages
};

// A row of the status list.
struct AssocRow {
  std::string ext, mime;
  std::string associated;   // "Default", "Right-click" or "No"
  std::string shellNew;     // "Yes" or "No"
  std::string opensWith;    // the effective default's desktop id, "" for none
  std::string overriddenBy; // a desktop's own mimeapps.list that names another default
};
AssocRow ReadStatus(const AssocContext& cx, const FileType& type);

enum class AssocCommand { Default = 1, RightClick = 2, Unassociate = 3, AddShellNew = 4, RemoveShellNew = 5 };

struct AssocReport {
  std::vector<std::string> failures;  // what could not be done, and why
  std::vector<std::string> notes;     // what was left alone on purpose
  bool mimePackageWritten = false;    // the MIME database wants updating
};
AssocReport RunAssociation(const AssocContext& cx, AssocCommand command, const std::vector<FileType>& types);

}  // namespace ql
