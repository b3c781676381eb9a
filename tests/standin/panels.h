// The two panels the stand-in shows on Publish: the Compiler Errors panel with its list view,
// and the top-level Output window with its text control.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A hidden child of parent whose class name contains "OWL.TabGroup", holding a window
// captioned "Compiler Errors" and a three-column report list view. The list answers cell
// queries as Windows does (see panels.cpp) and LVM_GETITEMCOUNT after countDelayMs.
HWND CreateErrorsPanel(HWND parent, int countDelayMs, const std::string& recordPath);
HWND ErrorsList(HWND panel);
// Puts the rows into the panel's list; cells past the third are ignored, missing ones empty.
void FillErrorsList(HWND panel, const std::vector<std::vector<std::string>>& rows);

// A visible top-level window captioned "Output" holding a control of the tool's output class
// whose text is text. WM_CLOSE on it is recorded as "close output".
HWND CreateOutputPanel(const std::string& text, const std::string& recordPath);
HWND OutputControl(HWND panel);

// Registers the panels' window classes; once per process, before the first panel.
void RegisterPanelClasses(HINSTANCE instance);
