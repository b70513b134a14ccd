// Page navigation: the tree's nodes and what each opens, and the module
// procedures that show, hide, place and focus the pages beside the tree.
// Everything runs on the window thread.
#pragma once

#include <QPointer>
#include <QString>

#include "forms.h"

class QLineEdit;
class QWidget;

namespace zmo::config {

class MDIMainForm;

// The tree's image list, by 1-based index.
constexpr int kImgServer = 1, kImgOSCollect = 2, kImgApps = 3, kImgTransGroup = 4,
              kImgCloseFolder = 5, kImgData = 6, kImgID = 7, kImgOpenFolder = 8, kImgSLA = 9,
              kImgSpecRun = 10, kImgTrans = 11;

// Folder number of a node that leaves the folder images as they are.
constexpr int kNoFolder = -1;

// One node of the tree, in the order the tree is built: its key, its parent's
// key (nullptr: a top node), the text it is created with, the catalog id in
// its Tag, its image (top nodes: the folder pair), and what opening it does:
// the page it shows (ShowPage of the page's class; nullptr: none) or the
// main window's log viewer it runs, the folder it marks open first, and
// whether the hourglass shows meanwhile.
struct TreeNodeRow {
  const char* key;
  const char* parent;
  const char* text;
  int id;
  int image;
  void (*page)();
  void (MDIMainForm::*log)();
  int folder;
  bool hourglass;
};

constexpr int kTreeNodeCount = 26;
extern const TreeNodeRow kTreeNodes[kTreeNodeCount];

// The page last activated (nullptr until the first) and the key of the node
// last hit by the mouse.
extern QPointer<FormBase> gCurrentForm;
extern QString gClickedNodeKey;

// Opens what the node of key stands for (compared exactly); a key of no
// node, and a node that opens nothing, does nothing.
void ShowNodeForm(const QString& key);

// Marks folder node number folder (2, 6, 10, 13 or 16; counted from 1 in
// the tree's order) open and the four others closed; 0 closes all five.
// Returns 1, or 0 when the tree is missing.
int SetTreeNodeImages(int folder);

// Hides every page beside the tree but current, and records current as the
// current page.
void HideOtherForms(FormBase* current);

// Puts page beside the tree at the tree's top. A main window wider than its
// designed width widens the page by the difference; the tree keeps its size.
void PlaceChildForm(FormBase* page);

// Gives the focus back to the current page, unless it is one that leaves
// the focus in the tree (the information pages, the server-file chooser).
void ShowCurrentForm();

// Empties the text boxes of form whose Tag is "CLEAR".
void ClearTaggedControls(QWidget* form);

// Selects the whole text of box, gives it the focus and lets pending window
// events run.
void SelectText(QLineEdit* box);

// The focus to the tree; to the form's last focused control, else its first
// control that takes the focus by Tab.
void FocusTree();
void FocusForm(FormBase* form);

}  // namespace zmo::config
