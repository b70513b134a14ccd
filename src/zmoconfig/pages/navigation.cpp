#include "navigation.h"

#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTreeWidget>

#include "MDIMainForm.h"
#include "frmCurrentConfig.h"
#include "frmDataSource.h"
#include "frmIgnoreLists.h"
#include "frmInfoPages.h"
#include "frmKeepDays.h"
#include "frmSchStati.h"
#include "frmServers.h"
#include "frmSnapConfig.h"
#include "frmSpecRun.h"
#include "frmSystemSLA.h"
#include "frmTransGroup.h"
#include "frmTreeView.h"
#include "localize.h"
#include "mdi.h"
#include "page.h"
#include "ui_services.h"

namespace zmo::config {

QPointer<FormBase> gCurrentForm;
QString gClickedNodeKey;

namespace {

using M = MDIMainForm;

// The folder nodes, by their number in the tree.
constexpr int kFolderNodes[] = {2, 6, 10, 13, 16};

}  // namespace

const TreeNodeRow kTreeNodes[kTreeNodeCount] = {
    {"ndCurrentConfig", nullptr, "Current configuration", 1100, kImgCloseFolder,
     &ShowPage<frmCurrentConfig>, nullptr, kNoFolder, false},
    {"ndInitialConfig", nullptr, "Initial configuration", 1108, kImgCloseFolder,
     &ShowPage<frmInitConfig>, nullptr, 2, false},
    {"ndDataSource", "ndInitialConfig", "Repository database", 1113, kImgData,
     &ShowPage<frmDataSource>, nullptr, 2, false},
    {"ndServer", "ndInitialConfig", "Server", 1114, kImgServer, &ShowPage<frmServers>, nullptr, 2,
     false},
    {"ndKeepDays", "ndInitialConfig", "Data retension period", 1115, kImgData,
     &ShowPage<frmKeepDays>, nullptr, 2, false},
    {"ndReportConfig", nullptr, "Report configuration", 1109, kImgCloseFolder,
     &ShowPage<frmRepConfig>, nullptr, 6, false},
    {"ndProgsToIgnore", "ndReportConfig", "Programs to exclude", 1116, kImgApps,
     &ShowPage<frmProgsToIgnore>, nullptr, 6, false},
    {"ndIDsToIgnore", "ndReportConfig", "IDs to exclude", 1117, kImgID, &ShowPage<frmIDsToIgnore>,
     nullptr, 6, false},
    {"ndTransToIgnore", "ndReportConfig", "Transactions to exclude", 1118, kImgTrans,
     &ShowPage<frmTransToIgnore>, nullptr, 6, false},
    {"ndSLA", nullptr, "Service level agreement", 1110, kImgCloseFolder, &ShowPage<frmSLAconfig>,
     nullptr, 10, false},
    {"ndSLAapplications", "ndSLA", "Application SLA", 1119, kImgSLA, &ShowPage<frmTransGroup>,
     nullptr, 10, true},
    {"ndSystemSLA", "ndSLA", "All Transaction SLA", 1120, kImgSLA, &ShowPage<frmSystemSLA>, nullptr,
     10, false},
    {"ndSchedule", nullptr, "Schedule", 1111, kImgCloseFolder, &ShowPage<frmSchConfig>, nullptr, 13,
     false},
    {"ndSchStati", "ndSchedule", "Schedule statistics", 1121, kImgOSCollect, &ShowPage<frmSchStati>,
     nullptr, 13, false},
    {"ndSnapConfig", "ndSchedule", "Schedule indicator", 1122, kImgOSCollect,
     &ShowPage<frmSnapConfig>, nullptr, 13, false},
    {"ndLogs", nullptr, "Logs", 1112, kImgCloseFolder, nullptr, nullptr, kNoFolder, false},
    {"ndKLVstatiLog", "ndLogs", "Statistics log", 1123, kImgTransGroup, nullptr,
     &M::mnuKLVstatiLog_Click, 16, false},
    {"ndKLVsnapLog", "ndLogs", "Indicator log", 1124, kImgTransGroup, nullptr,
     &M::mnuKLVsnapLog_Click, 16, false},
    {"ndStatiLog", "ndLogs", "Statistics collection log", 1126, kImgTransGroup, nullptr,
     &M::mnuStatiLog_Click, 16, false},
    {"ndSnapLog", "ndLogs", "Indicator collection log", 1127, kImgTransGroup, nullptr,
     &M::mnuSnapLog_Click, 16, false},
    {"ndLoadStatiLog", "ndLogs", "Statistics load log", 1129, kImgTransGroup, nullptr,
     &M::mnuLoadStatiLog_Click, 16, false},
    {"ndLoadSnapLog", "ndLogs", "Indicator load log", 1130, kImgTransGroup, nullptr,
     &M::mnuLoadSnapLog_Click, 16, false},
    {"ndAggStatiLog", "ndLogs", "Statistics aggregation log", 1132, kImgTransGroup, nullptr,
     &M::mnuAggStatiLog_Click, 16, false},
    {"ndAggSnapLog", "ndLogs", "Indicator aggregation log", 1133, kImgTransGroup, nullptr,
     &M::mnuAggSnapLog_Click, 16, false},
    {"ndLoaderLog", "ndLogs", "DB load settings log", 1135, kImgTransGroup, nullptr,
     &M::mnuLoaderLog_Click, 16, false},
    {"ndSpecRun", nullptr, "Special run", 1136, kImgSpecRun, &ShowPage<frmSpecRun>, nullptr, 0,
     false},
};

void ShowNodeForm(const QString& key) {
  MDIMainForm* main = MainForm();
  if (!main || key.isEmpty()) return;
  for (const TreeNodeRow& row : kTreeNodes) {
    if (key != QLatin1String(row.key)) continue;
    if (!row.page && !row.log) return;  // a folder of logs only
    if (row.folder != kNoFolder) SetTreeNodeImages(row.folder);
    if (row.log) {
      (main->*row.log)();
      return;
    }
    if (row.hourglass) Ui().SetHourglass(true);
    row.page();
    if (row.hourglass) Ui().SetHourglass(false);
    return;
  }
}

int SetTreeNodeImages(int folder) {
  MDIMainForm* main = MainForm();
  frmTreeView* tree = main ? main->Tree() : nullptr;
  if (!tree) return 0;
  for (int number : kFolderNodes) {
    QTreeWidgetItem* node = tree->Node(number);
    if (!node) return 0;
    frmTreeView::SetNodeImage(node, number == folder ? kImgOpenFolder : kImgCloseFolder);
  }
  return 1;
}

void HideOtherForms(FormBase* current) {
  if (MDIMainForm* main = MainForm()) {
    for (QMdiSubWindow* sub : main->mdiArea->subWindowList()) {
      auto* form = qobject_cast<FormBase*>(sub->widget());
      if (!form || form == main->Tree() || form == current) continue;
      form->Hide();
    }
  }
  gCurrentForm = current;
}

void PlaceChildForm(FormBase* page) {
  MDIMainForm* main = MainForm();
  frmTreeView* tree = main ? main->Tree() : nullptr;
  if (!tree) return;
  auto* page_sub = qobject_cast<QMdiSubWindow*>(page->parentWidget());
  auto* tree_sub = qobject_cast<QMdiSubWindow*>(tree->parentWidget());
  const int widened = main->width() - Twips(kMainWidth) + Twips(kPageWidth);
  if (widened > Twips(kPageWidth)) page->resize(widened, page->height());
  if (page_sub) {
    page_sub->resize(page->size());
    page_sub->move(Twips(kTreeWidth), tree_sub ? tree_sub->y() : 0);
  }
  tree->resize(Twips(kTreeWidth), Twips(kTreeHeight));
  if (tree_sub) tree_sub->resize(tree->size());
}

void ShowCurrentForm() {
  MDIMainForm* main = MainForm();
  if (!main) return;
  auto* page = qobject_cast<PageForm*>(gCurrentForm.data());
  if (page && !page->IsUnloaded() && page->TabReturnsHere()) FocusForm(page);
}

void ClearTaggedControls(QWidget* form) {
  for (QLineEdit* box : form->findChildren<QLineEdit*>()) {
    if (Tag(box) == QLatin1String("CLEAR")) box->clear();
  }
}

void SelectText(QLineEdit* box) {
  box->setSelection(0, static_cast<int>(box->text().size()));
  box->setFocus(Qt::OtherFocusReason);
  QCoreApplication::processEvents();
}

void FocusTree() {
  MDIMainForm* main = MainForm();
  if (!main || !main->Tree()) return;
  main->Tree()->treConfigurator->setFocus(Qt::OtherFocusReason);
}

void FocusForm(FormBase* form) {
  QWidget* target = form->focusWidget();
  if (!target || !form->isAncestorOf(target)) {
    target = nullptr;
    for (QWidget* w = form->nextInFocusChain(); w && w != form; w = w->nextInFocusChain()) {
      if (form->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() &&
          w->isVisibleTo(form)) {
        target = w;
        break;
      }
    }
  }
  if (target) {
    target->setFocus(Qt::OtherFocusReason);
  } else {
    form->setFocus(Qt::OtherFocusReason);
  }
}

}  // namespace zmo::config
