#include "localize.h"

#include <QAbstractButton>
#include <QAbstractItemView>
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
#include "zmoconfig/catalog.h"

namespace zmo::config {

const char* const kDialogFontFamily = "DejaVu Sans";

namespace {

constexpr const char* kTagProperty = "Tag";
constexpr const char* kTypeNameProperty = "TypeName";

// The text of the id a Tag or Caption holds; a text that is not a number
// gives "".
QString TextOf(const QString& id_text) {
  std::string text;
  LocalizedText(ToAnsi(id_text), LocalizeKind::kAlways, &text);
  return QString::fromStdString(text);
}

// An ordinary control's Caption and any ToolTipText change only when they
// hold an id above 0 (the designed text stays otherwise).
bool TextOfId(const QString& id_text, QString* text) {
  std::string utf8;
  if (!LocalizedText(ToAnsi(id_text), LocalizeKind::kWhenId, &utf8)) return false;
  *text = QString::fromStdString(utf8);
  return true;
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
  if (qobject_cast<FormBase*>(o)) return false;  // another form, localised on its own
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
    QString tip;
    if (i < ids.size() && TextOfId(ids[i], &tip)) tabs->setTabToolTip(i, tip);
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
      QString tip;
      if (TextOfId(HeldId(a, kToolTipId, a->toolTip()), &tip)) a->setToolTip(tip);
    }
  } else if (type == QLatin1String("ListView")) {
    LocalizeColumns(w);
  } else if (type == QLatin1String("TreeView")) {
    if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
      for (int i = 0; i < tree->topLevelItemCount(); ++i) LocalizeNodes(tree->topLevelItem(i));
    }
  } else if (type == QLatin1String("OptionButton")) {
    // Options keep their designed captions (product names).
  } else {
    QString text;
    if (TextOfId(Tag(w), &text)) SetCaption(w, text);
    if (TextOfId(HeldId(w, kToolTipId, w->toolTip()), &text)) w->setToolTip(text);
  }
}

// A label's text as an accessible name: without the "&" that marks its
// access key ("&&" stands for one "&").
QString WithoutAccessKey(const QString& text) {
  QString name;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == u'&') {
      if (i + 1 >= text.size()) break;
      ++i;
    }
    name += text[i];
  }
  return name;
}

// An accessibility client names a box by its label; a list or a tree does
// not look for one, so each takes its label's text (or its frame's caption)
// as its name here, after the texts are in place.
void NameItemViews(QWidget* form) {
  for (QAbstractItemView* view : form->findChildren<QAbstractItemView*>()) {
    QString name;
    for (QLabel* label : form->findChildren<QLabel*>()) {
      if (label->buddy() == view) name = label->text();
    }
    if (name.isEmpty()) {
      if (auto* frame = qobject_cast<QGroupBox*>(view->parentWidget())) name = frame->title();
    }
    if (!name.isEmpty()) view->setAccessibleName(WithoutAccessKey(name));
  }
}

}  // namespace

void SetTag(QObject* control, const QString& tag) { control->setProperty(kTagProperty, tag); }

QString Tag(const QObject* control) { return control->property(kTagProperty).toString(); }

void SetTag(QTreeWidgetItem* item, const QString& tag, int column) {
  item->setData(column, kTagRole, tag);
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
  // Until a catalog file is found, each call looks again; the built-in
  // English texts serve meanwhile.
  if (!CatalogLoaded()) LoadCatalog();
  form->setWindowTitle(TextOf(Tag(form)));
  for (QObject* o : form->findChildren<QObject*>()) {
    if (!IsFormControl(o, form)) continue;
    if (auto* action = qobject_cast<QAction*>(o)) {
      SetFontFamily(action);
      if (!action->isSeparator())
        action->setText(TextOf(HeldId(action, kCaptionId, action->text())));
    } else if (o->isWidgetType()) {
      LocalizeWidget(static_cast<QWidget*>(o));
    }
  }
  NameItemViews(form);
}

}  // namespace zmo::config
