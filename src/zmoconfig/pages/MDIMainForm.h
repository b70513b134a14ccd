// The main window: the menu bar, the MDI area with the configuration tree
// and one page beside it, and the status line every page writes to.
#pragma once

#include <QHash>
#include <QPointer>

#include "forms.h"
#include "instance.h"

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QMenuBar;
class QStatusBar;

namespace zmo::config {

class frmAbout;
class frmTreeView;

class MDIMainForm : public FormBase {
  Q_OBJECT
 public:
  explicit MDIMainForm(QWidget* parent = nullptr);
  ~MDIMainForm() override;

  QMenuBar* menuBar;
  QMdiArea* mdiArea;
  QStatusBar* staMainStatusBar;
  QLabel* lblStatusText;

  QMenu* mnuFile;
  QAction* mnuExit;
  QMenu* mnuLogs;
  QAction* mnuKLVstatiLog;
  QAction* mnuKLVsnapLog;
  QAction* mnustatiLog;
  QAction* mnusnapLog;
  QAction* mnuLoadStatiLog;
  QAction* mnuLoadSnapLog;
  QAction* mnuAggStatiLog;
  QAction* mnuAggSnapLog;
  QAction* mnuLoaderLog;
  QMenu* mnuOptions;
  QAction* mnuCurrentConfig;
  QMenu* mnuInitialConfig;
  QAction* mnuDataSource;
  QAction* mnuServers;
  QAction* mnuDataRetensionPeriod;
  QMenu* mnuReportConfig;
  QAction* mnuPrograms;
  QAction* mnuIDs;
  QAction* mnuTransactions;
  QMenu* mnuSLA;
  QAction* mnuCustomizedSLA;
  QAction* mnuSystemSLA;
  QMenu* mnuSchedule;
  QAction* mnuSchStatistics;
  QAction* mnuSnap;
  QAction* mnuSpecRun;
  QMenu* mnuDebug;
  QAction* mnuDebugLogFiles;
  QAction* mnuLoaderHalt;
  QMenu* mnuHelpMain;
  QAction* mnuAbout;

  // The tree, and the About box while it is loaded.
  frmTreeView* Tree() const { return tree_; }
  frmAbout* About() const;
  // The page of class Form beside the tree, built on first use (and afresh
  // after it unloaded). Form is a page or dialog class; the window keeps one
  // page per meta-object, so Form declares Q_OBJECT (qobject_cast refuses a
  // class without it when it compiles).
  template <class Form>
  Form* Page() {
    return qobject_cast<Form*>(
        PageOfKind(Form::staticMetaObject, []() -> FormBase* { return new Form; }));
  }
  // What Page runs: the page of kind, made by make when there is none.
  FormBase* PageOfKind(const QMetaObject& kind, FormBase* (*make)());
  // Shows the page of class Form, or page (nothing for nullptr), beside the
  // tree and gives it the focus.
  template <class Form>
  void ShowPage() {
    ShowPage(Page<Form>());
  }
  void ShowPage(FormBase* page);
  // True once the program is ending (exit chosen, or a second instance).
  bool Ending() const { return ending_; }

 public slots:
  void mnuExit_Click();
  void mnuKLVstatiLog_Click();
  void mnuKLVsnapLog_Click();
  void mnuStatiLog_Click();
  void mnuSnapLog_Click();
  void mnuLoadStatiLog_Click();
  void mnuLoadSnapLog_Click();
  void mnuAggStatiLog_Click();
  void mnuAggSnapLog_Click();
  void mnuLoaderLog_Click();
  void mnuOptions_Click();
  void mnuCurrentConfig_Click();
  void mnuDataSource_Click();
  void mnuServers_Click();
  void mnuDataRetensionPeriod_Click();
  void mnuPrograms_Click();
  void mnuIDs_Click();
  void mnuTransactions_Click();
  void mnuCustomizedSLA_Click();
  void mnuSystemSLA_Click();
  void mnuSchStatistics_Click();
  void mnuSnap_Click();
  void mnuSpecRun_Click();
  void mnuDebugLogFiles_Click();
  void mnuLoaderHalt_Click();
  void mnuAbout_Click();

 protected slots:
  void MDIForm_Load();
  void MDIForm_Unload(int& Cancel);
  void Form_Load() override { MDIForm_Load(); }
  void Form_Unload(int& Cancel) override { MDIForm_Unload(Cancel); }

 private:
  void BuildMenus();
  // Shows the log file of BinDir in the viewer.
  void ShowLog(const char* file_name);
  // A check item's toggle of registry switches: the mark flips, then each
  // value is written "True" or "False" in order.
  void ToggleSwitch(QAction* item, std::initializer_list<const char*> values);
  void EndProgram();

  frmTreeView* tree_ = nullptr;
  QHash<const QMetaObject*, QPointer<FormBase>> pages_;
  QPointer<frmAbout> about_;
  InstanceLock instance_;
  bool ending_ = false;
};

// The main window while it exists, or nullptr.
MDIMainForm* MainForm();

}  // namespace zmo::config
