#include "frmCurrentConfig.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>
#include <utility>

#include "catalog_text.h"
#include "controls.h"
#include "localize.h"
#include "navigation.h"
#include "zmoconfig/loaders.h"

namespace zmo::config {

namespace {

void FillCombo(QComboBox* box, const std::vector<std::string>& entries) {
  box->clear();
  for (const std::string& e : entries) box->addItem(FromAnsi(e));
}

}  // namespace

frmCurrentConfig::frmCurrentConfig(QWidget* parent) : PageForm("frmCurrentConfig", parent) {
  SetTag(this, "1100");
  lblCurrentConfig = NamedControl<QLabel>(this, "lblCurrentConfig", 1102);
  MakeTitle(lblCurrentConfig);
  lblDataSource = NamedControl<QLabel>(this, "lblDataSource", 1101);
  txtDataSource = NamedControl<QLineEdit>(this, "txtDataSource");
  SetTag(txtDataSource, "CLEAR");
  txtDataSource->setReadOnly(true);
  lblServers = NamedControl<QLabel>(this, "lblServers", 1103);
  lstServers = NamedControl<QListWidget>(this, "lstServers");
  lblParams = NamedControl<QLabel>(this, "lblParams", 1104);
  MakeTitle(lblParams);
  lblPrograms = NamedControl<QLabel>(this, "lblPrograms", 1105);
  cmbPrograms = NamedControl<QComboBox>(this, "cmbPrograms");
  lblIDs = NamedControl<QLabel>(this, "lblIDs", 1106);
  cmbIDs = NamedControl<QComboBox>(this, "cmbIDs");
  lblTransactions = NamedControl<QLabel>(this, "lblTransactions", 1107);
  cmbTransactions = NamedControl<QComboBox>(this, "cmbTransactions");
  imgLogo = MakeLogo(this);
  // Each box is named by its label for an accessibility client.
  const std::pair<QLabel*, QWidget*> buddies[] = {{lblDataSource, txtDataSource},
                                                  {lblServers, lstServers},
                                                  {lblPrograms, cmbPrograms},
                                                  {lblIDs, cmbIDs},
                                                  {lblTransactions, cmbTransactions}};
  for (const auto& [label, box] : buddies) label->setBuddy(box);
  connect(LostFocus(cmbTransactions), &ClickRelay::Click, this,
          &frmCurrentConfig::cmbTransactions_LostFocus, Qt::QueuedConnection);

  auto* params = new QGridLayout;
  params->addWidget(lblPrograms, 0, 0);
  params->addWidget(cmbPrograms, 0, 1);
  params->addWidget(lblIDs, 1, 0);
  params->addWidget(cmbIDs, 1, 1);
  params->addWidget(lblTransactions, 2, 0);
  params->addWidget(cmbTransactions, 2, 1);
  params->setColumnStretch(1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(TitleRow(lblCurrentConfig, imgLogo));
  layout->addWidget(lblDataSource);
  layout->addWidget(txtDataSource);
  layout->addWidget(lblServers);
  layout->addWidget(lstServers, 1);
  layout->addWidget(lblParams);
  layout->addLayout(params);
}

bool frmCurrentConfig::Fill() {
  ClearTaggedControls(this);
  lstServers->clear();
  DataSourceValues source;
  LoadDataSource(FormName(), &source);
  txtDataSource->setText(FromAnsi(source.dsn));
  ServerLists lists;
  std::vector<ServerRow> rows;
  const int loaded = LoadServerFileCopy(FormName(), {}, &lists, &rows);
  for (const std::string& host : lists.currentServers) lstServers->addItem(FromAnsi(host));
  std::vector<std::string> entries;
  LoadProgsToIgnore(&entries);
  FillCombo(cmbPrograms, entries);
  entries.clear();
  LoadIDsToIgnore(&entries);
  FillCombo(cmbIDs, entries);
  entries.clear();
  LoadTransToIgnore(&entries);
  FillCombo(cmbTransactions, entries);
  return loaded == kServerLoadOk;
}

void frmCurrentConfig::Form_Load() {
  ResizeToDesign();
  if (Fill()) Status(kTextReady);
  gCurrentForm = this;
}

void frmCurrentConfig::Form_Activate() {
  LocalizeForm(this);
  const bool loaded = Fill();
  for (QComboBox* box : {cmbIDs, cmbPrograms, cmbTransactions}) {
    if (box->count() > 0) SetListIndex(box, 0);
  }
  HideOtherForms(this);
  PlaceChildForm(this);
  SetListExtent(lstServers);
  // A server file that could not be read leaves its notice in view.
  if (loaded) Status(kTextReady);
}

void frmCurrentConfig::cmbTransactions_LostFocus() { FocusTree(); }

}  // namespace zmo::config
