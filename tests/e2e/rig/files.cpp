// Files of the prefix seen from Linux: Windows paths in a code page mapped to the UTF-8 names
// Wine stores, test directories, the program's copies and the stand-in's registration.
#include <iconv.h>

#include <cerrno>
#include <filesystem>
#include <stdexcept>

#include "tests/e2e/rig/prefix.h"

namespace rig {

namespace {

namespace fs = std::filesystem;

constexpr char kTestRoot[] = "C:\\e2e\\";
constexpr char kStandinPath[] = "C:\\rig\\standin.exe";
constexpr char kStandinProgId[] = "KelvaneStandin.Document";

const char* IconvName(CodePage codePage) {
  return codePage == CodePage::k932 ? "CP932" : "CP1252";
}

// Converts all of input or throws: a name the code page cannot hold is a fault of the test.
std::string Convert(const std::string& input, const char* from, const char* to) {
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    throw std::runtime_error(std::string("no conversion from ") + from + " to " + to);
  }
  std::string output(input.size() * 4 + 4, '\0');
  char* in = const_cast<char*>(input.data());
  size_t inLeft = input.size();
  char* out = &output[0];
  size_t outLeft = output.size();
  size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
  iconv_close(converter);
  if (result == static_cast<size_t>(-1)) {
    throw std::runtime_error(std::string("cannot convert \"") + input + "\" from " + from + " to " +
                             to);
  }
  output.resize(output.size() - outLeft);
  return output;
}

std::string ReplaceAll(std::string text, char from, char to) {
  for (char& byte : text) {
    if (byte == from) {
      byte = to;
    }
  }
  return text;
}

// A .reg file string: backslashes and quotes escaped.
std::string RegString(const std::string& value) {
  std::string escaped;
  for (char byte : value) {
    if (byte == '\\' || byte == '"') {
      escaped += '\\';
    }
    escaped += byte;
  }
  return "\"" + escaped + "\"";
}

}  // namespace

Bytes FromUtf8(const std::string& utf8, CodePage codePage) {
  return Convert(utf8, "UTF-8", IconvName(codePage));
}

std::string ToUtf8(const Bytes& bytes, CodePage codePage) {
  return Convert(bytes, IconvName(codePage), "UTF-8");
}

std::string LinuxPath(const Bytes& windowsPath, CodePage codePage) {
  if (windowsPath.size() < 3 || windowsPath[1] != ':' || windowsPath[2] != '\\') {
    throw std::runtime_error("not a full Windows path: " + windowsPath);
  }
  std::string drive;
  char letter = windowsPath[0];
  if (letter == 'C' || letter == 'c') {
    drive = PrefixDirectory() + "/drive_c";
  } else if (letter != 'Z' && letter != 'z') {
    throw std::runtime_error("only drives C: and Z: are mapped: " + windowsPath);
  }
  // Converted first: a trail byte 0x5C is part of its character, not a separator. UTF-8
  // holds no 0x5C inside a character.
  return drive + ReplaceAll(ToUtf8(windowsPath.substr(2), codePage), '\\', '/');
}

Bytes WindowsPath(const std::string& linuxPath, CodePage codePage) {
  std::string driveC = PrefixDirectory() + "/drive_c/";
  if (linuxPath.compare(0, driveC.size(), driveC) == 0) {
    return "C:\\" + FromUtf8(ReplaceAll(linuxPath.substr(driveC.size()), '/', '\\'), codePage);
  }
  return "Z:" + FromUtf8(ReplaceAll(linuxPath, '/', '\\'), codePage);
}

Bytes MakeTestDirectory(const Bytes& name, CodePage codePage) {
  EnsurePrefix();
  Bytes windowsPath = kTestRoot + name;
  std::string linuxPath = LinuxPath(windowsPath, codePage);
  fs::remove_all(linuxPath);
  fs::create_directories(linuxPath);
  return windowsPath;
}

void MakeDirectory(const Bytes& windowsPath, CodePage codePage) {
  EnsurePrefix();
  if (!fs::create_directory(LinuxPath(windowsPath, codePage))) {
    throw std::runtime_error("cannot make the directory " + windowsPath);
  }
}

void WriteFileBytes(const Bytes& windowsPath, const Bytes& content, CodePage codePage) {
  EnsurePrefix();
  WriteLinuxFile(LinuxPath(windowsPath, codePage), content);
}

Bytes ReadFileBytes(const Bytes& windowsPath, CodePage codePage) {
  EnsurePrefix();
  return ReadLinuxFile(LinuxPath(windowsPath, codePage));
}

bool PathExists(const Bytes& windowsPath, CodePage codePage) {
  EnsurePrefix();
  return fs::exists(LinuxPath(windowsPath, codePage));
}

Bytes CopyProgram(const Bytes& directory, const Bytes& fileName, CodePage codePage) {
  EnsurePrefix();
  Bytes windowsPath = directory + "\\" + fileName;
  fs::copy_file(WindowsBuildFile("kelvane.exe"), LinuxPath(windowsPath, codePage),
                fs::copy_options::overwrite_existing);
  return windowsPath;
}

Bytes RegisterStandinForFla() {
  EnsurePrefix();
  static bool registered = false;
  if (registered) {
    return kStandinPath;
  }
  fs::copy_file(WindowsBuildFile("tests/standin/standin.exe"), LinuxPath(kStandinPath),
                fs::copy_options::overwrite_existing);
  std::string command = std::string("\"") + kStandinPath + "\" \"%1\"";
  std::string registration = std::string("REGEDIT4\r\n\r\n") +
                             "[HKEY_CLASSES_ROOT\\.fla]\r\n@=" + RegString(kStandinProgId) +
                             "\r\n\r\n[HKEY_CLASSES_ROOT\\" + kStandinProgId +
                             "\\shell\\open\\command]\r\n@=" + RegString(command) + "\r\n";
  Bytes registrationFile = "C:\\rig\\" + UniqueName("fla") + ".reg";
  WriteLinuxFile(LinuxPath(registrationFile), registration);
  RunWineChecked({"wine", "regedit", "/S", registrationFile}, CodePage::k1252);
  registered = true;
  return kStandinPath;
}

}  // namespace rig
