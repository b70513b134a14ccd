// What the data layer shows the user, through a seam the page layer fills
// with its status line, message boxes and mouse pointer. Tests install a
// recording one. Texts are Windows-1252 bytes.
#pragma once

#include <string>

namespace zmo::config {

class ConfigUi {
 public:
  virtual ~ConfigUi() = default;
  // The status line of the main window shows catalog text id.
  virtual void StatusText(int id) = 0;
  // A message box with an OK button, no icon and the title text 1452.
  virtual void MessageOk(const std::string& text) = 0;
  // The hourglass pointer on (true) or the default pointer back (false).
  virtual void Hourglass(bool on) = 0;
};

// The seam in force: the one installed, else one that shows nothing.
ConfigUi& configUi();
// Installs ui (nullptr: the silent one again). The caller keeps ownership.
void SetConfigUi(ConfigUi* ui);

}  // namespace zmo::config
