#include "scramble.h"

#include <cstring>

#include "platform/clock.h"
#include "zmogdlib/zmogdlib.h"

namespace zmo::gdlib {
namespace {

// Bytes around the password: the salt before and after it.
constexpr std::size_t kFrameBytes = 2 * kSaltBytes;
// The longest text Decrypt looks at: that of a 254-byte password.
constexpr std::size_t kMaxDecryptTextLength = SixBitLength(kMaxDecryptedLength + kFrameBytes);

// Six-bit value of an alphabet character, or -1.
int SixBitValue(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '_') return 62;
  if (c == '.') return 63;
  return -1;
}

// The key used byte by byte, back to its first byte after its last.
class KeyCycle {
 public:
  KeyCycle(const unsigned char* key, std::size_t length) : key_(key), length_(length) {}
  unsigned char Next() {
    unsigned char k = key_[pos_];
    pos_ = (pos_ + 1 == length_) ? 0 : pos_ + 1;
    return k;
  }

 private:
  const unsigned char* key_;
  std::size_t length_;
  std::size_t pos_ = 0;
};

bool IsEmpty(const char* s) { return s == nullptr || *s == '\0'; }

}  // namespace

void SeedScrambleRandom(ScrambleRandom* rng, std::uint32_t seed) { rng->next = seed; }

int NextScrambleRandom(ScrambleRandom* rng) {
  // Unsigned arithmetic wraps modulo 2^32; the bits kept lie below bit 31,
  // so a wider state would give the same values.
  rng->next = rng->next * 1103515245u + 12345u;
  return static_cast<int>((rng->next / 65536u) % 32768u);
}

std::string encodeSixBit(const unsigned char* bytes, std::size_t count) {
  std::string text;
  text.reserve(SixBitLength(count));
  unsigned bits = 0;     // pending stream bits, the oldest in bit 0
  unsigned pending = 0;  // how many of them
  for (std::size_t i = 0; i < count; ++i) {
    bits |= static_cast<unsigned>(bytes[i]) << pending;
    pending += 8;
    while (pending >= 6) {
      text.push_back(kScrambleAlphabet[bits & 0x3f]);
      bits >>= 6;
      pending -= 6;
    }
  }
  // The last group, filled up with 0 bits.
  if (pending > 0) text.push_back(kScrambleAlphabet[bits & 0x3f]);
  return text;
}

int decodeSixBit(const char* text, std::size_t length, std::string* bytes) {
  const std::size_t count = 6 * length / 8;
  // Only lengths the encoder makes: 4j + 1 characters hold no whole byte more
  // than 4j do.
  if (SixBitLength(count) != length) return kScrambleMalformed;
  std::string out;
  out.reserve(count);
  unsigned bits = 0;
  unsigned pending = 0;
  for (std::size_t i = 0; i < length; ++i) {
    int value = SixBitValue(text[i]);
    if (value < 0) return kScrambleMalformed;
    bits |= static_cast<unsigned>(value) << pending;
    pending += 6;
    if (pending >= 8) {
      out.push_back(static_cast<char>(bits & 0xff));
      bits >>= 8;
      pending -= 8;
    }
  }
  // What is left over are the fill bits of the last group.
  bytes->swap(out);
  return kScrambleOk;
}

int encryptString(const char* key, const std::string& plain, std::uint32_t salt,
                  std::string* text) {
  if (IsEmpty(key) || plain.empty()) return kScrambleEmpty;
  if (plain.size() > kMaxPasswordLength) return kScrambleTooLong;

  unsigned char salt_bytes[kSaltBytes];
  for (std::size_t i = 0; i < kSaltBytes; ++i) salt_bytes[i] = (salt >> (8 * i)) & 0xff;

  std::string clear;
  clear.reserve(plain.size() + kFrameBytes);
  clear.append(reinterpret_cast<const char*>(salt_bytes), kSaltBytes);
  clear.append(plain);
  clear.append(reinterpret_cast<const char*>(salt_bytes), kSaltBytes);

  // Each byte is chained with the clear byte before it.
  KeyCycle keys(reinterpret_cast<const unsigned char*>(key), std::strlen(key));
  std::string chained(clear.size(), '\0');
  unsigned char prev = 0;
  for (std::size_t i = 0; i < clear.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(clear[i]);
    chained[i] = static_cast<char>(prev ^ keys.Next() ^ x);
    prev = x;
  }
  *text = encodeSixBit(reinterpret_cast<const unsigned char*>(chained.data()), chained.size());
  return kScrambleOk;
}

int decryptString(const char* key, const std::string& text, std::string* plain) {
  if (IsEmpty(key) || text.empty()) return kScrambleEmpty;
  if (text.size() > kMaxDecryptTextLength) return kScrambleTooLong;

  std::string bytes;
  int status = decodeSixBit(text.data(), text.size(), &bytes);
  if (status != kScrambleOk) return status;
  if (bytes.size() < kFrameBytes) return kScrambleMalformed;

  KeyCycle keys(reinterpret_cast<const unsigned char*>(key), std::strlen(key));
  unsigned char prev = 0;
  for (char& b : bytes) {
    prev = prev ^ keys.Next() ^ static_cast<unsigned char>(b);
    b = static_cast<char>(prev);
  }
  // Only the key that made the text brings back the same salt at both ends.
  if (bytes.compare(0, kSaltBytes, bytes, bytes.size() - kSaltBytes, kSaltBytes) != 0) {
    return kScrambleMismatch;
  }
  *plain = bytes.substr(kSaltBytes, bytes.size() - kFrameBytes);
  return kScrambleOk;
}

}  // namespace zmo::gdlib

using namespace zmo::gdlib;

extern "C" int Encrypt(const char* plain, const char* key, char* out) {
  if (IsEmpty(plain) || IsEmpty(key) || out == nullptr) return 0;
  // One more byte than allowed is enough to tell a password that is too long.
  std::string password(plain, strnlen(plain, kMaxPasswordLength + 1));

  // Seeded afresh from the current second at every call, as the format
  // expects; the third and fourth salt bytes are therefore 0.
  ScrambleRandom rng;
  SeedScrambleRandom(&rng, static_cast<std::uint32_t>(zmo::ClockNow()));
  std::uint32_t salt = static_cast<std::uint32_t>(NextScrambleRandom(&rng));

  std::string text;
  if (encryptString(key, password, salt, &text) != kScrambleOk) return 0;
  std::memcpy(out, text.c_str(), text.size() + 1);
  return static_cast<int>(text.size());
}

extern "C" int Decrypt(const char* text, const char* key, char* out) {
  if (IsEmpty(text) || IsEmpty(key) || out == nullptr) return 0;
  // Never read further than one byte past the longest acceptable text.
  std::string scrambled(text, strnlen(text, kMaxDecryptTextLength + 1));

  std::string plain;
  if (decryptString(key, scrambled, &plain) != kScrambleOk || plain.empty()) return 0;
  std::memcpy(out, plain.c_str(), plain.size() + 1);
  return static_cast<int>(plain.size());
}
