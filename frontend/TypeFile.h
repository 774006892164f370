// Text files typed in through the paste path: a listing kept on the host
// becomes the keys that type it, for --type-file and for a text file dropped
// on the window.
#pragma once

#include <string>
#include <vector>

// The files a drop types in rather than mounts: ".bas" and ".txt", any case.
bool IsFileToType(const std::string& path);

// A text file as the keys that type it: UTF-8 (a byte-order mark at the
// start is skipped), every line end (LF, CR LF or CR) one Return, and a
// Return after a last line that has none. ASCII, Tab and half-width
// katakana are typed as themselves, the yen sign and the overline as 5C and
// 7E; the keyboard cannot type anything else, so other characters (and
// bytes that are not UTF-8) are left out and warnings name their lines.
std::string TextFileToKeys(const std::string& text, std::vector<std::string>& warnings);

// Reads the file at path (4 MiB at most) into keys. Returns "" or what is
// wrong.
std::string ReadFileToType(const std::string& path, std::string& keys, std::vector<std::string>& warnings);
