// LocalizeForm over every control kind, and the number a Tag holds.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QTreeWidget>

#include "catalog_text.h"
#include "forms.h"
#include "localize.h"

using namespace zmo::config;

namespace {

template <typename T>
T* Named(QWidget* parent, const char* name) {
  auto* w = new T(parent);
  w->setObjectName(name);
  return w;
}

TEST(CatalogText, LongTextsAreNotCut) {
  EXPECT_EQ(CatalogText(1200), "OK");
  EXPECT_GT(CatalogText(1336).size(), 254);
  EXPECT_EQ(CatalogText(1007), "") << "an id the catalog lacks";
}

TEST(LocalizeForm, TranslatesEachControlKind) {
  FormBase form;
  SetTag(&form, "1400");
  auto* label = Named<QLabel>(&form, "lblA");
  SetTag(label, "1301");
  auto* label_no_id = Named<QLabel>(&form, "lblB");
  label_no_id->setText("designed");
  SetTag(label_no_id, "X");
  auto* button = Named<QPushButton>(&form, "cmdOK");
  button->setText("designed");
  SetTag(button, "1200");
  button->setToolTip("1201");
  auto* cleared = Named<QLineEdit>(&form, "txtName");
  cleared->setText("kept");
  SetTag(cleared, "CLEAR");
  auto* check = Named<QCheckBox>(&form, "chkMonday");
  SetTag(check, "1347");
  auto* frame = Named<QGroupBox>(&form, "fraDays");
  SetTag(frame, "1346");
  auto* option = Named<QRadioButton>(&form, "optORA");
  option->setText("Oracle");
  SetTag(option, "1200");
  auto* untagged = Named<QPushButton>(&form, "cmdPlain");
  untagged->setText("designed");
  untagged->setToolTip("a designed tip");

  auto* bar = Named<QMenuBar>(&form, "menuBar");
  QMenu* file = bar->addMenu("1000");
  file->setObjectName("mnuFile");
  QAction* exit = file->addAction("1004");
  exit->setObjectName("mnuExit");
  file->addSeparator();

  auto* tabs = Named<QTabWidget>(&form, "tabMain");
  tabs->addTab(new QWidget, "designed");
  tabs->tabBar()->setTabData(0, "1301");
  tabs->setTabToolTip(0, "1302");

  auto* toolbar = Named<QToolBar>(&form, "tbrMain");
  QAction* tool = toolbar->addAction("t");
  tool->setToolTip("1205");

  auto* listview = Named<QTableWidget>(&form, "lvwServers");
  listview->setColumnCount(2);
  for (int c = 0; c < 2; ++c) {
    auto* header = new QTableWidgetItem("designed");
    header->setData(kTagRole, QString::number(1310 + c));
    listview->setHorizontalHeaderItem(c, header);
  }

  auto* tree = Named<QTreeWidget>(&form, "treConfigurator");
  auto* node = new QTreeWidgetItem(tree);
  SetTag(node, "1100");
  auto* child = new QTreeWidgetItem(node);
  SetTag(child, "1101");

  LocalizeForm(&form);

  EXPECT_EQ(form.windowTitle(), CatalogText(1400));
  EXPECT_EQ(label->text(), "&Application");
  EXPECT_EQ(label_no_id->text(), "") << "a label's Tag that is not a number";
  EXPECT_EQ(button->text(), "OK");
  EXPECT_EQ(button->toolTip(), "Cancel");
  EXPECT_EQ(cleared->text(), "kept");
  EXPECT_EQ(check->text(), "&Monday");
  EXPECT_EQ(frame->title(), CatalogText(1346));
  EXPECT_EQ(option->text(), "Oracle") << "options keep their designed captions";
  EXPECT_EQ(untagged->text(), "designed");
  EXPECT_EQ(untagged->toolTip(), "a designed tip");
  EXPECT_EQ(file->title(), "&File");
  EXPECT_EQ(exit->text(), "E&xit");
  EXPECT_EQ(tabs->tabText(0), "&Application");
  EXPECT_EQ(tabs->tabToolTip(0), "S&LA in seconds");
  EXPECT_EQ(tool->toolTip(), "Add");
  EXPECT_EQ(listview->horizontalHeaderItem(0)->text(), "ID");
  EXPECT_EQ(listview->horizontalHeaderItem(1)->text(), "Password");
  EXPECT_EQ(node->text(0), "Current configuration");
  EXPECT_EQ(child->text(0), "Data source");
  for (QWidget* w : {static_cast<QWidget*>(label), static_cast<QWidget*>(button),
                     static_cast<QWidget*>(option), static_cast<QWidget*>(listview)})
    EXPECT_EQ(w->font().family(), kDialogFontFamily) << w->objectName().toStdString();
  EXPECT_EQ(exit->font().family(), kDialogFontFamily);

  // Localised again (a dialog on each activation), every text stays.
  LocalizeForm(&form);
  EXPECT_EQ(exit->text(), "E&xit");
  EXPECT_EQ(file->title(), "&File");
  EXPECT_EQ(button->toolTip(), "Cancel");
  EXPECT_EQ(tabs->tabToolTip(0), "S&LA in seconds");
  EXPECT_EQ(tool->toolTip(), "Add");
  EXPECT_EQ(button->text(), "OK");
}

TEST(LocalizeForm, LeavesUnnamedObjectsAndOtherFormsAlone) {
  FormBase form;
  auto* unnamed = new QLabel("internal", &form);
  SetTag(unnamed, "1200");
  FormBase* inner = new FormBase(&form);
  inner->setObjectName("frmInner");
  SetTag(inner, "1200");
  inner->setToolTip("1201");
  auto* inner_label = Named<QLabel>(inner, "lblInner");
  inner_label->setText("inner");
  auto* picture = Named<QLabel>(&form, "picAbout");
  picture->setText("picture");
  SetTypeName(picture, "PictureBox");
  LocalizeForm(&form);
  EXPECT_EQ(unnamed->text(), "internal");
  EXPECT_EQ(inner_label->text(), "inner");
  EXPECT_EQ(inner->toolTip(), "1201");
  EXPECT_EQ(inner->windowTitle(), "");
  EXPECT_EQ(picture->text(), "picture");
  EXPECT_EQ(TypeName(picture), "PictureBox");
  EXPECT_EQ(TypeName(inner_label), "Label");
}

TEST(LocalizeForm, ListViewOnATreeWidgetTranslatesItsColumnsNotItsRows) {
  FormBase form;
  auto* list = Named<QTreeWidget>(&form, "lvwList");
  SetTypeName(list, "ListView");
  list->setColumnCount(2);
  SetTag(list->headerItem(), "1313", 0);
  SetTag(list->headerItem(), "1314", 1);
  auto* row = new QTreeWidgetItem(list, QStringList{"PRD", "00"});
  LocalizeForm(&form);
  EXPECT_EQ(list->headerItem()->text(0), "SID");
  EXPECT_EQ(list->headerItem()->text(1), "Instance #");
  EXPECT_EQ(row->text(0), "PRD");
}

}  // namespace
