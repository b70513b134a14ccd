// The Windows language of the process locale, and its abbreviated name.
//
// The locale comes from the first non-empty of LC_ALL, LC_MESSAGES and LANG,
// read at every call; "C", "POSIX" and no setting at all are US English. A
// POSIX name language[_territory][.codeset][@modifier] is looked up first
// with its territory and then by language alone, and a language the table
// does not know is English too.
#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/resources.h"

namespace {

struct LocaleRow {
  const char* posix;  // "de_AT" or the bare language "de"
  LANGID lang;        // Windows language id: sub-language << 10 | primary
  const char* abbr;   // LOCALE_SABBREVLANGNAME
};

// A bare language names the id a Windows user of that language gets by
// default. Every primary language also has its SUBLANG_DEFAULT id
// (0x400 | primary) here, since the catalog loaders fall back to it.
constexpr LocaleRow kLocales[] = {
    {"en", 0x0409, "ENU"},
    {"en_US", 0x0409, "ENU"},
    {"en_GB", 0x0809, "ENG"},
    {"en_AU", 0x0C09, "ENA"},
    {"en_CA", 0x1009, "ENC"},
    {"en_NZ", 0x1409, "ENZ"},
    {"en_IE", 0x1809, "ENI"},
    {"en_ZA", 0x1C09, "ENS"},
    {"de", 0x0407, "DEU"},
    {"de_DE", 0x0407, "DEU"},
    {"de_CH", 0x0807, "DES"},
    {"de_AT", 0x0C07, "DEA"},
    {"de_LU", 0x1007, "DEL"},
    {"de_LI", 0x1407, "DEC"},
    {"fr", 0x040C, "FRA"},
    {"fr_FR", 0x040C, "FRA"},
    {"fr_BE", 0x080C, "FRB"},
    {"fr_CA", 0x0C0C, "FRC"},
    {"fr_CH", 0x100C, "FRS"},
    {"fr_LU", 0x140C, "FRL"},
    {"it", 0x0410, "ITA"},
    {"it_IT", 0x0410, "ITA"},
    {"it_CH", 0x0810, "ITS"},
    // Spain's default is the modern sort (ESN); SUBLANG_DEFAULT is the
    // traditional one (ESP).
    {"es", 0x040A, "ESP"},
    {"es_ES", 0x0C0A, "ESN"},
    {"es_MX", 0x080A, "ESM"},
    {"es_AR", 0x2C0A, "ESS"},
    {"pt", 0x0416, "PTB"},
    {"pt_BR", 0x0416, "PTB"},
    {"pt_PT", 0x0816, "PTG"},
    {"ja", 0x0411, "JPN"},
    {"ja_JP", 0x0411, "JPN"},
    {"ko", 0x0412, "KOR"},
    {"ko_KR", 0x0412, "KOR"},
    // SUBLANG_DEFAULT of Chinese is Traditional (CHT); a bare "zh" is taken
    // as the mainland locale.
    {"zh", 0x0804, "CHS"},
    {"zh_CN", 0x0804, "CHS"},
    {"zh_SG", 0x1004, "ZHI"},
    {"zh_TW", 0x0404, "CHT"},
    {"zh_HK", 0x0C04, "ZHH"},
    {"nl", 0x0413, "NLD"},
    {"nl_NL", 0x0413, "NLD"},
    {"nl_BE", 0x0813, "NLB"},
    {"sv", 0x041D, "SVE"},
    {"sv_SE", 0x041D, "SVE"},
    {"sv_FI", 0x081D, "SVF"},
    {"da", 0x0406, "DAN"},
    {"da_DK", 0x0406, "DAN"},
    {"fi", 0x040B, "FIN"},
    {"fi_FI", 0x040B, "FIN"},
    {"nb", 0x0414, "NOR"},
    {"nb_NO", 0x0414, "NOR"},
    {"no", 0x0414, "NOR"},
    {"no_NO", 0x0414, "NOR"},
    {"nn", 0x0814, "NON"},
    {"nn_NO", 0x0814, "NON"},
    {"pl", 0x0415, "PLK"},
    {"pl_PL", 0x0415, "PLK"},
    {"ru", 0x0419, "RUS"},
    {"ru_RU", 0x0419, "RUS"},
    {"cs", 0x0405, "CSY"},
    {"cs_CZ", 0x0405, "CSY"},
    {"hu", 0x040E, "HUN"},
    {"hu_HU", 0x040E, "HUN"},
    {"el", 0x0408, "ELL"},
    {"el_GR", 0x0408, "ELL"},
    {"tr", 0x041F, "TRK"},
    {"tr_TR", 0x041F, "TRK"},
};

constexpr LANGID kEnglishUs = 0x0409;

const LocaleRow* FindPosix(const std::string& name) {
  for (const LocaleRow& row : kLocales) {
    if (strcasecmp(row.posix, name.c_str()) == 0) return &row;
  }
  return nullptr;
}

const LocaleRow* FindLang(LANGID lang) {
  for (const LocaleRow& row : kLocales) {
    if (row.lang == lang) return &row;
  }
  return nullptr;
}

const char* ProcessLocaleName() {
  for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(var);
    if (value && *value) return value;
  }
  return "";
}

LANGID LangOfPosixLocale(const char* locale) {
  // language[_territory] without codeset and modifier.
  std::string name(locale, std::strcspn(locale, ".@"));
  if (const LocaleRow* row = FindPosix(name)) return row->lang;
  if (const LocaleRow* row = FindPosix(name.substr(0, name.find('_')))) return row->lang;
  return kEnglishUs;  // also "C" and "POSIX"
}

}  // namespace

extern "C" LANGID GetUserDefaultLangID() { return LangOfPosixLocale(ProcessLocaleName()); }

// The sort id in the high word is the default one.
extern "C" LCID GetThreadLocale() { return GetUserDefaultLangID(); }

extern "C" int GetLocaleInfoA(LCID locale, LCTYPE type, LPSTR data, int size) {
  if (type != LOCALE_SABBREVLANGNAME || size < 0 || (size > 0 && !data)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // The high word of an LCID is its sort order, which does not change the name.
  LANGID lang = static_cast<LANGID>(locale & 0xFFFF);
  if (lang == LOCALE_USER_DEFAULT || lang == LOCALE_SYSTEM_DEFAULT) lang = GetUserDefaultLangID();
  const LocaleRow* row = FindLang(lang);
  if (!row) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  int needed = static_cast<int>(std::strlen(row->abbr)) + 1;
  if (size == 0) return needed;
  if (size < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(data, row->abbr, static_cast<size_t>(needed));
  return needed;
}
