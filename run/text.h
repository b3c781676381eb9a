// Text: the owned, NUL-terminated byte string in the ANSI code page that every piece of the
// program's text is held in. Double-byte characters are stepped over whole.
#pragma once

// Reads the lead-byte ranges of the ANSI code page; called once at start-up, before the
// command line is split. Until then every byte is a character of its own.
void LoadLeadBytes();
bool IsLeadByte(unsigned char byte);

// Number of bytes that the character starting at bytes[0] takes: 2 for a lead byte followed
// by a trail byte, 1 otherwise (a lead byte before the NUL stands alone).
int CharacterSize(const char* bytes);

class Text {
 public:
  Text();
  // Copies character by character; a lead byte left last without its trail byte is dropped.
  Text(const char* bytes);  // NOLINT(google-explicit-constructor): texts mix with literals
  Text(const char* bytes, int count);
  Text(const Text& other);
  // Assignment copies the bytes exactly as they are.
  Text& operator=(const Text& other);
  Text& operator=(const char* bytes);
  ~Text();

  int Length() const { return length_; }
  const char* Bytes() const { return bytes_; }

  Text& operator+=(const char* bytes);
  Text& operator+=(const Text& other) { return *this += other.bytes_; }
  bool operator==(const char* bytes) const;

  // Index of the first occurrence of sub that starts on a character at or after start, or -1.
  int Find(const char* sub, int start = 0) const;
  int Find(const Text& sub, int start = 0) const { return Find(sub.bytes_, start); }
  // Index of the first single-byte character ch at or after start, or -1.
  int FindChar(char ch, int start = 0) const;
  Text Left(int count) const;
  Text Right(int count) const;
  // Cuts the trailing run of blanks (bytes 9 to 13 and 32).
  Text& TrimRight();
  // Replaces every non-overlapping occurrence, left to right; inserted text is not searched
  // again. Returns how many were replaced.
  int Replace(const char* old, const char* with);
  // True when the last character is the single-byte character ch.
  bool EndsWithChar(char ch) const;

 private:
  // Appends grow the buffer geometrically, so a text built from many pieces costs linear time.
  void Reserve(int length);
  int FindFrom(int boundary, const char* sub, int subLength, int start) const;

  char* bytes_;
  int length_;
  int capacity_;  // bytes the buffer holds before its NUL
};

Text operator+(const Text& left, const char* right);
inline Text operator+(const Text& left, const Text& right) {
  return left + right.Bytes();
}
