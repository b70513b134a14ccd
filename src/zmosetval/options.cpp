// The option scanner and the command line of zmosetval. The scanner is the
// program's own: the C library's getopt reorders arguments and prints other
// messages than the ones callers of this tool know.
#include <strings.h>

#include <cstring>

#include "zmosetval/zmosetval.h"

namespace zmo::setval {

namespace {

struct RootName {
  const char* name;
  HKEY root;
};

const RootName kRoots[] = {
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},     {"HKEY_USERS", HKEY_USERS},
    {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},   {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG}, {"HKEY_DYN_DATA", HKEY_DYN_DATA},
};

SetvalState g_state;

}  // namespace

SetvalState& setvalState() { return g_state; }

void setvalReset() { g_state = SetvalState(); }

HKEY setvalRootByName(const char* name) {
  for (const RootName& r : kRoots) {
    if (strcasecmp(r.name, name) == 0) return r.root;
  }
  return nullptr;
}

int setvalGetopt(SetvalScanner* s, int argc, char* const argv[], const char* opts, const char* prog,
                 std::FILE* out) {
  s->optarg = nullptr;
  if (s->sp == 1) {
    if (s->optind >= argc || argv[s->optind][0] != '-' || argv[s->optind][1] == '\0') return -1;
    if (std::strcmp(argv[s->optind], "--") == 0) {
      s->optind++;
      return -1;
    }
  }
  const char* elem = argv[s->optind];
  char c = elem[s->sp];
  const char* spec = c == ':' ? nullptr : std::strchr(opts, c);
  if (spec == nullptr) {
    std::fprintf(out, "%s: illegal option -- %c\n", prog, c);
    if (elem[++s->sp] == '\0') {
      s->optind++;
      s->sp = 1;
    }
    return '?';
  }
  if (spec[1] == ':') {
    if (elem[s->sp + 1] != '\0') {
      s->optarg = &elem[s->sp + 1];
      s->optind++;
    } else if (++s->optind >= argc) {
      std::fprintf(out, "%s: option requires an argument -- %c\n", prog, c);
      s->sp = 1;
      return '?';
    } else {
      s->optarg = argv[s->optind++];
    }
    s->sp = 1;
  } else if (elem[++s->sp] == '\0') {
    s->sp = 1;
    s->optind++;
  }
  return c;
}

int setvalParseArgs(int argc, char** argv) {
  SetvalState& st = g_state;
  SetvalOptions& o = st.opt;
  if (argc > 0 && argv[0] != nullptr) {
    const char* slash = std::strrchr(argv[0], '/');
    st.prog = slash ? slash + 1 : argv[0];
  }
  int c;
  while ((c = setvalGetopt(&st.scan, argc, argv, kSetvalOptString, st.prog.c_str(), stdout)) !=
         -1) {
    switch (c) {
      case 'b':
        o.binary = true;
        break;
      case 'd':
        o.del = true;
        break;
      case 'h':
        o.root = setvalRootByName(st.scan.optarg);
        if (o.root == nullptr) o.errors++;
        break;
      case 'k':
        o.has_key = true;
        o.key = st.scan.optarg;
        break;
      case 'n':
        o.has_name = true;
        o.value_name = st.scan.optarg;
        break;
      case 'v':
        o.has_value = true;
        o.value = st.scan.optarg;
        break;
      default:  // '?', the blank and 'o'
        o.errors++;
        break;
    }
  }
  bool accepted = o.errors == 0 && o.has_key && (o.del || (o.has_value && o.has_name));
  return accepted ? 0 : kSetvalUsage;
}

void usage() {
  std::fputs(
      "usage: zmosetval [-d] [-h <registry_hive>]\n"
      "               -k {<key> | @filename}\n"
      "               -n <value_name>\n"
      "               -v {<value_string> | @filename}\n",
      stderr);
}

}  // namespace zmo::setval
