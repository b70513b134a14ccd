#include "frmTreeView.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "mdi.h"

frmTreeView::frmTreeView(QWidget* parent) : FormBase(parent) {
  setObjectName("frmTreeView");
  treConfigurator = new QTreeWidget(this);
  treConfigurator->setObjectName("treConfigurator");
  treConfigurator->setHeaderHidden(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(treConfigurator);
  resize(Twips(3564), Twips(4995));
}
