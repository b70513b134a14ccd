#include "page_table.h"

#include "frmAddAppTrans.h"
#include "frmAddApplication.h"
#include "frmAddIgnore.h"
#include "frmAddServers.h"
#include "frmAddStatSch.h"
#include "frmCurrentConfig.h"
#include "frmDataSource.h"
#include "frmGetServerFile.h"
#include "frmIgnoreLists.h"
#include "frmInfoPages.h"
#include "frmKeepDays.h"
#include "frmSchStati.h"
#include "frmServers.h"
#include "frmSnapConfig.h"
#include "frmSpecRun.h"
#include "frmSystemSLA.h"
#include "frmTransGroup.h"

namespace zmo::config {

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
    {"frmDataSource", Make<frmDataSource>},
    {"frmServers", Make<frmServers>},
    {"frmAddServers", Make<frmAddServers>},
    {"frmGetServerFile", Make<frmGetServerFile>},
    {"frmSchStati", Make<frmSchStati>},
    {"frmAddStatSch", Make<frmAddStatSch>},
    {"frmSnapConfig", Make<frmSnapConfig>},
    {"frmKeepDays", Make<frmKeepDays>},
    {"frmSpecRun", Make<frmSpecRun>},
    {"frmIDsToIgnore", Make<frmIDsToIgnore>},
    {"frmProgsToIgnore", Make<frmProgsToIgnore>},
    {"frmTransToIgnore", Make<frmTransToIgnore>},
    {"frmAddID", Make<frmAddID>},
    {"frmAddProg", Make<frmAddProg>},
    {"frmAddTrans", Make<frmAddTrans>},
    {"frmTransGroup", Make<frmTransGroup>},
    {"frmAddApplication", Make<frmAddApplication>},
    {"frmAddAppTrans", Make<frmAddAppTrans>},
    {"frmSystemSLA", Make<frmSystemSLA>},
};

}  // namespace

FormBase* MakePage(const QString& name) {
  for (const PageRow& row : kPages) {
    if (name == QLatin1String(row.name)) return row.make();
  }
  return nullptr;
}

}  // namespace zmo::config
