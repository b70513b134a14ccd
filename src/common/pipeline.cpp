#include "common/pipeline.h"

#include <cctype>

#include "common/line_values.h"
#include "platform/files.h"

namespace zmo {
namespace {

// " -<letter>" in the form's case.
std::string Option(bool lower_case, char letter) {
  const int c = static_cast<unsigned char>(letter);
  return std::string(" -") + static_cast<char>(lower_case ? std::tolower(c) : std::toupper(c));
}

std::string Element(bool lower_case, char letter, const std::string& value) {
  return Option(lower_case, letter) + " " + value;
}

const LoaderCallForm& LoaderForm(Collection collection) {
  return pipelineProgram(collectionRow(collection).collector).loader_form;
}

}  // namespace

std::string programPath(const std::string& dir, PipelineProgram program) {
  return JoinPath(dir, pipelineProgram(program).executable);
}

const SummaryLogRow* summaryLogRow(std::string_view program) {
  for (const SummaryLogRow& log : kSummaryLogs) {
    if (program == log.program) return &log;
  }
  return nullptr;
}

const CollectionRow* collectionNamed(std::string_view name) {
  for (const CollectionRow& c : kCollections) {
    if (name == c.name()) return &c;
  }
  return nullptr;
}

const PipelineFileRow* pipelineFileOfTable(char table) {
  for (const PipelineFileRow& f : kPipelineFiles) {
    if (f.table == table) return &f;
  }
  return nullptr;
}

std::string archiveFileName(std::string_view prefix, std::string_view stamp) {
  std::string name(prefix);
  name += '_';
  name += stamp;
  return name + ".dat";
}

std::string optionText(char letter) { return Option(false, letter).substr(1); }

std::vector<std::string> zmomsgArgv(PipelineProgram sender, Collection collection,
                                    const std::string& path, const std::string& text, bool tab) {
  const MsgCallForm& form = pipelineProgram(sender).msg_form;
  std::vector<std::string> argv = {path};
  const std::string tab_option = Option(form.lower_case, kMsgOptionTab);
  if (tab && form.tab_first) argv.push_back(tab_option);
  argv.push_back(Element(form.lower_case, kMsgOptionProgram, collectionRow(collection).name()));
  if (tab && !form.tab_first) argv.push_back(tab_option);
  argv.push_back(Element(form.lower_case, kMsgOptionMessage, doubleQuoted(text)));
  return argv;
}

std::string loaderArgElement(Collection collection, char letter, const std::string& value) {
  return Element(LoaderForm(collection).lower_case, letter, value);
}

std::vector<std::string> loaderArgv(Collection collection, const std::string& path,
                                    const LoaderCall& call) {
  const LoaderCallForm& form = LoaderForm(collection);
  std::vector<std::string> argv = {path, Option(form.lower_case, kLoaderOptionAggregate)};
  std::string program =
      loaderArgElement(collection, kLoaderOptionProgram, collectionRow(collection).name());
  if (!form.program_blank) program.erase(0, 1);
  argv.push_back(program);
  if (form.interval) {
    argv.push_back(loaderArgElement(collection, kLoaderOptionStart, call.start_date));
    argv.push_back(loaderArgElement(collection, kLoaderOptionEnd, call.end_date));
  }
  argv.push_back(loaderArgElement(collection, kLoaderOptionHost, call.host));
  argv.push_back(loaderArgElement(collection, kLoaderOptionPid, call.pid));
  if (call.debug) argv.push_back(Option(form.lower_case, kLoaderOptionDebug));
  return argv;
}

}  // namespace zmo
