// The configuration tree, the MDI child at the left of the main window.
#pragma once

#include "forms.h"

class QTreeWidget;

class frmTreeView : public FormBase {
  Q_OBJECT
 public:
  explicit frmTreeView(QWidget* parent = nullptr);

  QTreeWidget* treConfigurator;
};
