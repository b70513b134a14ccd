#include "MDIMainForm.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>
#include <filesystem>

#include "catalog_text.h"
#include "common/pipeline.h"
#include "frmAbout.h"
#include "frmCurrentConfig.h"
#include "frmDataSource.h"
#include "frmIgnoreLists.h"
#include "frmKeepDays.h"
#include "frmSchStati.h"
#include "frmServers.h"
#include "frmSnapConfig.h"
#include "frmSpecRun.h"
#include "frmSystemSLA.h"
#include "frmTransGroup.h"
#include "frmTreeView.h"
#include "localize.h"
#include "log_viewer.h"
#include "mdi.h"
#include "navigation.h"
#include "page.h"
#include "ui_services.h"
#include "zmoconfig/bin_dir.h"
#include "zmoconfig/registry_wrappers.h"
#include "zmogdlib/config_key.h"

namespace zmo::config {

namespace {

QPointer<MDIMainForm> g_main;

enum class MenuKind { Submenu, Item, CheckItem };

// One entry of the menu bar: its control name, the submenu it sits in
// (nullptr: the bar), the catalog id its caption holds until localisation,
// its shortcut, the handler it runs (a submenu's runs when it opens) and the
// member that names it.
struct MenuRow {
  const char* name;
  QMenu* MDIMainForm::*parent;
  int id;
  const char* shortcut;
  void (MDIMainForm::*handler)();
  MenuKind kind;
  QMenu* MDIMainForm::*menu;
  QAction* MDIMainForm::*item;
};

using K = MenuKind;
using M = MDIMainForm;

// clang-format off
const MenuRow kMenus[] = {
    {"mnuFile", nullptr, 1000, "", nullptr, K::Submenu, &M::mnuFile, nullptr},
    {"mnuExit", &M::mnuFile, 1004, "Ctrl+Q", &M::mnuExit_Click, K::Item, nullptr, &M::mnuExit},
    {"mnuLogs", nullptr, 1001, "", nullptr, K::Submenu, &M::mnuLogs, nullptr},
    {"mnuKLVstatiLog", &M::mnuLogs, 1005, "Ctrl+S", &M::mnuKLVstatiLog_Click, K::Item, nullptr,
     &M::mnuKLVstatiLog},
    {"mnuKLVsnapLog", &M::mnuLogs, 1006, "Ctrl+I", &M::mnuKLVsnapLog_Click, K::Item, nullptr,
     &M::mnuKLVsnapLog},
    {"mnustatiLog", &M::mnuLogs, 1008, "", &M::mnuStatiLog_Click, K::Item, nullptr,
     &M::mnustatiLog},
    {"mnusnapLog", &M::mnuLogs, 1009, "", &M::mnuSnapLog_Click, K::Item, nullptr, &M::mnusnapLog},
    {"mnuLoadStatiLog", &M::mnuLogs, 1011, "", &M::mnuLoadStatiLog_Click, K::Item, nullptr,
     &M::mnuLoadStatiLog},
    {"mnuLoadSnapLog", &M::mnuLogs, 1012, "", &M::mnuLoadSnapLog_Click, K::Item, nullptr,
     &M::mnuLoadSnapLog},
    {"mnuAggStatiLog", &M::mnuLogs, 1014, "", &M::mnuAggStatiLog_Click, K::Item, nullptr,
     &M::mnuAggStatiLog},
    {"mnuAggSnapLog", &M::mnuLogs, 1015, "", &M::mnuAggSnapLog_Click, K::Item, nullptr,
     &M::mnuAggSnapLog},
    {"mnuLoaderLog", &M::mnuLogs, 1017, "", &M::mnuLoaderLog_Click, K::Item, nullptr,
     &M::mnuLoaderLog},
    {"mnuOptions", nullptr, 1002, "", &M::mnuOptions_Click, K::Submenu, &M::mnuOptions, nullptr},
    {"mnuCurrentConfig", &M::mnuOptions, 1018, "", &M::mnuCurrentConfig_Click, K::Item, nullptr,
     &M::mnuCurrentConfig},
    {"mnuInitialConfig", &M::mnuOptions, 1019, "", nullptr, K::Submenu, &M::mnuInitialConfig,
     nullptr},
    {"mnuDataSource", &M::mnuInitialConfig, 1020, "", &M::mnuDataSource_Click, K::Item, nullptr,
     &M::mnuDataSource},
    {"mnuServers", &M::mnuInitialConfig, 1021, "", &M::mnuServers_Click, K::Item, nullptr,
     &M::mnuServers},
    {"mnuDataRetensionPeriod", &M::mnuInitialConfig, 1022, "", &M::mnuDataRetensionPeriod_Click,
     K::Item, nullptr, &M::mnuDataRetensionPeriod},
    {"mnuReportConfig", &M::mnuOptions, 1023, "", nullptr, K::Submenu, &M::mnuReportConfig,
     nullptr},
    {"mnuPrograms", &M::mnuReportConfig, 1024, "", &M::mnuPrograms_Click, K::Item, nullptr,
     &M::mnuPrograms},
    {"mnuIDs", &M::mnuReportConfig, 1025, "", &M::mnuIDs_Click, K::Item, nullptr, &M::mnuIDs},
    {"mnuTransactions", &M::mnuReportConfig, 1026, "", &M::mnuTransactions_Click, K::Item,
     nullptr, &M::mnuTransactions},
    {"mnuSLA", &M::mnuOptions, 1027, "", nullptr, K::Submenu, &M::mnuSLA, nullptr},
    {"mnuCustomizedSLA", &M::mnuSLA, 1028, "", &M::mnuCustomizedSLA_Click, K::Item, nullptr,
     &M::mnuCustomizedSLA},
    {"mnuSystemSLA", &M::mnuSLA, 1029, "", &M::mnuSystemSLA_Click, K::Item, nullptr,
     &M::mnuSystemSLA},
    {"mnuSchedule", &M::mnuOptions, 1030, "", nullptr, K::Submenu, &M::mnuSchedule, nullptr},
    {"mnuSchStatistics", &M::mnuSchedule, 1031, "", &M::mnuSchStatistics_Click, K::Item, nullptr,
     &M::mnuSchStatistics},
    {"mnuSnap", &M::mnuSchedule, 1032, "", &M::mnuSnap_Click, K::Item, nullptr, &M::mnuSnap},
    {"mnuSpecRun", &M::mnuOptions, 1033, "", &M::mnuSpecRun_Click, K::Item, nullptr,
     &M::mnuSpecRun},
    {"mnuDebug", &M::mnuOptions, 1034, "", nullptr, K::Submenu, &M::mnuDebug, nullptr},
    {"mnuDebugLogFiles", &M::mnuDebug, 1035, "", &M::mnuDebugLogFiles_Click, K::CheckItem,
     nullptr, &M::mnuDebugLogFiles},
    {"mnuLoaderHalt", &M::mnuDebug, 1036, "", &M::mnuLoaderHalt_Click, K::CheckItem, nullptr,
     &M::mnuLoaderHalt},
    {"mnuHelpMain", nullptr, 1003, "", nullptr, K::Submenu, &M::mnuHelpMain, nullptr},
    {"mnuAbout", &M::mnuHelpMain, 1039, "", &M::mnuAbout_Click, K::Item, nullptr, &M::mnuAbout},
};
// clang-format on

// The log files of the viewer items, in BinDir.
constexpr const zmo::CollectionRow& kStatiRow = zmo::collectionRow(zmo::Collection::kStati);
constexpr const zmo::CollectionRow& kSnapRow = zmo::collectionRow(zmo::Collection::kSnap);
constexpr const char* kStatiSumLog = kStatiRow.summary->log_name;
constexpr const char* kSnapSumLog = kSnapRow.summary->log_name;
constexpr const char* kStatiLog = zmo::pipelineProgram(zmo::PipelineProgram::kStati).trace_log;
constexpr const char* kSnapLog = zmo::pipelineProgram(zmo::PipelineProgram::kSnap).trace_log;
constexpr const char* kLoadStatiLog = kStatiRow.load_log;
constexpr const char* kLoadSnapLog = kSnapRow.load_log;
constexpr const char* kAggStatiLog = kStatiRow.agg_log;
constexpr const char* kAggSnapLog = kSnapRow.agg_log;
constexpr const char* kLoaderLog = zmo::pipelineProgram(zmo::PipelineProgram::kLoader).trace_log;

}  // namespace

MDIMainForm* MainForm() { return g_main.data(); }

frmAbout* MDIMainForm::About() const { return about_.data(); }

MDIMainForm::MDIMainForm(QWidget* parent) : FormBase(parent) {
  g_main = this;
  setObjectName("MDIMainForm");
  SetTag(this, QString::number(kTextMainTitle));
  menuBar = new QMenuBar(this);
  mdiArea = new QMdiArea(this);
  mdiArea->setObjectName("mdiArea");
  mdiArea->setBackground(palette().window());
  // A window made smaller than the tree and its page scrolls to them: the
  // page's buttons and the tree's foot stay within reach.
  mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  staMainStatusBar = new QStatusBar(this);
  staMainStatusBar->setObjectName("staMainStatusBar");
  staMainStatusBar->setSizeGripEnabled(false);
  lblStatusText = new QLabel(staMainStatusBar);
  SetTypeName(lblStatusText, "Panel");
  staMainStatusBar->addWidget(lblStatusText, 1);
  Ui().SetStatusLabel(lblStatusText);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setMenuBar(menuBar);
  layout->addWidget(mdiArea, 1);
  layout->addWidget(staMainStatusBar);
  BuildMenus();
  connect(mdiArea, &QMdiArea::subWindowActivated, this, [](QMdiSubWindow* sub) {
    if (auto* form = sub ? qobject_cast<FormBase*>(sub->widget()) : nullptr) form->Activate();
  });
  resize(Twips(kMainWidth), Twips(kMainHeight));
}

MDIMainForm::~MDIMainForm() { delete about_.data(); }

void MDIMainForm::BuildMenus() {
  for (const MenuRow& row : kMenus) {
    // A submenu's row comes before the rows of its items.
    QMenu* parent = row.parent ? this->*row.parent : nullptr;
    const QString caption = QString::number(row.id);  // the id until localisation
    const auto handler = row.handler;
    if (row.kind == MenuKind::Submenu) {
      QMenu* menu = parent ? parent->addMenu(caption) : menuBar->addMenu(caption);
      menu->setObjectName(row.name);
      this->*row.menu = menu;
      if (handler) connect(menu, &QMenu::aboutToShow, this, handler);
      continue;
    }
    QAction* item = parent->addAction(caption);
    item->setObjectName(row.name);
    if (*row.shortcut) item->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
    addAction(item);  // its shortcut works wherever the focus is in the window
    this->*row.item = item;
    if (row.kind == MenuKind::CheckItem) {
      item->setCheckable(true);
      // The handler toggles the mark itself: undo the toggle Qt made before
      // it runs.
      connect(item, &QAction::triggered, this, [this, item, handler] {
        item->setChecked(!item->isChecked());
        (this->*handler)();
      });
    } else {
      connect(item, &QAction::triggered, this, handler);
    }
  }
}

void MDIMainForm::MDIForm_Load() {
  LocalizeForm(this);
  tree_ = new frmTreeView;
  AddMdiChild(mdiArea, tree_);
  PlaceTree(tree_);
  tree_->Show();
  ShowPage<frmCurrentConfig>();
  // A second configurator goes this far, then ends without a word.
  if (!instance_.Acquire()) EndProgram();
}

void MDIMainForm::MDIForm_Unload(int& Cancel) {
  (void)Cancel;
  EndProgram();
}

void MDIMainForm::EndProgram() {
  if (ending_) return;
  ending_ = true;
  Ui().EndProgram();
}

FormBase* MDIMainForm::PageOfKind(const QMetaObject& kind, FormBase* (*make)()) {
  QPointer<FormBase>& page = pages_[&kind];
  if (!page || page->IsUnloaded()) page = AddMdiChild(mdiArea, make());
  return page;
}

void MDIMainForm::ShowPage(FormBase* page) {
  if (!page || !tree_) return;
  ShowBesideTree(mdiArea, tree_, page);
  auto* form = qobject_cast<PageForm*>(page);
  if (!form || form->TakesFocus()) FocusForm(page);
}

void MDIMainForm::mnuExit_Click() {
  Unload();
  EndProgram();
}

void MDIMainForm::ShowLog(const char* file_name) {
  // Without a BinDir there is no log to show (never one at the root).
  std::string path;
  std::error_code ec;
  if (BinFilePath(file_name, &path) != kBinDirOk || !std::filesystem::is_regular_file(path, ec)) {
    Ui().MsgBox(CatalogText(kTextLogMissing), MsgButtons::Ok);
    Ui().SetStatusLine(CatalogText(kTextActionFailed));
    return;
  }
  if (Ui().StartProcess(ViewerCommand(path)) != 0)
    Ui().SetStatusLine(CatalogText(kTextActionFailed));
}

void MDIMainForm::mnuKLVstatiLog_Click() { ShowLog(kStatiSumLog); }
void MDIMainForm::mnuKLVsnapLog_Click() { ShowLog(kSnapSumLog); }
void MDIMainForm::mnuStatiLog_Click() { ShowLog(kStatiLog); }
void MDIMainForm::mnuSnapLog_Click() { ShowLog(kSnapLog); }
void MDIMainForm::mnuLoadStatiLog_Click() { ShowLog(kLoadStatiLog); }
void MDIMainForm::mnuLoadSnapLog_Click() { ShowLog(kLoadSnapLog); }
void MDIMainForm::mnuAggStatiLog_Click() { ShowLog(kAggStatiLog); }
void MDIMainForm::mnuAggSnapLog_Click() { ShowLog(kAggSnapLog); }
void MDIMainForm::mnuLoaderLog_Click() { ShowLog(kLoaderLog); }

void MDIMainForm::mnuOptions_Click() {
  mnuDebugLogFiles->setChecked(GetRegValue(zmo::cfg::kSnapDebug) == zmo::cfg::kTrue);
  mnuLoaderHalt->setChecked(GetRegValue(zmo::cfg::kLoadDebug) == zmo::cfg::kTrue);
}

void MDIMainForm::ToggleSwitch(QAction* item, std::initializer_list<const char*> values) {
  const bool mark = !item->isChecked();
  item->setChecked(mark);
  for (const char* name : values) SetRegValue(name, mark ? zmo::cfg::kTrue : "False");
}

void MDIMainForm::mnuDebugLogFiles_Click() {
  ToggleSwitch(mnuDebugLogFiles, {zmo::cfg::kSnapDebug, zmo::cfg::kStatiDebug});
}

void MDIMainForm::mnuLoaderHalt_Click() { ToggleSwitch(mnuLoaderHalt, {zmo::cfg::kLoadDebug}); }

void MDIMainForm::mnuCurrentConfig_Click() { ShowPage<frmCurrentConfig>(); }
void MDIMainForm::mnuDataSource_Click() { ShowPage<frmDataSource>(); }
void MDIMainForm::mnuServers_Click() { ShowPage<frmServers>(); }
void MDIMainForm::mnuDataRetensionPeriod_Click() { ShowPage<frmKeepDays>(); }
void MDIMainForm::mnuPrograms_Click() { ShowPage<frmProgsToIgnore>(); }
void MDIMainForm::mnuIDs_Click() { ShowPage<frmIDsToIgnore>(); }
void MDIMainForm::mnuTransactions_Click() { ShowPage<frmTransToIgnore>(); }
void MDIMainForm::mnuCustomizedSLA_Click() { ShowPage<frmTransGroup>(); }
void MDIMainForm::mnuSystemSLA_Click() { ShowPage<frmSystemSLA>(); }
void MDIMainForm::mnuSchStatistics_Click() { ShowPage<frmSchStati>(); }
void MDIMainForm::mnuSnap_Click() { ShowPage<frmSnapConfig>(); }
void MDIMainForm::mnuSpecRun_Click() { ShowPage<frmSpecRun>(); }

void MDIMainForm::mnuAbout_Click() {
  if (!about_) about_ = new frmAbout;
  about_->Show();
}

}  // namespace zmo::config
