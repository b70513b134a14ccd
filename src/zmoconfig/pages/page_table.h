// The pages this program has, by form name: the one table a new page is
// added to (one row: its name and how to build it).
#pragma once

#include <QString>

namespace zmo::config {

class FormBase;

// A new page of name, not yet loaded; nullptr for a name no page has.
FormBase* MakePage(const QString& name);

}  // namespace zmo::config
