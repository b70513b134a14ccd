#include "localize.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QTreeWidget>

#include "catalog_text.h"
#include "forms.h"

const char* const kDialogFontFamily = "DejaVu Sans";

namespace {

constexpr const char* kTagProperty = "Tag";
constexpr const char* kTypeNameProperty = "TypeName";

// The text of the id a property holds; a text that is not a number gives "".
// A tooltip is replaced only when it holds an id (it may be a designed text).
QString TextOf(const QString& id_text) {
  const long id = Val(id_text);
  return id > 0 ? CatalogText(static_cast<int>(id)) : QString();
}

// The id a Caption or ToolTipText held before its first localisation. It is
// kept aside, so a form localised again (a dialog on each activation) shows
// its texts again instead of the text of "id 0".
QString HeldId(QObject* o, const char* property, const QString& designed) {
  QVariant held = o->property(property);
  if (!held.isValid()) {
    o->setProperty(property, designed);
    return designed;
  }
  return held.toString();
}

constexpr const char* kCaptionId = "CaptionId";
constexpr const char* kToolTipId = "ToolTipTextId";

void SetFontFamily(QWidget* w) {
  QFont font = w->font();
  font.setFamily(kDialogFontFamily);
  w->setFont(font);
}

void SetFontFamily(QAction* a) {
  QFont font = a->font();
  font.setFamily(kDialogFontFamily);
  a->setFont(font);
}

bool IsFormControl(QObject* o, QWidget* form) {
  const QString name = o->objectName();
  if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) return false;
  // The nearest form above the control must be this one.
  for (QObject* p = o->parent(); p; p = p->parent()) {
    if (qobject_cast<FormBase*>(p)) return p == form;
    if (p == form) return true;
  }
  return false;
}

void LocalizeTabs(QTabBar* tabs) {
  SetFontFamily(tabs);
  QStringList designed;
  for (int i = 0; i < tabs->count(); ++i) designed << tabs->tabToolTip(i);
  const QVariant held = tabs->property(kToolTipId);
  if (!held.isValid()) tabs->setProperty(kToolTipId, designed);
  const QStringList ids = tabs->property(kToolTipId).toStringList();
  for (int i = 0; i < tabs->count(); ++i) {
    tabs->setTabText(i, TextOf(tabs->tabData(i).toString()));
    if (i < ids.size() && Val(ids[i]) > 0) tabs->setTabToolTip(i, TextOf(ids[i]));
  }
}

void LocalizeNodes(QTreeWidgetItem* item) {
  item->setText(0, TextOf(item->data(0, kTagRole).toString()));
  QFont font = item->font(0);
  font.setFamily(kDialogFontFamily);
  item->setFont(0, font);
  for (int i = 0; i < item->childCount(); ++i) LocalizeNodes(item->child(i));
}

void LocalizeColumns(QWidget* w) {
  if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
    QTreeWidgetItem* header = tree->headerItem();
    for (int c = 0; c < tree->columnCount(); ++c)
      header->setText(c, TextOf(header->data(c, kTagRole).toString()));
  } else if (auto* table = qobject_cast<QTableWidget*>(w)) {
    for (int c = 0; c < table->columnCount(); ++c) {
      if (QTableWidgetItem* header = table->horizontalHeaderItem(c))
        header->setText(TextOf(header->data(kTagRole).toString()));
    }
  }
}

// Caption := text of the id in Tag, for a control that has a caption.
void SetCaption(QWidget* w, const QString& text) {
  if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    button->setText(text);
  } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
    group->setTitle(text);
  }
}

void LocalizeWidget(QWidget* w) {
  SetFontFamily(w);
  const QString type = TypeName(w);
  if (type == QLatin1String("Label")) {
    static_cast<QLabel*>(w)->setText(TextOf(Tag(w)));
  } else if (type == QLatin1String("Menu")) {
    QAction* a = static_cast<QMenu*>(w)->menuAction();
    a->setText(TextOf(HeldId(w, kCaptionId, a->text())));
  } else if (type == QLatin1String("TabStrip")) {
    auto* tabs = qobject_cast<QTabBar*>(w);
    if (!tabs) tabs = static_cast<QTabWidget*>(w)->tabBar();
    LocalizeTabs(tabs);
  } else if (type == QLatin1String("Toolbar")) {
    for (QAction* a : static_cast<QToolBar*>(w)->actions()) {
      SetFontFamily(a);
      if (a->isSeparator()) continue;
      const QString tip = HeldId(a, kToolTipId, a->toolTip());
      if (Val(tip) > 0) a->setToolTip(TextOf(tip));
    }
  } else if (type == QLatin1String("ListView")) {
    LocalizeColumns(w);
  } else if (type == QLatin1String("TreeView")) {
    if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
      for (int i = 0; i < tree->topLevelItemCount(); ++i) LocalizeNodes(tree->topLevelItem(i));
    }
  } else if (type == QLatin1String("OptionButton")) {
    // Options keep their design captions (product names).
  } else {
    if (Val(Tag(w)) > 0) SetCaption(w, TextOf(Tag(w)));
    const QString tip = HeldId(w, kToolTipId, w->toolTip());
    if (Val(tip) > 0) w->setToolTip(TextOf(tip));
  }
}

}  // namespace

void SetTag(QObject* control, const QString& tag) { control->setProperty(kTagProperty, tag); }

QString Tag(const QObject* control) { return control->property(kTagProperty).toString(); }

void SetTag(QTreeWidgetItem* item, const QString& tag, int column) {
  item->setData(column, kTagRole, tag);
}

long Val(const QString& text) {
  int i = 0;
  const int n = static_cast<int>(text.size());
  while (i < n && (text[i] == u' ' || text[i] == u'\t')) ++i;
  bool negative = false;
  if (i < n && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  long value = 0;
  for (; i < n && text[i].isDigit() && text[i].unicode() < 0x80; ++i) {
    if (value > 100000000L) break;  // far beyond any catalog id
    value = value * 10 + (text[i].unicode() - u'0');
  }
  return negative ? -value : value;
}

void SetTypeName(QObject* control, const char* type_name) {
  control->setProperty(kTypeNameProperty, QString::fromLatin1(type_name));
}

QString TypeName(const QObject* control) {
  const QVariant named = control->property(kTypeNameProperty);
  if (named.isValid()) return named.toString();
  if (qobject_cast<const QLabel*>(control)) return QStringLiteral("Label");
  if (qobject_cast<const QMenu*>(control) || qobject_cast<const QAction*>(control))
    return QStringLiteral("Menu");
  if (qobject_cast<const QTabWidget*>(control) || qobject_cast<const QTabBar*>(control))
    return QStringLiteral("TabStrip");
  if (qobject_cast<const QToolBar*>(control)) return QStringLiteral("Toolbar");
  if (qobject_cast<const QTableWidget*>(control)) return QStringLiteral("ListView");
  if (qobject_cast<const QTreeWidget*>(control)) return QStringLiteral("TreeView");
  if (qobject_cast<const QRadioButton*>(control)) return QStringLiteral("OptionButton");
  return QString::fromLatin1(control->metaObject()->className());
}

void LocalizeForm(QWidget* form) {
  form->setWindowTitle(TextOf(Tag(form)));
  for (QObject* o : form->findChildren<QObject*>()) {
    if (!IsFormControl(o, form)) continue;
    if (auto* action = qobject_cast<QAction*>(o)) {
      SetFontFamily(action);
      if (!action->isSeparator()) action->setText(TextOf(HeldId(action, kCaptionId, action->text())));
    } else if (o->isWidgetType()) {
      LocalizeWidget(static_cast<QWidget*>(o));
    }
  }
}
