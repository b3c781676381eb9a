// Fuzz target for Text: the input is a script of operations over three texts, run under code
// page 1252 or 932 (first byte), each result checked against a std::string model.
#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "run/text.h"
#include "tests/fuzz/character_model.h"
#include "tests/fuzz/code_page_stub.h"

namespace {

using model::Expect;

constexpr int kSlots = 3;
// Texts stop growing here, so that self-appends cannot blow a script up.
constexpr std::size_t kLongestText = 4096;
constexpr std::size_t kLongestPiece = 48;

enum Operation {
  kConstruct,
  kConstructCount,
  kCopy,
  kPassByValue,
  kAssign,
  kAssignBytes,
  kAssignOwnTail,
  kAppendBytes,
  kAppendText,
  kAppendOwnTail,
  kConcatBytes,
  kConcatText,
  kLeft,
  kRight,
  kTrimRight,
  kFind,
  kFindText,
  kFindChar,
  kEquals,
  kReplace,
  kEndsWithChar,
  kOperationCount
};

struct Script {
  FuzzedDataProvider* input;
  unsigned codePage;
  Text texts[kSlots];
  std::string models[kSlots];
};

bool IsBlank(unsigned char byte) {
  return byte == ' ' || (byte >= 9 && byte <= 13);
}

int Size(const std::string& bytes) {
  return static_cast<int>(bytes.size());
}

void ExpectHolds(const Text& text, const std::string& expected, const char* rule) {
  Expect(text.Length() == Size(expected), rule);
  Expect(static_cast<int>(std::strlen(text.Bytes())) == text.Length(), "length counts to the NUL");
  Expect(std::memcmp(text.Bytes(), expected.data(), expected.size()) == 0, rule);
}

// Every text built by copying: never a lone lead byte last, and what the model's copy keeps.
void ExpectCopy(const Script& script, const Text& made, const std::string& source,
                const char* rule) {
  std::string bytes(made.Bytes(), made.Length());
  Expect(!model::EndsWithLoneLead(script.codePage, bytes), "a copy never ends on a lone lead byte");
  Expect(source.compare(0, bytes.size(), bytes) == 0, "a copy is a prefix of its source");
  ExpectHolds(made, model::Copy(script.codePage, source), rule);
}

std::string Piece(Script& script) {
  return model::UpToNul(script.input->ConsumeRandomLengthString(kLongestPiece));
}

// A search text: often a piece of the text searched, so that matches are common.
std::string Needle(Script& script, const std::string& haystack) {
  if (!haystack.empty() && script.input->ConsumeBool()) {
    std::size_t at = script.input->ConsumeIntegralInRange<std::size_t>(0, haystack.size() - 1);
    std::size_t count = script.input->ConsumeIntegralInRange<std::size_t>(0, 4);
    return haystack.substr(at, count);
  }
  return Piece(script);
}

int Slot(Script& script) {
  return script.input->ConsumeIntegralInRange<int>(0, kSlots - 1);
}

// A count for Left and Right: mostly near the length, sometimes anything at all.
int Count(Script& script, int length) {
  if (script.input->ConsumeBool()) {
    return script.input->ConsumeIntegral<int>();
  }
  return script.input->ConsumeIntegralInRange<int>(-2, length + 2);
}

int Start(Script& script, int length) {
  if (script.input->ConsumeBool()) {
    return script.input->ConsumeIntegralInRange<int>(0, INT_MAX);
  }
  return script.input->ConsumeIntegralInRange<int>(0, length + 2);
}

Text PassThrough(Text text) {
  return text;
}

int Clamp(int count, int length) {
  return count < 0 ? 0 : (count > length ? length : count);
}

int ModelFind(const Script& script, const std::string& text, const std::string& sub, int start) {
  if (start > Size(text)) {
    return -1;
  }
  for (int at : model::CharacterStarts(script.codePage, text)) {
    if (at >= start && at + Size(sub) <= Size(text) && text.compare(at, sub.size(), sub) == 0) {
      return at;
    }
  }
  return -1;
}

void CheckFind(const Script& script, int found, const std::string& text, const std::string& sub,
               int start) {
  if (found >= 0) {
    Expect(found >= start, "a match lies at or after start");
    Expect(model::StartsCharacter(script.codePage, text, found),
           "a match never starts on a trail byte");
    Expect(text.compare(found, sub.size(), sub) == 0, "a match holds the text searched for");
  }
  Expect(found == ModelFind(script, text, sub, start), "Find gives the first match");
}

int ModelFindChar(const Script& script, const std::string& text, char ch, int start) {
  if (start >= Size(text)) {
    return -1;
  }
  std::vector<int> starts = model::CharacterStarts(script.codePage, text);
  for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
    int at = starts[i];
    if (at >= start && starts[i + 1] - at == 1 && text[at] == ch) {
      return at;
    }
  }
  return -1;
}

