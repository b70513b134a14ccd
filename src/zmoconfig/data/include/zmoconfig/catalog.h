// The configurator's message texts: a translated catalog chosen by the
// user's locale, else the English table built into the program. Texts are
// Windows-1252 bytes; codepage.h converts them for the widgets.
#pragma once

#include <string>
#include <string_view>

namespace zmo::config {

// The directory the catalogs zmocat<ABBR>.cat are looked for in: the
// program's directory unless set (tests set their own).
void SetCatalogDirectory(const std::string& dir);

// Loads the catalog once: the user's language, then its default
// sub-language, then "ENU". True when one is loaded; false leaves the
// built-in English texts in force and the next call tries again.
bool LoadCatalog();

// True when a catalog file is loaded.
bool CatalogLoaded();

// Forgets (and frees) the loaded catalog (for tests).
void UnloadCatalog();

// The text of id: from the loaded catalog ("" when it lacks the id), or
// from the built-in English table when none is loaded. Texts are never cut,
// whatever their length.
std::string LoadResString(int id);

// The text of id converted to UTF-8, for the widgets.
std::string LoadResStringUtf8(int id);

// The number value of a Tag, Caption or ToolTipText: leading blanks skipped,
// then the digits (0 for text that is no number, such as "CLEAR").
int CatalogIdValue(std::string_view text);

// How LocalizeForm treats a control's text property.
enum class LocalizeKind {
  // The form's caption, labels, menu items, tabs, column headers and tree
  // nodes: the property always becomes the text of its id ("" for no id).
  kAlways,
  // Any other control's Tag (into its Caption) and ToolTipText: only an id
  // above 0 replaces the text the form was built with.
  kWhenId,
};

// The text LocalizeForm puts in place of property value id_text, as UTF-8.
// Returns false when the control keeps the text the form was built with.
bool LocalizedText(std::string_view id_text, LocalizeKind kind, std::string* text);

}  // namespace zmo::config
