// Text operations, with the double-byte stepping of the ANSI code page.
// Copies are made character by character; assignment and append copy bytes as they are.
#include "run/text.h"

#include <windows.h>

#include <cstring>
#include <functional>

namespace {

bool gLeadBytes[256];

bool IsBlank(unsigned char byte) {
  return byte == ' ' || (byte >= 9 && byte <= 13);
}

int ByteLength(const char* bytes) {
  return static_cast<int>(std::strlen(bytes));
}

// How many of the first count bytes of source a copy keeps: it stops at a NUL, and a lead byte
// whose trail byte lies at or beyond count is left out.
int CharactersWithin(const char* source, int count) {
  int kept = 0;
  while (kept < count && source[kept] != '\0') {
    int size = CharacterSize(source + kept);
    if (kept + size > count) {
      break;
    }
    if (size == 1 && IsLeadByte(static_cast<unsigned char>(source[kept]))) {
      break;
    }
    kept += size;
  }
  return kept;
}

}  // namespace

void LoadLeadBytes() {
  std::memset(gLeadBytes, 0, sizeof gLeadBytes);
  CPINFO info = {};
  if (!GetCPInfo(GetACP(), &info)) {
    return;
  }
  for (int i = 0; i + 1 < MAX_LEADBYTES; i += 2) {
    BYTE first = info.LeadByte[i];
    BYTE last = info.LeadByte[i + 1];
    if (first == 0 && last == 0) {
      break;
    }
    for (int byte = first; byte <= last; ++byte) {
      gLeadBytes[byte] = true;
    }
  }
}

bool IsLeadByte(unsigned char byte) {
  return gLeadBytes[byte];
}

int CharacterSize(const char* bytes) {
  return IsLeadByte(static_cast<unsigned char>(bytes[0])) && bytes[1] != '\0' ? 2 : 1;
}

Text::Text() : bytes_(new char[1]), length_(0), capacity_(0) {
  bytes_[0] = '\0';
}

Text::Text(const char* bytes) : Text(bytes, ByteLength(bytes)) {}

Text::Text(const char* bytes, int count) : Text() {
  int kept = CharactersWithin(bytes, count);
  Reserve(kept);
  std::memcpy(bytes_, bytes, kept);
  bytes_[kept] = '\0';
  length_ = kept;
}

Text::Text(const Text& other) : Text(other.bytes_, other.length_) {}

Text& Text::operator=(const Text& other) {
  if (this != &other) {
    *this = other.bytes_;
  }
  return *this;
}

Text& Text::operator=(const char* bytes) {
  if (bytes != bytes_) {
    int length = ByteLength(bytes);
    char* copy = new char[length + 1];
    std::memcpy(copy, bytes, length + 1);
    delete[] bytes_;
    bytes_ = copy;
    length_ = length;
    capacity_ = length;
  }
  return *this;
}

Text::~Text() {
  delete[] bytes_;
}

void Text::Reserve(int length) {
  if (length <= capacity_) {
    return;
  }
  int capacity = capacity_ * 2 > length ? capacity_ * 2 : length;
  char* grown = new char[capacity + 1];
  std::memcpy(grown, bytes_, length_ + 1);
  delete[] bytes_;
  bytes_ = grown;
  capacity_ = capacity;
}

Text& Text::operator+=(const char* bytes) {
  std::less_equal<const char*> notAfter;
  if (notAfter(bytes_, bytes) && notAfter(bytes, bytes_ + length_)) {
    Text copy;  // the bytes live in the buffer about to grow
    copy = bytes;
    return *this += copy.bytes_;
  }
  int added = ByteLength(bytes);
  Reserve(length_ + added);
  std::memcpy(bytes_ + length_, bytes, added + 1);
  length_ += added;
  return *this;
}

bool Text::operator==(const char* bytes) const {
  return std::strcmp(bytes_, bytes) == 0;
}

// Walks characters from boundary, which must start a character, to the first match at or
// after start.
int Text::FindFrom(int boundary, const char* sub, int subLength, int start) const {
  for (int i = boundary; i + subLength <= length_; i += CharacterSize(bytes_ + i)) {
    if (i >= start && std::memcmp(bytes_ + i, sub, subLength) == 0) {
      return i;
    }
  }
  return -1;
}

int Text::Find(const char* sub, int start) const {
  if (start > length_) {
    return -1;
  }
  return FindFrom(0, sub, ByteLength(sub), start);
}

int Text::FindChar(char ch, int start) const {
  if (start >= length_) {
    return -1;
  }
  for (int i = 0; i < length_; i += CharacterSize(bytes_ + i)) {
    if (i >= start && bytes_[i] == ch && CharacterSize(bytes_ + i) == 1) {
      return i;
    }
  }
  return -1;
}

Text Text::Left(int count) const {
  count = count < 0 ? 0 : (count > length_ ? length_ : count);
  return Text(bytes_, count);
}

Text Text::Right(int count) const {
  count = count < 0 ? 0 : (count > length_ ? length_ : count);
  return Text(bytes_ + length_ - count, count);
}

Text& Text::TrimRight() {
  int blankRun = -1;
  for (int i = 0; i < length_; i += CharacterSize(bytes_ + i)) {
    if (CharacterSize(bytes_ + i) == 1 && IsBlank(static_cast<unsigned char>(bytes_[i]))) {
      if (blankRun < 0) {
        blankRun = i;
      }
    } else {
      blankRun = -1;
    }
  }
  if (blankRun >= 0) {
    bytes_[blankRun] = '\0';
    length_ = blankRun;
  }
  return *this;
}

int Text::Replace(const char* old, const char* with) {
  int oldLength = ByteLength(old);
  if (oldLength == 0) {
    return 0;
  }
  int count = 0;
  for (int at = FindFrom(0, old, oldLength, 0); at >= 0;
       at = FindFrom(at + oldLength, old, oldLength, at + oldLength)) {
    ++count;
  }
  if (count == 0) {
    return 0;
  }
  // One pass into a new buffer: the same text as moving the rest at every match, in linear time.
  int withLength = ByteLength(with);
  int finalLength = length_ + (withLength - oldLength) * count;
  char* replaced = new char[finalLength + 1];
  int from = 0;
  int to = 0;
  for (int at = FindFrom(0, old, oldLength, 0); at >= 0;
       at = FindFrom(at + oldLength, old, oldLength, at + oldLength)) {
    std::memcpy(replaced + to, bytes_ + from, at - from);
    to += at - from;
    std::memcpy(replaced + to, with, withLength);
    to += withLength;
    from = at + oldLength;
  }
  std::memcpy(replaced + to, bytes_ + from, length_ - from + 1);
  delete[] bytes_;
  bytes_ = replaced;
  length_ = finalLength;
  capacity_ = finalLength;
  return count;
}

bool Text::EndsWithChar(char ch) const {
  int last = -1;
  for (int i = 0; i < length_; i += CharacterSize(bytes_ + i)) {
    last = i;
  }
  return last >= 0 && bytes_[last] == ch && CharacterSize(bytes_ + last) == 1;
}

Text operator+(const Text& left, const char* right) {
  Text joined = left;
  joined += right;
  return Text(joined);
}
