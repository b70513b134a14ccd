// Catalog ids held by controls until localisation, and LocalizeForm, which
// replaces them by their texts when a form is shown.
//
// A control keeps the id of its text as the forms runtime kept it: in its
// Tag (labels, ordinary controls, tabs, list-view column headers, tree
// nodes), in its Caption (menu items: the action's text is the id) and in
// its ToolTipText (controls, tabs, toolbar buttons: the tooltip is the id).
// Only the form's own named controls are walked; an object without a name,
// Qt's internal ones ("qt_..."), and controls of another form inside this
// one (MDI children) are not the form's controls.
#pragma once

#include <QString>
#include <Qt>

class QObject;
class QTreeWidgetItem;
class QWidget;

namespace zmo::config {

// The item data role that holds a tree node's, column header's or tab's Tag.
constexpr int kTagRole = Qt::UserRole + 1;

// The font family every localised control is set to.
extern const char* const kDialogFontFamily;

void SetTag(QObject* control, const QString& tag);
QString Tag(const QObject* control);
// The Tag of a tree node or of a column header (column of the header item).
void SetTag(QTreeWidgetItem* item, const QString& tag, int column = 0);

// Names the control type a control stands for where its Qt class says
// otherwise (a QLabel showing a picture is a "PictureBox", not a "Label").
void SetTypeName(QObject* control, const char* type_name);

// The control type name a control is localised as: its "TypeName" property
// when set, else the kind its Qt class stands for.
QString TypeName(const QObject* control);

// Translates form in place: its caption from its Tag, then every control of
// the form by its type name.
void LocalizeForm(QWidget* form);

}  // namespace zmo::config
