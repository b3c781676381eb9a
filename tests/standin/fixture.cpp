// Parses a stand-in document into its settings; no platform calls, so it reads the same
// whatever the code page (escapes and separators are all single ASCII bytes).
#include "tests/standin/fixture.h"

#include <cstdio>
#include <cstdlib>

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

// Decodes the escapes of value; with splitCells, each unescaped '|' starts a new piece.
std::vector<std::string> Unescape(const std::string& value, bool splitCells) {
  std::vector<std::string> pieces(1);
  for (std::size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    if (splitCells && c == '|') {
      pieces.emplace_back();
      continue;
    }
    if (c != '\\' || i + 1 == value.size()) {
      pieces.back() += c;
      continue;
    }
    char next = value[++i];
    if (next == 't') {
      pieces.back() += '\t';
    } else if (next == 'n') {
      pieces.back() += '\n';
    } else if (next == 'r') {
      pieces.back() += '\r';
    } else if (next == 'x' && i + 2 < value.size() && HexDigit(value[i + 1]) >= 0 &&
               HexDigit(value[i + 2]) >= 0) {
      pieces.back() += static_cast<char>(HexDigit(value[i + 1]) * 16 + HexDigit(value[i + 2]));
      i += 2;
    } else {
      pieces.back() += next;  // \\ and \| and any other escaped byte stand for themselves
    }
  }
  return pieces;
}

bool ParseCount(const std::string& value, int* count) {
  char* end = nullptr;
  long parsed = std::strtol(value.c_str(), &end, 10);
  if (value.empty() || *end != '\0' || parsed < 0 || parsed > 100000000L) {
    return false;
  }
  *count = static_cast<int>(parsed);
  return true;
}

void AddGeneratedRows(Fixture* fixture, int count) {
  char location[48];
  char description[48];
  char source[48];
  for (int i = 1; i <= count; ++i) {
    std::snprintf(location, sizeof location, "file%d.as, line %d", i, i);
    std::snprintf(description, sizeof description, "error %d: generated row", i);
    std::snprintf(source, sizeof source, "source line %d", i);
    fixture->rows.push_back({location, description, source});
  }
}

void AddGeneratedOutput(Fixture* fixture, int bytes) {
  std::string text;
  for (int i = 1; static_cast<int>(text.size()) < bytes; ++i) {
    text += "error " + std::to_string(i) + ": generated line of the output panel\n";
  }
  fixture->output += text.substr(0, static_cast<std::size_t>(bytes));
}

// Applies one key=value line; false when the key or its value is not understood.
bool ApplySetting(Fixture* fixture, const std::string& key, const std::string& value) {
  int count = 0;
  if (key == "caption") {
    fixture->caption = Unescape(value, false)[0];
  } else if (key == "show") {
    if (value == "now") {
      fixture->showAfterMs = 0;
    } else if (value == "never") {
      fixture->showAfterMs = kShowNever;
    } else if (ParseCount(value, &count)) {
      fixture->showAfterMs = count;
    } else {
      return false;
    }
  } else if (key == "above") {
    fixture->aboveCaption = Unescape(value, false)[0];
  } else if (key == "panel") {
    if (value == "none") {
      fixture->panel = Panel::kNone;
    } else if (value == "errors") {
      fixture->panel = Panel::kErrors;
    } else if (value == "output") {
      fixture->panel = Panel::kOutput;
    } else {
      return false;
    }
  } else if (key == "panel_at_start") {
    fixture->panelAtStart = value == "1";
  } else if (key == "row") {
    fixture->rows.push_back(Unescape(value, true));
  } else if (key == "generate_rows" && ParseCount(value, &count)) {
    AddGeneratedRows(fixture, count);
  } else if (key == "output") {
    fixture->output += Unescape(value, false)[0];
  } else if (key == "generate_output" && ParseCount(value, &count)) {
    AddGeneratedOutput(fixture, count);
  } else if (key == "busy_ms" && ParseCount(value, &count)) {
    fixture->busyMs = count;
  } else if (key == "count_delay_ms" && ParseCount(value, &count)) {
    fixture->countDelayMs = count;
  } else if (key == "record") {
    fixture->recordPath = Unescape(value, false)[0];
  } else if (key == "lifetime_ms" && ParseCount(value, &count)) {
    fixture->lifetimeMs = count;
  } else {
    return false;
  }
  return true;
}

}  // namespace

Fixture ParseFixture(const std::string& content) {
  Fixture fixture;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) {
      end = content.size();
    }
    std::string line = content.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (line.empty() || line[0] == '#') {
      continue;
    }
    std::size_t equals = line.find('=');
    if (equals == std::string::npos ||
        !ApplySetting(&fixture, line.substr(0, equals), line.substr(equals + 1))) {
      fixture.errors.push_back(line);
    }
  }
  return fixture;
}

std::string ExpandName(const std::string& caption, const std::string& fileName) {
  static const std::string kPlaceholder = "{name}";
  std::string result;
  std::size_t start = 0;
  for (;;) {
    std::size_t at = caption.find(kPlaceholder, start);
    if (at == std::string::npos) {
      return result + caption.substr(start);
    }
    result += caption.substr(start, at - start) + fileName;
    start = at + kPlaceholder.size();
  }
}
