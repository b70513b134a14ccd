#include "frmTreeView.h"

#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "artwork.h"
#include "localize.h"
#include "mdi.h"
#include "navigation.h"

namespace zmo::config {

namespace {

constexpr int kKeyTab = 9;

QIcon NodeIcon(int image, int selected_image) {
  QIcon icon;
  icon.addPixmap(TreeImage(image), QIcon::Normal);
  icon.addPixmap(TreeImage(selected_image), QIcon::Selected);
  return icon;
}

}  // namespace

frmTreeView::frmTreeView(QWidget* parent) : FormBase(parent) {
  setObjectName("frmTreeView");
  treConfigurator = new QTreeWidget(this);
  treConfigurator->setObjectName("treConfigurator");
  treConfigurator->setHeaderHidden(true);
  // A node wider than the tree scrolls sideways instead of being cut.
  treConfigurator->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  treConfigurator->header()->setStretchLastSection(false);
  treConfigurator->setIconSize(QSize(kTreeImageSize, kTreeImageSize));
  treConfigurator->installEventFilter(this);
  treConfigurator->viewport()->installEventFilter(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(treConfigurator);
  resize(Twips(kTreeWidth), Twips(kTreeHeight));
}

void frmTreeView::Form_Load() {
  treConfigurator->clear();
  nodes_.clear();
  for (const TreeNodeRow& row : kTreeNodes) {
    QTreeWidgetItem* parent = row.parent ? Node(QLatin1String(row.parent)) : nullptr;
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(treConfigurator);
    node->setText(0, QLatin1String(row.text));
    node->setData(0, kNodeKeyRole, QLatin1String(row.key));
    SetTag(node, QString::number(row.id));
    const bool folder = !row.parent && row.image == kImgCloseFolder;
    SetNodeImages(node, row.image, folder ? kImgOpenFolder : row.image);
    nodes_ << node;
  }
  resize(Twips(kTreeWidth), Twips(kTreeHeight));
  LocalizeForm(this);
}

QTreeWidgetItem* frmTreeView::Node(int number) const {
  return number >= 1 && number <= nodes_.size() ? nodes_[number - 1] : nullptr;
}

QTreeWidgetItem* frmTreeView::Node(const QString& key) const {
  for (QTreeWidgetItem* node : nodes_) {
    if (Key(node) == key) return node;
  }
  return nullptr;
}

QString frmTreeView::Key(const QTreeWidgetItem* node) {
  return node ? node->data(0, kNodeKeyRole).toString() : QString();
}

void frmTreeView::SetNodeImage(QTreeWidgetItem* node, int image) {
  SetNodeImages(node, image, node->data(0, kNodeSelectedImageRole).toInt());
}

void frmTreeView::SetNodeImages(QTreeWidgetItem* node, int image, int selected_image) {
  node->setData(0, kNodeImageRole, image);
  node->setData(0, kNodeSelectedImageRole, selected_image);
  node->setIcon(0, NodeIcon(image, selected_image));
}

void frmTreeView::treConfigurator_KeyDown(int& KeyCode, int Shift) {
  (void)Shift;
  if (KeyCode == kKeyTab) {
    ShowCurrentForm();
  } else if (KeyCode == kKeyReturn) {
    // Enter with no node selected opens nothing.
    ShowNodeForm(Key(treConfigurator->currentItem()));
  }
}

void frmTreeView::treConfigurator_MouseDown(int Button, int Shift, const QPoint& pos) {
  (void)Button;
  (void)Shift;
  QTreeWidgetItem* node = treConfigurator->itemAt(pos);
  if (!node) return;
  // The node hit is the one highlighted, also when the press fell on its
  // expand arrow, which opens the node without selecting it.
  treConfigurator->setCurrentItem(node);
  gClickedNodeKey = Key(node);
  ShowNodeForm(gClickedNodeKey);
}

bool frmTreeView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == treConfigurator && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    int code = 0;
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
      code = kKeyTab;
    } else if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      code = kKeyReturn;
    } else {
      return FormBase::eventFilter(watched, event);
    }
    treConfigurator_KeyDown(code, 0);
    // Tab never moves the focus by itself: the tree is the form's only control.
    return true;
  }
  if (watched == treConfigurator->viewport() && event->type() == QEvent::MouseButtonPress) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    treConfigurator_MouseDown(static_cast<int>(mouse->button()), 0, mouse->position().toPoint());
    return false;
  }
  return FormBase::eventFilter(watched, event);
}

}  // namespace zmo::config
