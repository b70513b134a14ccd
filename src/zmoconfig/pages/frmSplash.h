// The start-up form: shows the splash picture while its one-shot timer reads
// BinDir and loads the group files, waits until 3 seconds have passed since
// the tick began (not when the command line holds "-D"), then opens the main
// window and unloads itself.
#pragma once

#include <QStringList>
#include <functional>

#include "forms.h"

class QLabel;
class QTimer;

namespace zmo::config {

// The wait of the splash, in milliseconds of the clock seam.
constexpr int kSplashWaitMillis = 3000;
// The tick of the splash timer.
constexpr int kSplashTimerMillis = 100;

// True when the command line (the arguments after the program's name)
// upper-cased holds "-D" anywhere.
bool CommandLineSkipsWait(const QStringList& arguments);

class frmSplash : public FormBase {
  Q_OBJECT
 public:
  // arguments: the command line after the program's name.
  explicit frmSplash(const QStringList& arguments, QWidget* parent = nullptr);

  QLabel* imgSplash;
  QTimer* tmrSplash;

  bool SkipWait() const { return bSkipWait; }
  // Showing a splash-screen window before the event loop runs makes Qt
  // handle pending events, the timer's tick among them, inside this call.
  void setVisible(bool visible) override;
  // The group loads of the tick; tests replace them.
  std::function<void()> LoadGroups;

 public slots:
  void tmrSplash_Timer();

 protected slots:
  void Form_Load() override;

 private:
  QStringList arguments_;
  bool bSkipWait = false;
  bool in_set_visible_ = false;
};

}  // namespace zmo::config
