#include "frmInfoPages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "catalog_text.h"
#include "localize.h"
#include "navigation.h"

namespace zmo::config {

namespace {

QLabel* NamedLabel(QWidget* form, const char* name, int id) {
  auto* label = NamedControl<QLabel>(form, name, id);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

}  // namespace

InfoPage::InfoPage(const char* name, const char* first, int first_id, const char* second,
                   int second_id, QWidget* parent)
    : PageForm(name, parent) {
  imgLogo = MakeLogo(this);
  first_ = NamedLabel(this, first, first_id);
  MakeTitle(first_);
  second_ = NamedLabel(this, second, second_id);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(TextsBesideLogo({first_}, imgLogo));
  layout->addWidget(second_, 1);
}

void InfoPage::Form_Activate() {
  LocalizeForm(this);
  HideOtherForms(this);
  PlaceChildForm(this);
  Status(kTextReady);
  FocusTree();
}

frmInitConfig::frmInitConfig(QWidget* parent)
    : InfoPage("frmInitConfig", "lblTitle", 1108, "lblDescription", 1330, parent),
      lblTitle(first_),
      lblDescription(second_) {}

frmRepConfig::frmRepConfig(QWidget* parent)
    : InfoPage("frmRepConfig", "lblDescription", 1109, "lblInstructions", 1336, parent),
      lblDescription(first_),
      lblInstructions(second_) {}

frmSLAconfig::frmSLAconfig(QWidget* parent)
    : InfoPage("frmSLAconfig", "lblTitle", 1110, "lblDescription", 1344, parent),
      lblTitle(first_),
      lblDescription(second_) {}

frmSchConfig::frmSchConfig(QWidget* parent)
    : InfoPage("frmSchConfig", "lblTitle", 1111, "lblDescription", 1338, parent),
      lblTitle(first_),
      lblDescription(second_) {}

}  // namespace zmo::config
