#include "code_question.h"

#include "catalog_text.h"
#include "ui_services.h"
#include "zmoconfig/loaders.h"

namespace zmo::config {

bool AskAddNonStandardCode(const std::string& code) {
  const QString question = CatalogText(kTextNotStandardTCode) + " " + FromAnsi(code);
  return Ui().MsgBox(question, MsgButtons::YesNo) == MsgAnswer::Yes;
}

bool AcceptCode(const std::string& code) {
  return IsStandardTCode(code) || AskAddNonStandardCode(code);
}

}  // namespace zmo::config
