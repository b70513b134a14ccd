// Catalog texts and configuration bytes as the widgets show them. The
// catalog, the registry values and the data files hold Windows-1252 bytes;
// every crossing into or out of a widget goes through these functions.
#pragma once

#include <QString>
#include <string>

#include "zmoconfig/text_ids.h"

namespace zmo::config {

// Catalog ids the page layer shows besides the data layer's.
constexpr int kTextMainTitle = 1400;
constexpr int kTextLogMissing = 1445;
constexpr int kTextNotice = 1485;

// The text of catalog id as the widgets show it; "" for an id the catalog
// lacks.
QString CatalogText(int id);

// Windows-1252 bytes as a widget's text, and back (a character the code
// page lacks becomes '?').
QString FromAnsi(const std::string& bytes);
std::string ToAnsi(const QString& text);

}  // namespace zmo::config
