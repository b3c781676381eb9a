// The Compiler Errors list: a list view in the authoring tool's own process, read through
// request records and text blocks placed in that process's memory.
#pragma once

#include <cstddef>
#include <cstdint>

// The 32-bit list view item record as the tool's process reads it (the platform header's
// own record is larger and depends on the target version).
struct RemoteListItem {
  std::uint32_t mask;
  std::int32_t iItem;
  std::int32_t iSubItem;
  std::uint32_t state;
  std::uint32_t stateMask;
  std::uint32_t pszText;  // address in the tool's process
  std::int32_t cchTextMax;
  std::int32_t iImage;
  std::uint32_t lParam;
  std::int32_t iIndent;
};
static_assert(sizeof(RemoteListItem) == 40, "32-bit item record");
static_assert(offsetof(RemoteListItem, iSubItem) == 8, "32-bit item record");
static_assert(offsetof(RemoteListItem, pszText) == 20, "32-bit item record");
static_assert(offsetof(RemoteListItem, cchTextMax) == 24, "32-bit item record");
static_assert(offsetof(RemoteListItem, iIndent) == 36, "32-bit item record");

constexpr int kCellTextCapacity = 255;
