// Shared set-up of the unit tests: a fresh fake window system in the code page a test asks
// for, with the program's lead-byte table loaded from it as the start-up does.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fake_win32.h"
#include "run/text.h"

inline void StartFresh(unsigned codePage) {
  fake::Reset();
  fake::SetCodePage(codePage);
  LoadLeadBytes();
}

// The bytes of a text, NULs and all, for exact comparisons.
inline std::string Bytes(const Text& text) {
  return std::string(text.Bytes(), text.Length());
}

// The run log's entry header for a document path: blank line, separator, path, separator,
// blank line.
inline std::string LogHeader(const std::string& path) {
  const std::string separator(80, '-');
  return "\r\n" + separator + "\r\n" + path + "\r\n" + separator + "\r\n\r\n";
}

// The Compiler Errors panel as the authoring tool shows it: a tab group holding the window
// captioned "Compiler Errors" and the list view. Returns the list view.
inline HWND AddCompilerErrorsPanel(HWND parent, const std::vector<std::vector<std::string>>& rows,
                                   DWORD processId = 100) {
  HWND panel = fake::AddWindow(parent, "OWL.TabGroup.3", "", true, processId);
  fake::AddWindow(panel, "Static", "Compiler Errors", true, processId);
  HWND list = fake::AddWindow(panel, "SysListView32", "", true, processId);
  fake::SetListRows(list, rows);
  return list;
}

// The top-level Output panel holding the control whose text is the compiler errors.
inline HWND AddOutputPanel(const std::string& text) {
  HWND panel = fake::AddWindow(nullptr, "OutputFrame", "Output");
  HWND control = fake::AddWindow(panel, "Afx:400000:b:10011:6:0", "");
  fake::SetControlText(control, text);
  return panel;
}

class FakeTest : public ::testing::Test {
 protected:
  void SetUp() override { StartFresh(1252); }
};
