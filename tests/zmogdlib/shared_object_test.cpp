// The built zmogdlib.so as the programs load it: by path, exports resolved
// by name, and nothing but the four exports visible.
#include <elf.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "platform/dynlib.h"
#include "zmogdlib/zmogdlib.h"

namespace {

const char kLibraryPath[] = ZMO_TEST_BIN_DIR "/zmogdlib.so";
const char kConfigKey[] = "Qortane4_Brelmuskand7";

// The names the shared object defines in its dynamic symbol table, read
// from the file itself so that no visible symbol escapes the check.
std::set<std::string> DefinedDynamicSymbols(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  const std::string image = content.str();
  std::set<std::string> names;

  auto fits = [&](std::uint64_t offset, std::uint64_t size) {
    return offset <= image.size() && size <= image.size() - offset;
  };
  Elf64_Ehdr header;
  if (!fits(0, sizeof header)) return names;
  std::memcpy(&header, image.data(), sizeof header);
  if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64 ||
      header.e_shentsize != sizeof(Elf64_Shdr)) {
    return names;
  }
  auto section = [&](std::size_t index, Elf64_Shdr* out) {
    std::uint64_t offset = header.e_shoff + index * sizeof(Elf64_Shdr);
    if (index >= header.e_shnum || !fits(offset, sizeof *out)) return false;
    std::memcpy(out, image.data() + offset, sizeof *out);
    return true;
  };
  for (std::size_t i = 0; i < header.e_shnum; ++i) {
    Elf64_Shdr symbols, strings;
    if (!section(i, &symbols) || symbols.sh_type != SHT_DYNSYM) continue;
    if (!section(symbols.sh_link, &strings) || !fits(symbols.sh_offset, symbols.sh_size) ||
        !fits(strings.sh_offset, strings.sh_size)) {
      continue;
    }
    for (std::uint64_t at = sizeof(Elf64_Sym); at + sizeof(Elf64_Sym) <= symbols.sh_size;
         at += sizeof(Elf64_Sym)) {
      Elf64_Sym symbol;
      std::memcpy(&symbol, image.data() + symbols.sh_offset + at, sizeof symbol);
      const unsigned binding = ELF64_ST_BIND(symbol.st_info);
      if (symbol.st_shndx == SHN_UNDEF || binding == STB_LOCAL) continue;
      if (symbol.st_name >= strings.sh_size) continue;
      const char* name = image.data() + strings.sh_offset + symbol.st_name;
      names.insert(std::string(name, strnlen(name, strings.sh_size - symbol.st_name)));
    }
  }
  return names;
}

class SharedObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryA(kLibraryPath);
    ASSERT_NE(module_, nullptr) << kLibraryPath;
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }
  HMODULE module_ = nullptr;
};

TEST_F(SharedObjectTest, RoundTripsWithTheConfiguratorKey) {
  auto encrypt = reinterpret_cast<ZmoEncryptFn>(GetProcAddress(module_, "Encrypt"));
  auto decrypt = reinterpret_cast<ZmoDecryptFn>(GetProcAddress(module_, "Decrypt"));
  ASSERT_NE(encrypt, nullptr);
  ASSERT_NE(decrypt, nullptr);
  const std::string plains[] = {"a", "secret", "Pa55_w.rd!", "fourteen chars",
                                std::string(182, 'm')};
  for (const std::string& plain : plains) {
    char text[255];
    const int length = encrypt(plain.c_str(), kConfigKey, text);
    ASSERT_EQ(static_cast<std::size_t>(length), (8 * (plain.size() + 8) + 5) / 6) << plain;
    char back[255];
    ASSERT_EQ(decrypt(text, kConfigKey, back), static_cast<int>(plain.size())) << plain;
    EXPECT_EQ(std::string(back), plain);
  }
  char out[255] = "untouched";
  EXPECT_EQ(encrypt(std::string(183, 'm').c_str(), kConfigKey, out), 0);
  EXPECT_EQ(decrypt("AAAAAAAAAAAA", kConfigKey, out), 0);
  EXPECT_STREQ(out, "untouched");
}

TEST_F(SharedObjectTest, OnlyTheFourExportsAreVisible) {
  for (const char* name : {"Encrypt", "Decrypt", "ReadRegistry", "UpdateRegistry"}) {
    EXPECT_NE(GetProcAddress(module_, name), nullptr) << name;
  }
  for (const char* name : {"encodeSixBit", "decodeSixBit", "encryptString", "decryptString",
                           "_ZN3zmo8ClockNowEv", "_ZN3zmo6SetEnvEPNS_3EnvE", "LoadLibraryA"}) {
    EXPECT_EQ(GetProcAddress(module_, name), nullptr) << name;
  }
  const std::set<std::string> expected = {"Decrypt", "Encrypt", "ReadRegistry", "UpdateRegistry"};
  EXPECT_EQ(DefinedDynamicSymbols(kLibraryPath), expected);
}

}  // namespace
