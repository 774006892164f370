// The last disk and tape images used, newest first, as the File menu and the
// image dialogs' browse buttons offer them. The list lives in the settings
// (keys Recent1-Recent8) as absolute paths in UTF-8; a path that could not be
// stored and read back exactly (not UTF-8, with control characters, not
// absolute) is never kept.
#pragma once

#include <string>
#include <string_view>
#include <vector>

inline constexpr size_t RecentCapacity = 8;

// Whether path can be one of the list's entries.
bool StorableRecentPath(std::string_view path);

// Puts path (made absolute) at the head of the list, removing an older
// entry of the same path and whatever falls beyond the capacity. A path that
// cannot be stored leaves the list as it was.
void AddRecent(std::vector<std::string>& list, const std::string& path);

// Removes path; true if it was there.
bool RemoveRecent(std::vector<std::string>& list, const std::string& path);

// Tapes are the images named .vtp; every other entry is a disk.
bool RecentIsTape(std::string_view path);
