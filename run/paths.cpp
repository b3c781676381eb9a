// Path helpers over Text. A backslash that is the trail byte of a double-byte character is
// part of that character, never a separator.
#include "run/paths.h"

Text FileNameOf(Text path) {
  int last = -1;
  for (int hit = path.FindChar('\\'); hit >= 0; hit = path.FindChar('\\', hit + 1)) {
    last = hit;
  }
  if (last < 0) {
    return Text();
  }
  return path.Right(path.Length() - last - 1);
}

Text ToolDirectory(HINSTANCE instance) {
  char buffer[MAX_PATH + 1] = {};  // one spare byte: a cut path still ends with a NUL
  GetModuleFileNameA(instance, buffer, MAX_PATH);
  Text directory = buffer;
  while (directory.Length() > 0 && !directory.EndsWithChar('\\')) {
    directory = directory.Left(directory.Length() - 1);
  }
  return StripTrailingBackslash(directory);
}

Text StripTrailingBackslash(Text text) {
  Text stripped = text;
  stripped.TrimRight();
  if (stripped.EndsWithChar('\\')) {
    return stripped.Left(stripped.Length() - 1);
  }
  return stripped;
}

bool FileExists(Text path) {
  HANDLE file = CreateFileA(path.Bytes(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  CloseHandle(file);
  return true;
}
