// The command-line split of the program's start-up. Bytes count as unsigned: a byte of 128
// or above belongs to an unquoted name, unlike in the toolchain's own split.
#include "run/command_line.h"

#include "run/text.h"

const char* SkipProgramName(const char* raw) {
  const unsigned char* at = reinterpret_cast<const unsigned char*>(raw);
  if (*at == '"') {
    ++at;
    while (*at != '\0' && *at != '"') {
      at += CharacterSize(reinterpret_cast<const char*>(at));
    }
    if (*at == '"') {
      ++at;
    }
  } else {
    while (*at > ' ') {
      ++at;
    }
  }
  while (*at != '\0' && *at <= ' ') {
    ++at;
  }
  return reinterpret_cast<const char*>(at);
}
