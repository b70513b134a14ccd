#include "page_table.h"

#include "frmCurrentConfig.h"
#include "frmInfoPages.h"

namespace {

struct PageRow {
  const char* name;
  FormBase* (*make)();
};

template <class Form>
FormBase* Make() {
  return new Form;
}

const PageRow kPages[] = {
    {"frmCurrentConfig", Make<frmCurrentConfig>},
    {"frmInitConfig", Make<frmInitConfig>},
    {"frmRepConfig", Make<frmRepConfig>},
    {"frmSLAconfig", Make<frmSLAconfig>},
    {"frmSchConfig", Make<frmSchConfig>},
};

}  // namespace

FormBase* MakePage(const QString& name) {
  for (const PageRow& row : kPages) {
    if (name == QLatin1String(row.name)) return row.make();
  }
  return nullptr;
}
