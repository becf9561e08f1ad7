// What the configuration dialog needs from the main window: the options and
// lists it edits, the settings store, and the window's own commands.
#pragma once

#include <QIcon>
#include <string>

#include "app/Options.h"

namespace ql {

class Store;

class ConfigHost {
 public:
  virtual ~ConfigHost() = default;
  virtual AppOptions& Options() = 0;
  virtual AppLists& Lists() = 0;
  virtual Store& SettingsStore() = 0;
  // Where the store keeps its values (shown on the Registry page).
  virtual std::string SettingsLocation() = 0;
  // The window takes the options as they now stand: check marks, word
  // wrap, bars, colors, tab stops, font, title and layout.
  virtual void ApplySettings() = 0;
  virtual void SetSaveAutomatic(bool on) = 0;
  virtual void ShowStatus(const std::string& text) = 0;
  virtual void SaveSettings_Cmd() = 0;
  virtual void PlayCompletionSound(int index) = 0;
  virtual void ClearRecent_Cmd() = 0;
  virtual void RemoveObsolete_Cmd() = 0;
  // The file-association dialog, when the window has one.
  virtual bool CanAssociate() = 0;
  virtual void Associate_Open() = 0;
  virtual QIcon FileIcon(const std::string& path) = 0;
  // The window's images, for the recent page's icon view.
  virtual QList<QIcon> ImageList() = 0;
};

}  // namespace ql
