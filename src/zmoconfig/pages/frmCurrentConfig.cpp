#include "frmCurrentConfig.h"

#include <QLabel>
#include <QVBoxLayout>

#include "catalog_text.h"
#include "localize.h"
#include "mdi.h"
#include "ui_services.h"

frmCurrentConfig::frmCurrentConfig(QWidget* parent) : FormBase(parent) {
  setObjectName("frmCurrentConfig");
  SetTag(this, "1100");
  lblTitle = new QLabel(this);
  lblTitle->setObjectName("lblTitle");
  SetTag(lblTitle, "1102");
  QFont title = lblTitle->font();
  title.setBold(true);
  lblTitle->setFont(title);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblTitle);
  layout->addStretch(1);
  resize(Twips(5884), Twips(4995));
}

void frmCurrentConfig::Form_Load() { Ui().SetStatusLine(CatalogText(kTextReady)); }

void frmCurrentConfig::Form_Activate() { LocalizeForm(this); }
