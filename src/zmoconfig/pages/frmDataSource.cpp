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

#include "artwork.h"
#include "catalog_text.h"
#include "controls.h"
#include "localize.h"
#include "mdi.h"
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

// An option captioned with a product name, which no catalog translates.
QRadioButton* Option(QWidget* parent, const char* name, const char* caption) {
  auto* option = NamedControl<QRadioButton>(parent, name);
  option->setText(QLatin1String(caption));
  return option;
}

}  // namespace

frmDataSource::frmDataSource(QWidget* parent) : PageForm("frmDataSource", parent) {
  SetTag(this, "1113");
  lblTitle = NamedControl<QLabel>(this, "lblTitle", 1321);
  MakeTitle(lblTitle);
  lblTitle->setWordWrap(true);
  imgLogo = NamedControl<QLabel>(this, "imgLogo");
  SetTypeName(imgLogo, "PictureBox");
  imgLogo->setPixmap(LogoArt());
  imgLogo->setFixedSize(kLogoSize, kLogoSize);

  fraDBtype = NamedControl<QGroupBox>(this, "fraDBtype", 1325);
  optORA = Option(fraDBtype, "optORA", "Oracle");
  optCorva = Option(fraDBtype, "optCorva", "Corva");
  optMSSQL = Option(fraDBtype, "optMSSQL", "MS SQL Server");
  optSybase = Option(fraDBtype, "optSybase", "Sybase");
  optTessel = Option(fraDBtype, "optTessel", "Tessel");
  // The version and the instance sit beside their kinds, in frames without
  // a caption of their own.
  fraORAversion = NamedControl<QGroupBox>(fraDBtype, "fraORAversion");
  optORA73 = Option(fraORAversion, "optORA73", "7.3");
  optORA80 = Option(fraORAversion, "optORA80", "8.0");
  optORA81 = Option(fraORAversion, "optORA81", "8.1");
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
  OptionGroup({optORA, optCorva, optMSSQL, optSybase, optTessel});
  OptionGroup({optORA73, optORA80, optORA81});
  // Tab follows the page from top to bottom: a kind, then what belongs to
  // it beside it.
  QWidget* const order[] = {optORA,       optORA73,    optORA80,  optORA81,  optCorva,
                            txtCorvainst, optMSSQL,    optSybase, optTessel, txtDSN,
                            txtUserID,    txtPassword, cmdOK,     cmdCancel};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
  connect(Click(optORA), &ClickRelay::Click, this, &frmDataSource::optORA_Click);
  connect(Click(optCorva), &ClickRelay::Click, this, &frmDataSource::optCorva_Click);
  connect(Click(optMSSQL), &ClickRelay::Click, this, &frmDataSource::optMSSQL_Click);
  connect(Click(optSybase), &ClickRelay::Click, this, &frmDataSource::optSybase_Click);
  connect(Click(optTessel), &ClickRelay::Click, this, &frmDataSource::optTessel_Click);
  WireOkCancel(cmdOK, cmdCancel);

  auto* versions = new QHBoxLayout(fraORAversion);
  versions->setContentsMargins(6, 2, 6, 2);
  versions->addWidget(optORA73);
  versions->addWidget(optORA80);
  versions->addWidget(optORA81);
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
  resize(Twips(5884), Twips(4995));
}

DataSourceInput frmDataSource::Input() const {
  DataSourceInput in;
  if (optORA->isChecked()) {
    in.option = DbOption::kOracle;
  } else if (optCorva->isChecked()) {
    in.option = DbOption::kCorva;
  } else if (optMSSQL->isChecked()) {
    in.option = DbOption::kMssql;
  } else if (optSybase->isChecked()) {
    in.option = DbOption::kSybase;
  } else if (optTessel->isChecked()) {
    in.option = DbOption::kTessel;
  }
  if (optORA73->isChecked()) {
    in.oracle = OracleOption::k73;
  } else if (optORA80->isChecked()) {
    in.oracle = OracleOption::k80;
  } else if (optORA81->isChecked()) {
    in.oracle = OracleOption::k81;
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
  for (QRadioButton* version : {optORA73, optORA80, optORA81}) SetValue(version, false);
  // Only a stored kind shows as chosen: a choice left unsaved does not.
  for (QRadioButton* kind : {optORA, optCorva, optMSSQL, optSybase, optTessel})
    SetValue(kind, false);
  fraORAversion->setEnabled(false);
  fraCorvaInstance->setEnabled(false);
  DataSourceValues values;
  LoadDataSource("frmDataSource", &values);
  switch (values.option) {
    case DbOption::kNone:
      break;
    case DbOption::kOracle:
      SetValue(optORA, true);
      break;
    case DbOption::kCorva:
      SetValue(optCorva, true);
      break;
    case DbOption::kMssql:
      SetValue(optMSSQL, true);
      break;
    case DbOption::kSybase:
      SetValue(optSybase, true);
      break;
    case DbOption::kTessel:
      SetValue(optTessel, true);
      break;
  }
  switch (values.oracle) {
    case OracleOption::kNone:
      break;
    case OracleOption::k73:
      SetValue(optORA73, true);
      break;
    case OracleOption::k80:
      SetValue(optORA80, true);
      break;
    case OracleOption::k81:
      SetValue(optORA81, true);
      break;
  }
  if (!values.txtCorvainst.empty()) txtCorvainst->setText(FromAnsi(values.txtCorvainst));
  if (!values.dsn.empty()) txtDSN->setText(FromAnsi(values.dsn));
  if (!values.txtUserID.empty()) txtUserID->setText(FromAnsi(values.txtUserID));
  if (!values.txtPassword.empty()) txtPassword->setText(FromAnsi(values.txtPassword));
  HideOtherForms(objectName());
  PlaceChildForm(this);
  Status(kTextReady);
}

void frmDataSource::ResetVersions(bool enabled) {
  for (QRadioButton* version : {optORA73, optORA80, optORA81}) {
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
