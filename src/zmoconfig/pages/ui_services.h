// The user-interface services every form reaches through one seam: message
// boxes, the status line, the hourglass pointer, process starts and the end
// of the program. Tests install scripted services, so no test ever blocks on
// a dialog or starts a real program.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QString>
#include <string>
#include <vector>

namespace zmo::config {

// The three message-box kinds the configurator shows.
enum class MsgButtons {
  Ok,             // OK button, no icon
  YesNo,          // Yes and No buttons, no icon
  YesNoCritical,  // Yes and No buttons with the critical icon
};

enum class MsgAnswer { Ok, Yes, No };

class UiServices {
 public:
  virtual ~UiServices() = default;
  // Shows text in a modal box titled with catalog text 1452; returns the
  // button chosen.
  virtual MsgAnswer MsgBox(const QString& text, MsgButtons buttons);
  // Writes the one text of the main window's status line.
  virtual void SetStatusLine(const QString& text);
  // The status line's text as shown.
  virtual QString StatusLine() const;
  // Turns the hourglass pointer on or off for the whole program.
  virtual void SetHourglass(bool on);
  // Starts argv[0] (searched on PATH) with the other elements as its
  // arguments, each exactly one argument, never through a shell, and does
  // not wait for it. Returns 0, or -1 when the program could not be started.
  virtual int StartProcess(const std::vector<std::string>& argv);
  // Ends the program: leaves the event loop with exit code 0.
  virtual void EndProgram();

  // The label the status line is drawn in (the main window's status bar);
  // nullptr while no main window exists.
  void SetStatusLabel(QLabel* label);

 private:
  QPointer<QLabel> status_label_;
  QString status_text_;
};

// Routes what the data layer shows (status texts, OK boxes, the hourglass)
// to the services in force.
void ConnectDataLayerUi();

// The services in force: the real ones unless a test installed others.
UiServices& Ui();
// Installs services (nullptr restores the real ones); the caller keeps
// ownership.
void SetUiServices(UiServices* services);

}  // namespace zmo::config
