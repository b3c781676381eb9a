// Fuzz target for the start-up split of the command line: the input is the raw command line,
// run under code page 1252 or 932 (first byte), checked against a model of the split.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "run/command_line.h"
#include "run/text.h"
#include "tests/fuzz/character_model.h"
#include "tests/fuzz/code_page_stub.h"

namespace {

using model::Expect;

bool IsSkipped(unsigned char byte) {
  return byte >= 1 && byte <= 32;
}

// Offset of the first byte after the program's name and the blanks that follow it.
std::size_t ModelSplit(unsigned codePage, const std::string& raw) {
  std::size_t end = 0;
  if (!raw.empty() && raw[0] == '"') {
    // The name is walked as text of its own, so a trail byte is never taken for the quote.
    std::string quoted = raw.substr(1);
    end = raw.size();
    for (int at : model::CharacterStarts(codePage, quoted)) {
      if (at < static_cast<int>(quoted.size()) && quoted[at] == '"') {
        end = 1 + at + 1;
        break;
      }
    }
  } else {
    while (end < raw.size() && static_cast<unsigned char>(raw[end]) > 32) {
      ++end;
    }
  }
  while (end < raw.size() && IsSkipped(static_cast<unsigned char>(raw[end]))) {
    ++end;
  }
  return end;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  unsigned codePage = UseFuzzCodePage(data[0]);
  std::string raw = model::UpToNul(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));

  // Exactly the line and its NUL, so that reading past the end is caught.
  std::unique_ptr<char[]> line(new char[raw.size() + 1]);
  std::memcpy(line.get(), raw.c_str(), raw.size() + 1);
  const char* rest = SkipProgramName(line.get());

  Expect(rest >= line.get() && rest <= line.get() + raw.size(), "the rest lies inside the line");
  Expect(std::memcmp(line.get(), raw.c_str(), raw.size() + 1) == 0, "the line is left untouched");
  std::size_t skipped = static_cast<std::size_t>(rest - line.get());
  Expect(*rest == '\0' || !IsSkipped(static_cast<unsigned char>(*rest)),
         "the rest starts after every blank");
  if (!raw.empty() && raw[0] == '"' && skipped < raw.size()) {
    // The name stopped short of the end of the line, so at its closing quote.
    std::size_t quote = skipped - 1;
    while (quote > 0 && IsSkipped(static_cast<unsigned char>(raw[quote]))) {
      --quote;
    }
    Expect(quote > 0 && raw[quote] == '"', "a quoted name ends at its closing quote");
    Expect(model::StartsCharacter(codePage, raw.substr(1), static_cast<int>(quote) - 1),
           "the closing quote is never a trail byte");
  }
  Expect(skipped == ModelSplit(codePage, raw), "the split ends where the model's does");
  return 0;
}
