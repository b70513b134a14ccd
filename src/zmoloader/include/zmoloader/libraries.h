// The two libraries a run loads: the message catalog and zmogdlib, whose
// Decrypt gives the clear warehouse password.
#pragma once

#include <string>

namespace zmo::loader {

// Loads the catalog: <BinDir>/zmocat<LANG>.cat, then the default
// sub-language's and the English name beside the program. Returns 0 when one
// was loaded, 1 when none (texts then take their fallbacks).
int zmoLoaderLoadLang();
// Frees the catalog. 0 on success, 1 when none was loaded or freeing failed.
int zmoLoaderFreeLib();

// zmogdlib is bound through the common binding (common/gdlib_binding.h):
// loaderBindGdLib makes it load from BinDir and trace into the loader's log.

// Installs the loader's identity in the common runtime, then loads
// <BinDir>/zmogdlib.so and resolves Decrypt once. 0 when the library was
// loaded, 1 when not.
int loaderBindGdLib();

// Unscrambles the state's Access into its password. Returns 0, or 1 when no
// password can be had (zmogdlib not loaded, a text shorter than a scrambled
// one, no Decrypt, or a text Decrypt refuses).
int zmoLoaderDecrypt();

// The catalog text of id (at most 127 characters) into *out. Returns 0, or 1
// when the catalog has none.
int loaderCatalogText(unsigned id, std::string* out);

}  // namespace zmo::loader