// Walks backwards over the character starts, dropping single-byte blanks.
int ModelTrimCut(const Script& script, const std::string& text) {
  std::vector<int> starts = model::CharacterStarts(script.codePage, text);
  int cut = Size(text);
  for (int i = static_cast<int>(starts.size()) - 2; i >= 0; --i) {
    int at = starts[i];
    if (starts[i + 1] - at != 1 || !IsBlank(static_cast<unsigned char>(text[at]))) {
      break;
    }
    cut = at;
  }
  return cut;
}

// Non-overlapping, left to right; the walk goes on right after each match, so inserted text
// is never searched.
std::string ModelReplace(const Script& script, const std::string& text, const std::string& old,
                         const std::string& with, int* count) {
  *count = 0;
  if (old.empty()) {
    return text;
  }
  std::string result;
  int at = 0;
  while (at < Size(text)) {
    if (at + Size(old) <= Size(text) && text.compare(at, old.size(), old) == 0) {
      result += with;
      at += Size(old);
      ++*count;
      continue;
    }
    bool pair =
        model::IsLead(script.codePage, static_cast<unsigned char>(text[at])) && at + 1 < Size(text);
    int size = pair ? 2 : 1;
    result.append(text, at, size);
    at += size;
  }
  return result;
}

void Step(Script& script) {
  FuzzedDataProvider& input = *script.input;
  int a = Slot(script);
  Text& text = script.texts[a];
  std::string& held = script.models[a];
  switch (input.ConsumeIntegralInRange<int>(0, kOperationCount - 1)) {
    case kConstruct: {
      std::string bytes = Piece(script);
      Text made(bytes.c_str());
      ExpectCopy(script, made, bytes, "construction copies character by character");
      text = made;
      held = model::Copy(script.codePage, bytes);
      break;
    }
    case kConstructCount: {
      std::string bytes = Piece(script);
      int count = input.ConsumeIntegralInRange<int>(0, Size(bytes));
      Text made(bytes.c_str(), count);
      ExpectCopy(script, made, bytes.substr(0, count), "a counted construction copies a prefix");
      break;
    }
    case kCopy: {
      int b = Slot(script);
      Text made(script.texts[b]);
      ExpectCopy(script, made, script.models[b], "copy construction");
      text = made;
      held = model::Copy(script.codePage, script.models[b]);
      break;
    }
    case kPassByValue: {
      Text made = PassThrough(text);
      ExpectCopy(script, made, model::Copy(script.codePage, held), "a text passed by value");
      break;
    }
    case kAssign: {
      int b = Slot(script);
      std::string bytes = script.models[b];
      text = script.texts[b];
      held = bytes;
      break;
    }
    case kAssignBytes: {
      std::string bytes = Piece(script);
      text = bytes.c_str();
      held = bytes;
      break;
    }
    case kAssignOwnTail: {
      std::size_t from = input.ConsumeIntegralInRange<std::size_t>(0, held.size());
      text = text.Bytes() + from;
      held = held.substr(from);
      break;
    }
    case kAppendBytes: {
      std::string bytes = Piece(script);
      if (held.size() + bytes.size() <= kLongestText) {
        text += bytes.c_str();
        held += bytes;
      }
      break;
    }
    case kAppendText: {
      int b = Slot(script);
      std::string bytes = script.models[b];
      if (held.size() + bytes.size() <= kLongestText) {
        text += script.texts[b];
        held += bytes;
      }
      break;
    }
    case kAppendOwnTail: {
      std::size_t from = input.ConsumeIntegralInRange<std::size_t>(0, held.size());
      if (held.size() * 2 - from <= kLongestText) {
        text += text.Bytes() + from;
        held += held.substr(from);
      }
      break;
    }
    case kConcatBytes: {
      std::string bytes = Piece(script);
      Text made = text + bytes.c_str();
      ExpectCopy(script, made, model::Copy(script.codePage, held) + bytes, "concatenation");
      break;
    }
    case kConcatText: {
      int b = Slot(script);
      Text made = text + script.texts[b];
      ExpectCopy(script, made, model::Copy(script.codePage, held) + script.models[b],
                 "concatenation of two texts");
      break;
    }
    case kLeft: {
      int count = Count(script, Size(held));
      Text made = text.Left(count);
      ExpectCopy(script, made, held.substr(0, Clamp(count, Size(held))), "Left");
      Expect(model::StartsCharacter(script.codePage, held, made.Length()),
             "Left never cuts a character in two");
      break;
    }
    case kRight: {
      int count = Count(script, Size(held));
      Text made = text.Right(count);
      ExpectCopy(script, made, held.substr(held.size() - Clamp(count, Size(held))), "Right");
      break;
    }
    case kTrimRight: {
      Text* same = &text.TrimRight();
      Expect(same == &text, "TrimRight returns the receiver");
      int cut = ModelTrimCut(script, held);
      Expect(text.Length() == cut, "TrimRight cuts the trailing run of blanks");
      Expect(model::StartsCharacter(script.codePage, held, cut), "the cut starts a character");
      held.resize(cut);
      break;
    }
    case kFind: {
      std::string sub = Needle(script, held);
      int start = Start(script, Size(held));
      CheckFind(script, text.Find(sub.c_str(), start), held, sub, start);
      break;
    }
    case kFindText: {
      int b = Slot(script);
      int start = Start(script, Size(held));
      CheckFind(script, text.Find(script.texts[b], start), held, script.models[b], start);
      break;
    }
    case kFindChar: {
      char ch = input.ConsumeIntegral<char>();
      int start = Start(script, Size(held));
      int found = text.FindChar(ch, start);
      if (found >= 0) {
        Expect(model::StartsCharacter(script.codePage, held, found),
               "FindChar never stops on a trail byte");
      }
      Expect(found == ModelFindChar(script, held, ch, start), "FindChar gives the first match");
      break;
    }
    case kEquals: {
      std::string other = input.ConsumeBool() ? held : Piece(script);
      if (!other.empty() && input.ConsumeBool()) {
        other[input.ConsumeIntegralInRange<std::size_t>(0, other.size() - 1)] ^= 1;
      }
      Expect((text == other.c_str()) == (held == model::UpToNul(other)),
             "equality compares the characters");
      break;
    }
    case kReplace: {
      std::string old = Needle(script, held);
      std::string with = Piece(script);
      int expectedCount = 0;
      std::string expected = ModelReplace(script, held, old, with, &expectedCount);
      if (expected.size() > kLongestText) {
        break;
      }
      int count = text.Replace(old.c_str(), with.c_str());
      Expect(count == expectedCount, "Replace counts the non-overlapping matches");
      Expect(text.Length() == Size(held) + (Size(with) - Size(old)) * count,
             "Replace sizes the text exactly");
      held = expected;
      break;
    }
    case kEndsWithChar: {
      char ch = input.ConsumeIntegral<char>();
      std::vector<int> starts = model::CharacterStarts(script.codePage, held);
      bool expected =
          starts.size() >= 2 && held.back() == ch && starts[starts.size() - 2] == Size(held) - 1;
      Expect(text.EndsWithChar(ch) == expected, "EndsWithChar looks at the last character");
      break;
    }
    default:
      break;
  }
  for (int i = 0; i < kSlots; ++i) {
    ExpectHolds(script.texts[i], script.models[i], "every text holds what the model holds");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  unsigned codePage = UseFuzzCodePage(data[0]);
  for (int byte = 0; byte < 256; ++byte) {
    Expect(IsLeadByte(static_cast<unsigned char>(byte)) ==
               model::IsLead(codePage, static_cast<unsigned char>(byte)),
           "the lead bytes are those of the code page");
  }
  FuzzedDataProvider input(data + 1, size - 1);
  Script script{&input, codePage, {}, {}};
  while (input.remaining_bytes() > 0) {
    Step(script);
  }
  return 0;
}
