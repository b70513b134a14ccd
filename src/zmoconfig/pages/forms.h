// The forms runtime's life cycle, once for every form: Load runs Form_Load
// once; Show loads when needed, makes the form visible and activates it;
// Activate runs Form_Activate only when another form was active; Hide hides
// without unloading; Unload runs Form_Unload (which may cancel) and then
// destroys the form, so the next use builds it afresh. With key preview on,
// the form sees Enter and Escape in Form_KeyDown before the control that has
// the focus, and a key code set to 0 there keeps the key from the control.
#pragma once

#include <QWidget>

namespace zmo::config {

// Key codes and shift mask bits of Form_KeyDown.
constexpr int kKeyReturn = 13;
constexpr int kKeyEscape = 27;
constexpr int kShiftMask = 1;
constexpr int kCtrlMask = 2;
constexpr int kAltMask = 4;

class FormBase : public QWidget {
  Q_OBJECT
 public:
  explicit FormBase(QWidget* parent = nullptr);
  ~FormBase() override;

  void Load();
  void Show();
  void Hide();
  // Returns true when the form was unloaded, false when Form_Unload
  // cancelled.
  bool Unload();
  // Runs Form_Activate unless this form is the active one among its peers
  // already (the MDI children of one frame, or the top-level forms).
  void Activate();

  bool IsLoaded() const { return loaded_; }
  // True once Unload has removed the form: it is gone with the next pass of
  // the event loop and is not used again.
  bool IsUnloaded() const { return unloaded_; }
  bool IsActive() const { return active_; }
  void SetKeyPreview(bool on);

 protected slots:
  virtual void Form_Load() {}
  virtual void Form_Activate() {}
  virtual void Form_Unload(int& Cancel) { (void)Cancel; }
  virtual void Form_KeyDown(int& KeyCode, int Shift) {
    (void)KeyCode;
    (void)Shift;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // The widget that shows the form: its MDI sub-window, or the form itself.
  QWidget* Frame();
  // Form_Unload; false when cancelled. Leaves the widget alone.
  bool RunUnload();

  bool loaded_ = false;
  bool active_ = false;
  bool unloading_ = false;
  bool unloaded_ = false;
  bool key_preview_ = false;
};

}  // namespace zmo::config
