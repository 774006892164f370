// Writing a whole file the user may own (the settings file, saved screen
// pictures) without ever taking it away from them: the new contents go to a
// temporary file in the same folder that is renamed over the old one, so a
// failed write leaves the old file whole; a symbolic link is written
// through to the file it names (and stays a link); an existing file keeps
// its mode; a read-only file, or something that is not a plain file, is
// left alone and the write fails.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

// The file a write of path reaches: symbolic links followed, also a link
// whose target does not exist yet. Returns "" and sets target, or says why
// the path cannot be written (a loop of links).
std::string ResolveWriteTarget(const std::filesystem::path& path, std::filesystem::path& target);

// Whether target (resolved) may be replaced: "" if it is absent or a
// writable plain file, else the reason.
std::string CheckReplaceable(const std::filesystem::path& target);

// Replaces path (links followed) with bytes. Returns "" on success, else the
// failure's description; the file is then unchanged.
std::string ReplaceFile(const std::filesystem::path& path, std::string_view bytes);

// The same with the contents in pieces: next() gives each piece in turn and
// an empty one at the end (for files too large to hold in memory whole).
std::string ReplaceFileInPieces(const std::filesystem::path& path, const std::function<std::string_view()>& next);
