// The collectors export strrev by its name: it stands, defined and global,
// in the dynamic symbol table of zmostati and zmosnap.

#include <elf.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/files.h"

namespace {

// How a dynamic symbol of an ELF64 file is found.
enum class DynamicSymbol { kMissing, kUndefined, kLocal, kExportedFunction, kOther };

// The section header of index i, or nullptr when it lies outside the file.
const Elf64_Shdr* Section(const std::string& file, const Elf64_Ehdr& header, unsigned i) {
  const size_t at = header.e_shoff + static_cast<size_t>(i) * header.e_shentsize;
  if (header.e_shentsize < sizeof(Elf64_Shdr) || at + sizeof(Elf64_Shdr) > file.size()) {
    return nullptr;
  }
  return reinterpret_cast<const Elf64_Shdr*>(file.data() + at);
}

// Looks name up in the dynamic symbol table of the ELF64 file at path.
DynamicSymbol FindDynamicSymbol(const std::string& path, const char* name) {
  std::string file;
  if (zmo::ReadWholeFile(path, &file) != 0 || file.size() < sizeof(Elf64_Ehdr)) {
    ADD_FAILURE() << "cannot read " << path;
    return DynamicSymbol::kMissing;
  }
  Elf64_Ehdr header;
  std::memcpy(&header, file.data(), sizeof header);
  if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64) {
    ADD_FAILURE() << path << " is no ELF64 file";
    return DynamicSymbol::kMissing;
  }
  for (unsigned i = 0; i < header.e_shnum; ++i) {
    const Elf64_Shdr* symbols = Section(file, header, i);
    if (symbols == nullptr || symbols->sh_type != SHT_DYNSYM) continue;
    const Elf64_Shdr* names = Section(file, header, symbols->sh_link);
    if (names == nullptr || symbols->sh_offset + symbols->sh_size > file.size() ||
        names->sh_offset + names->sh_size > file.size()) {
      ADD_FAILURE() << path << ": dynamic symbol table outside the file";
      return DynamicSymbol::kMissing;
    }
    for (size_t at = 0; at + sizeof(Elf64_Sym) <= symbols->sh_size; at += sizeof(Elf64_Sym)) {
      Elf64_Sym sym;
      std::memcpy(&sym, file.data() + symbols->sh_offset + at, sizeof sym);
      if (sym.st_name >= names->sh_size) continue;
      const char* text = file.data() + names->sh_offset + sym.st_name;
      if (std::strncmp(text, name, names->sh_size - sym.st_name) != 0) continue;
      if (sym.st_shndx == SHN_UNDEF) return DynamicSymbol::kUndefined;
      if (ELF64_ST_BIND(sym.st_info) != STB_GLOBAL) return DynamicSymbol::kLocal;
      return ELF64_ST_TYPE(sym.st_info) == STT_FUNC ? DynamicSymbol::kExportedFunction
                                                    : DynamicSymbol::kOther;
    }
  }
  return DynamicSymbol::kMissing;
}

TEST(CollectorExports, StrrevIsExportedByBothCollectors) {
  for (const char* program : {"zmostati", "zmosnap"}) {
    EXPECT_EQ(FindDynamicSymbol(zmo::JoinPath(ZMO_TEST_BIN_DIR, program), "strrev"),
              DynamicSymbol::kExportedFunction)
        << program;
  }
}

// The table is read rightly: a name the collectors only import is
// undefined there, one they do not have is missing.
TEST(CollectorExports, ImportsAndAbsentNamesAreToldApart) {
  const std::string zmostati = zmo::JoinPath(ZMO_TEST_BIN_DIR, "zmostati");
  EXPECT_EQ(FindDynamicSymbol(zmostati, "fopen"), DynamicSymbol::kUndefined);
  EXPECT_EQ(FindDynamicSymbol(zmostati, "statiStartQuery"), DynamicSymbol::kMissing);
}

}  // namespace
