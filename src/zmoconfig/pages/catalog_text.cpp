#include "catalog_text.h"

#include "zmoconfig/catalog.h"
#include "zmoconfig/codepage.h"

namespace zmo::config {

QString CatalogText(int id) { return FromAnsi(LoadResString(id)); }

QString FromAnsi(const std::string& bytes) {
  return QString::fromStdU16String(Cp1252ToUtf16(bytes));
}

std::string ToAnsi(const QString& text) { return Utf16ToCp1252(text.toStdU16String()); }

}  // namespace zmo::config
