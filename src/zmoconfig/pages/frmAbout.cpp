#include "frmAbout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "artwork.h"
#include "localize.h"

namespace zmo::config {

frmAbout::frmAbout(QWidget* parent) : FormBase(parent) {
  setObjectName("frmAbout");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setAttribute(Qt::WA_DeleteOnClose, false);
  SetTag(this, "1400");
  picAbout = new QLabel(this);
  picAbout->setObjectName("picAbout");
  picAbout->setPixmap(AboutArt());
  picAbout->setFixedSize(kAboutWidth, kAboutHeight);
  SetTypeName(picAbout, "PictureBox");
  cmdOK = new QPushButton(QStringLiteral("1200"), this);
  cmdOK->setObjectName("cmdOK");
  SetTag(cmdOK, "1200");
  connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdOK);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(picAbout, 0, Qt::AlignHCenter);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  SetKeyPreview(true);
}

void frmAbout::Form_Activate() { LocalizeForm(this); }

void frmAbout::cmdOK_Click() { Unload(); }

void frmAbout::Form_KeyDown(int& KeyCode, int Shift) {
  (void)Shift;
  if (KeyCode == kKeyReturn) cmdOK_Click();
}

}  // namespace zmo::config
