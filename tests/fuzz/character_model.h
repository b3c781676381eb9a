// Plain reference model of double-byte text for the fuzz targets: the lead bytes written out
// by hand and a walk over characters, kept apart from the code under test.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace model {

// Stops the fuzz target with the broken rule; libFuzzer keeps the input that did it.
inline void Expect(bool holds, const char* rule) {
  if (!holds) {
    std::fprintf(stderr, "broken: %s\n", rule);
    std::abort();
  }
}

inline bool IsLead(unsigned codePage, unsigned char byte) {
  return codePage == 932 && ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC));
}

// Where each character of bytes starts when walked from its first byte: a lead byte takes
// the byte after it along, unless it is the last byte. The length itself ends the list.
inline std::vector<int> CharacterStarts(unsigned codePage, const std::string& bytes) {
  std::vector<int> starts;
  int length = static_cast<int>(bytes.size());
  int at = 0;
  while (at < length) {
    starts.push_back(at);
    at += IsLead(codePage, static_cast<unsigned char>(bytes[at])) && at + 1 < length ? 2 : 1;
  }
  starts.push_back(length);
  return starts;
}

inline bool StartsCharacter(unsigned codePage, const std::string& bytes, int index) {
  for (int start : CharacterStarts(codePage, bytes)) {
    if (start == index) {
      return true;
    }
  }
  return false;
}

// True when the last byte is a lead byte standing alone, its trail byte missing.
inline bool EndsWithLoneLead(unsigned codePage, const std::string& bytes) {
  std::vector<int> starts = CharacterStarts(codePage, bytes);
  if (starts.size() < 2) {
    return false;
  }
  int last = starts[starts.size() - 2];
  return last == static_cast<int>(bytes.size()) - 1 &&
         IsLead(codePage, static_cast<unsigned char>(bytes[last]));
}

// What a character-by-character copy keeps: everything but a lone lead byte at the end.
inline std::string Copy(unsigned codePage, const std::string& bytes) {
  if (EndsWithLoneLead(codePage, bytes)) {
    return bytes.substr(0, bytes.size() - 1);
  }
  return bytes;
}

// A byte string as the code under test sees it: up to its first NUL.
inline std::string UpToNul(const std::string& bytes) {
  return bytes.substr(0, bytes.find('\0'));
}

}  // namespace model
