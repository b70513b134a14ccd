#include "frmDataSource.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <iterator>

#include "catalog_text.h"
#include "common/db_kind.h"
#include "common/db_tools.h"
#include "controls.h"
#include "localize.h"
#include "navigation.h"
#include "ui_services.h"
#include "zmoconfig/data_source.h"

namespace zmo::config {

namespace {

QLineEdit* TaggedBox(QWidget* parent, const char* name) {
  auto* box = NamedControl<QLineEdit>(parent, name);
  SetTag(box, "CLEAR");
  return box;
}

// An option captioned with a product name or a version, which no catalog
// translates.
QRadioButton* Option(QWidget* parent, const char* name, const char* caption) {
  auto* option = NamedControl<QRadioButton>(parent, name);
  option->setText(QLatin1String(caption));
  return option;
}

// The kind options, one per kind of the shared kind table (which names the
// kind's DB value and its client program): the option, its name and
// caption, and its Click.
struct KindOption {
  zmo::DbKind kind;
  QRadioButton* frmDataSource::*option;
  const char* name;
  const char* caption;
  void (frmDataSource::*click)();
};
using F = frmDataSource;
const KindOption kKindOptions[] = {
    {zmo::DbKind::kOracle, &F::optORA, "optORA", "Oracle", &F::optORA_Click},
    {zmo::DbKind::kCorva, &F::optCorva, "optCorva", "Corva", &F::optCorva_Click},
    {zmo::DbKind::kMssql, &F::optMSSQL, "optMSSQL", "MS SQL Server", &F::optMSSQL_Click},
    {zmo::DbKind::kSybase, &F::optSybase, "optSybase", "Sybase", &F::optSybase_Click},
    {zmo::DbKind::kTessel, &F::optTessel, "optTessel", "Tessel", &F::optTessel_Click},
};
static_assert(std::size(kKindOptions) == zmo::kDbKindCount);

// The Oracle client version options and their names, in the order of the
// shared version table, which gives each its version and caption.
struct VersionOption {
  QRadioButton* frmDataSource::*option;
  const char* name;
};
const VersionOption kVersionOptions[] = {
    {&F::optORA73, "optORA73"}, {&F::optORA80, "optORA80"}, {&F::optORA81, "optORA81"}};
static_assert(std::size(kVersionOptions) == std::size(zmo::kOracleVersions));

}  // namespace

frmDataSource::frmDataSource(QWidget* parent) : PageForm("frmDataSource", parent) {
  SetTag(this, "1113");
  lblTitle = NamedControl<QLabel>(this, "lblTitle", 1321);
  MakeTitle(lblTitle);
  lblTitle->setWordWrap(true);
  imgLogo = MakeLogo(this);

  fraDBtype = NamedControl<QGroupBox>(this, "fraDBtype", 1325);
  for (const KindOption& k : kKindOptions) this->*k.option = Option(fraDBtype, k.name, k.caption);
  // The version and the instance sit beside their kinds, in frames without
  // a caption of their own.
  fraORAversion = NamedControl<QGroupBox>(fraDBtype, "fraORAversion");
  for (size_t i = 0; i < std::size(kVersionOptions); ++i) {
    this->*kVersionOptions[i].option =
        Option(fraORAversion, kVersionOptions[i].name, zmo::kOracleVersions[i].label);
  }
  fraCorvaInstance = NamedControl<QGroupBox>(fraDBtype, "fraCorvaInstance");
  lblCorvaInst = NamedControl<QLabel>(fraCorvaInstance, "lblCorvaInst", 1369);
  txtCorvainst = TaggedBox(fraCorvaInstance, "txtCorvainst");
  lblCorvaInst->setBuddy(txtCorvainst);

  lblDataSource = NamedControl<QLabel>(this, "lblDataSource", 1322);
  txtDSN = TaggedBox(this, "txtDSN");
  lblUserID = NamedControl<QLabel>(this, "lblUserID", 1323);
  txtUserID = TaggedBox(this, "txtUserID");
  lblPassword = NamedControl<QLabel>(this, "lblPassword", 1324);
  txtPassword = TaggedBox(this, "txtPassword");
  txtPassword->setEchoMode(QLineEdit::Password);
  cmdOK = NamedControl<QPushButton>(this, "cmdOK", 1200);
  cmdCancel = NamedControl<QPushButton>(this, "cmdCancel", 1201);

  // The kinds exclude each other, and so do the versions; the version frame
  // sits inside the kinds' frame, but choosing a version leaves the kind.
  OptionGroup(KindOptions());
  OptionGroup(VersionOptions());
  // Tab follows the page from top to bottom: a kind, then what belongs to
  // it beside it.
  QWidget* const order[] = {optORA,       optORA73,    optORA80,  optORA81,  optCorva,
                            txtCorvainst, optMSSQL,    optSybase, optTessel, txtDSN,
                            txtUserID,    txtPassword, cmdOK,     cmdCancel};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
  for (const KindOption& k : kKindOptions)
    connect(Click(this->*k.option), &ClickRelay::Click, this, k.click);
  WireOkCancel(cmdOK, cmdCancel);

  auto* versions = new QHBoxLayout(fraORAversion);
  versions->setContentsMargins(6, 2, 6, 2);
  for (QRadioButton* version : VersionOptions()) versions->addWidget(version);
  auto* instance = new QHBoxLayout(fraCorvaInstance);
  instance->setContentsMargins(6, 2, 6, 2);
  instance->addWidget(lblCorvaInst);
  instance->addWidget(txtCorvainst, 1);
  auto* kinds = new QGridLayout(fraDBtype);
  kinds->addWidget(optORA, 0, 0);
  kinds->addWidget(fraORAversion, 0, 1);
  kinds->addWidget(optCorva, 1, 0);
  kinds->addWidget(fraCorvaInstance, 1, 1);
  auto* others = new QHBoxLayout;
  others->addWidget(optMSSQL);
  others->addWidget(optSybase);
  others->addWidget(optTessel);
  others->addStretch(1);
  kinds->addLayout(others, 2, 0, 1, 2);
  kinds->setColumnStretch(1, 1);
  auto* boxes = new QGridLayout;
  const std::pair<QLabel*, QLineEdit*> rows[] = {
      {lblDataSource, txtDSN}, {lblUserID, txtUserID}, {lblPassword, txtPassword}};
  int r = 0;
  for (const auto& [label, box] : rows) {
    label->setBuddy(box);
    boxes->addWidget(label, r, 0);
    boxes->addWidget(box, r, 1);
    ++r;
  }
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(TextsBesideLogo({lblTitle}, imgLogo));
  layout->addWidget(fraDBtype);
  layout->addLayout(boxes);
  layout->addStretch(1);
  layout->addLayout(OkCancelRow(cmdOK, cmdCancel));
  // Until a kind is chosen neither its version nor its instance applies.
  fraORAversion->setEnabled(false);
  fraCorvaInstance->setEnabled(false);
}

QList<QRadioButton*> frmDataSource::KindOptions() const {
  QList<QRadioButton*> options;
  for (const KindOption& k : kKindOptions) options << this->*k.option;
  return options;
}

QList<QRadioButton*> frmDataSource::VersionOptions() const {
  QList<QRadioButton*> options;
  for (const VersionOption& v : kVersionOptions) options << this->*v.option;
  return options;
}

DataSourceInput frmDataSource::Input() const {
  DataSourceInput in;
  for (const KindOption& k : kKindOptions) {
    if ((this->*k.option)->isChecked()) in.kind = k.kind;
  }
  for (size_t i = 0; i < std::size(kVersionOptions); ++i) {
    if ((this->*kVersionOptions[i].option)->isChecked())
      in.oracle_version = zmo::kOracleVersions[i].version;
  }
  in.corva_instance = ToAnsi(txtCorvainst->text());
  in.user = ToAnsi(txtUserID->text());
  in.dsn = ToAnsi(txtDSN->text());
  in.password = ToAnsi(txtPassword->text());
  return in;
}

void frmDataSource::Form_Activate() {
  LocalizeForm(this);
  ClearTaggedControls(this);
  for (QRadioButton* version : VersionOptions()) SetValue(version, false);
  // Only a stored kind shows as chosen: a choice left unsaved does not.
  for (QRadioButton* kind : KindOptions()) SetValue(kind, false);
  fraORAversion->setEnabled(false);
  fraCorvaInstance->setEnabled(false);
  DataSourceValues values;
  LoadDataSource(FormName(), &values);
  for (const KindOption& k : kKindOptions) {
    if (k.kind == values.kind) SetValue(this->*k.option, true);
  }
  for (size_t i = 0; i < std::size(kVersionOptions); ++i) {
    if (values.oracle_version == zmo::kOracleVersions[i].version)
      SetValue(this->*kVersionOptions[i].option, true);
  }
  if (!values.txtCorvainst.empty()) txtCorvainst->setText(FromAnsi(values.txtCorvainst));
  if (!values.dsn.empty()) txtDSN->setText(FromAnsi(values.dsn));
  if (!values.txtUserID.empty()) txtUserID->setText(FromAnsi(values.txtUserID));
  if (!values.txtPassword.empty()) txtPassword->setText(FromAnsi(values.txtPassword));
  HideOtherForms(this);
  PlaceChildForm(this);
  Status(kTextReady);
}

void frmDataSource::ResetVersions(bool enabled) {
  for (QRadioButton* version : VersionOptions()) {
    SetValue(version, false);
    version->setEnabled(enabled);
  }
}

void frmDataSource::optORA_Click() {
  if (!optORA->isChecked()) return;
  fraORAversion->setEnabled(true);
  txtCorvainst->clear();
  txtCorvainst->setEnabled(false);
  fraCorvaInstance->setEnabled(false);
  ResetVersions(true);
}

void frmDataSource::optCorva_Click() {
  if (!optCorva->isChecked()) return;
  fraORAversion->setEnabled(false);
  fraCorvaInstance->setEnabled(true);
  txtCorvainst->setEnabled(true);
  ResetVersions(false);
}

void frmDataSource::OtherKindChosen(QRadioButton* option) {
  if (!option->isChecked()) return;
  fraORAversion->setEnabled(false);
  fraCorvaInstance->setEnabled(false);
  txtCorvainst->clear();
  txtCorvainst->setEnabled(false);
  ResetVersions(false);
}

void frmDataSource::optMSSQL_Click() { OtherKindChosen(optMSSQL); }
void frmDataSource::optSybase_Click() { OtherKindChosen(optSybase); }
void frmDataSource::optTessel_Click() { OtherKindChosen(optTessel); }

void frmDataSource::cmdOK_Click() {
  DataSourceRefusal refusal;
  const int result = SaveDataSource(Input(), &refusal);
  if (result == 0) {
    Status(kTextActionSuccessful);
    return;
  }
  if (refusal.text_id == 0) return;  // a failed write, shown by the data layer
  QLineEdit* box = nullptr;
  switch (refusal.box) {
    case DataSourceBox::kNone:
      break;
    case DataSourceBox::kCorvaInstance:
      box = txtCorvainst;
      break;
    case DataSourceBox::kUser:
      box = txtUserID;
      break;
    case DataSourceBox::kDsn:
      box = txtDSN;
      break;
    case DataSourceBox::kPassword:
      box = txtPassword;
      break;
  }
  Refuse(FromAnsi(refusal.text), box);
}

void frmDataSource::cmdCancel_Click() { Form_Activate(); }

}  // namespace zmo::config
