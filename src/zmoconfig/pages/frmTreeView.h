// The configuration tree, the MDI child at the left of the main window: its
// 26 nodes (navigation.h), their images, and the keys and mouse presses
// that open what a node stands for.
#pragma once

#include <QString>

#include "forms.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace zmo::config {

// Item data roles of a node: its key, and its unselected and selected image
// indexes in the tree's image list.
constexpr int kNodeKeyRole = Qt::UserRole + 2;
constexpr int kNodeImageRole = Qt::UserRole + 3;
constexpr int kNodeSelectedImageRole = Qt::UserRole + 4;

class frmTreeView : public FormBase {
  Q_OBJECT
 public:
  explicit frmTreeView(QWidget* parent = nullptr);

  QTreeWidget* treConfigurator;

  // The node of number (1-based, in the order the tree was built), or
  // nullptr; the node of key, or nullptr.
  QTreeWidgetItem* Node(int number) const;
  QTreeWidgetItem* Node(const QString& key) const;
  static QString Key(const QTreeWidgetItem* node);

  // Sets a node's unselected image (image list index), keeping its selected
  // one; SetNodeImages sets both.
  static void SetNodeImage(QTreeWidgetItem* node, int image);
  static void SetNodeImages(QTreeWidgetItem* node, int image, int selected_image);

 protected slots:
  void Form_Load() override;
  void treConfigurator_KeyDown(int& KeyCode, int Shift);
  void treConfigurator_MouseDown(int Button, int Shift, const QPoint& pos);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QList<QTreeWidgetItem*> nodes_;
};

}  // namespace zmo::config
