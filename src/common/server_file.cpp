#include "common/server_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "common/system_info.h"
#include "common/trace_log.h"
#include "platform/clock.h"

namespace zmo {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

// The first word inside the columns of field f of line: leading blanks of
// the field are skipped, the word ends at a blank or at the field's (or the
// line's) end.
std::string_view Field(std::string_view line, FixedField f) {
  std::string_view field = recordField(line, f);
  size_t start = 0;
  while (start < field.size() && IsBlank(field[start])) ++start;
  size_t end = start;
  while (end < field.size() && !IsBlank(field[end])) ++end;
  return field.substr(start, end - start);
}

std::FILE* OpenWithRetries(const char* path) {
  for (int attempt = 1; attempt <= kServerFileAttempts; ++attempt) {
    if (std::FILE* f = std::fopen(path, "rb")) return f;
    writeTrace("open infile <%s> failed. attempt <%i>. sleeping for <%i> sec\n", path, attempt,
               kServerFileRetryMs / 1000);
    ClockSleepMillis(kServerFileRetryMs);
  }
  return nullptr;
}

}  // namespace

int readServerFile(const char* path, std::string* data) {
  data->clear();
  std::FILE* f = OpenWithRetries(path);
  if (f == nullptr) return kServerFileNoOpen;
  std::int64_t size = 0;
  if (getFileSize(path, &size) != 0) {
    std::fclose(f);
    return kServerFileNoSize;
  }
  // The file may shrink while it is rewritten: keep what was really read.
  data->resize(static_cast<size_t>(size));
  const size_t got = size > 0 ? std::fread(data->data(), 1, data->size(), f) : 0;
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  data->resize(got);
  if (failed) {
    data->clear();
    return kServerFileReadFailed;
  }
  return 0;
}

bool nextServerLine(std::string_view data, size_t* pos, std::string_view* line) {
  while (*pos < data.size()) {
    const size_t start = *pos;
    size_t end = data.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = data.size();
    *pos = end < data.size() ? end + 1 : end;
    if (end - start >= kServerLineMin) {
      *line = data.substr(start, end - start);
      return true;
    }
  }
  return false;
}

void parseServerLine(std::string_view line, ServerLine* server) {
  server->host = Field(line, kServerHost);
  server->user = Field(line, kServerUser);
  server->password = Field(line, kServerPassword);
  server->sid = Field(line, kServerSid);
  server->client = Field(line, kServerClient);
  const std::string sysnr(Field(line, kServerSysnr));
  server->sysnr = std::atoi(sysnr.c_str());
  server->language = Field(line, kServerLanguage);
}

std::string serverHostName(std::string_view host_field) {
  const size_t slash = host_field.rfind('/');
  return std::string(slash == std::string_view::npos ? host_field : host_field.substr(slash + 1));
}

std::string serverShortHost(std::string_view host) {
  return std::string(host.substr(0, host.find('.')));
}

}  // namespace zmo
