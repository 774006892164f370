// Where the program finds its firmware images and keeps its settings.
//
// Firmware: the folder given with --firmware, and only that one; otherwise
// the first of these folders that holds all three images:
//   1. the program's own folder (a build folder, a portable copy),
//   2. $XDG_DATA_HOME/quillon/firmware (default ~/.local/share/...), for
//      the user's own images,
//   3. ../share/quillon/firmware from the program's folder, the free
//      firmware of an installed tree, wherever that tree was put.
//
// Settings: "QUILLON.INI" in the program's folder when that folder is
// writable and is not the bin folder of an installed tree (one with
// ../share/quillon beside it), so a build folder or a portable copy keeps
// its settings with it; otherwise $XDG_CONFIG_HOME/quillon/QUILLON.INI
// (default ~/.config/...).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The environment the locations depend on; empty strings are unset.
struct TLocationEnv {
  std::string Home;
  std::string XdgDataHome;
  std::string XdgConfigHome;

  static TLocationEnv FromProcess();
};

// The firmware folders in search order (firmwareOption: the --firmware
// value, or empty). Folders that cannot be named (no home) are left out.
std::vector<std::filesystem::path> FirmwareFolders(const std::filesystem::path& programDir,
                                                   const std::string& firmwareOption,
                                                   const TLocationEnv& env);

// The first folder holding all three firmware images as regular files.
std::optional<std::filesystem::path> FindFirmware(const std::vector<std::filesystem::path>& folders);

// The folder to load the firmware from: the one found, or else the first
// searched, so loading fails there with the usual error.
std::filesystem::path FirmwareFolder(const std::filesystem::path& programDir, const std::string& firmwareOption,
                                     const TLocationEnv& env);

// The folders as one line for messages: "a, b, c".
std::string JoinFolders(const std::vector<std::filesystem::path>& folders);

// The settings file; empty when there is none to use (no writable program
// folder and no home folder).
std::filesystem::path SettingsFilePath(const std::filesystem::path& programDir, const TLocationEnv& env);
