#include "Locations.h"

#include <unistd.h>

#include <cstdlib>

#include "Mcputh.h"
#include "Settings.h"

namespace fs = std::filesystem;

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// An XDG base folder: the variable when it holds an absolute path (relative
// ones are to be ignored), else the default under the home folder.
fs::path XdgBase(const std::string& variable, const std::string& home, const char* fallback) {
  if (!variable.empty() && variable.front() == '/') return variable;
  if (home.empty()) return {};
  return fs::path(home) / fallback;
}

// "bin/" (a folder read from /proc/self/exe) as "bin".
fs::path Folder(const fs::path& p) { return p.has_filename() || !p.has_parent_path() ? p : p.parent_path(); }

}  // namespace

TLocationEnv TLocationEnv::FromProcess() {
  return {Env("HOME"), Env("XDG_DATA_HOME"), Env("XDG_CONFIG_HOME")};
}

std::vector<fs::path> FirmwareFolders(const fs::path& programDirectory, const std::string& firmwareOption,
                                      const TLocationEnv& env) {
  const fs::path programDir = Folder(programDirectory);
  if (!firmwareOption.empty()) return {fs::path(firmwareOption)};
  std::vector<fs::path> folders;
  if (!programDir.empty()) folders.push_back(programDir);
  if (fs::path data = XdgBase(env.XdgDataHome, env.Home, ".local/share"); !data.empty())
    folders.push_back(data / "quillon" / "firmware");
  if (!programDir.empty())
    folders.push_back((programDir / ".." / "share" / "quillon" / "firmware").lexically_normal());
  return folders;
}

std::optional<fs::path> FindFirmware(const std::vector<fs::path>& folders) {
  for (const fs::path& folder : folders) {
    bool all = true;
    for (const TRomImage& r : RomImages) {
      std::error_code ec;
      all = all && fs::is_regular_file(folder / r.FileName, ec);
    }
    if (all) return folder;
  }
  return std::nullopt;
}

fs::path FirmwareFolder(const fs::path& programDir, const std::string& firmwareOption, const TLocationEnv& env) {
  const std::vector<fs::path> folders = FirmwareFolders(programDir, firmwareOption, env);
  if (auto found = FindFirmware(folders)) return *found;
  return folders.empty() ? fs::path() : folders.front();
}

std::string JoinFolders(const std::vector<fs::path>& folders) {
  std::string s;
  for (const fs::path& f : folders) s += (s.empty() ? "" : ", ") + f.string();
  return s;
}

fs::path SettingsFilePath(const fs::path& programDirectory, const TLocationEnv& env) {
  const fs::path programDir = Folder(programDirectory);
  std::error_code ec;
  const bool installed = fs::is_directory(programDir / ".." / "share" / "quillon", ec);
  if (!programDir.empty() && !installed && access(programDir.c_str(), W_OK) == 0)
    return programDir / SettingsFileName;
  if (fs::path config = XdgBase(env.XdgConfigHome, env.Home, ".config"); !config.empty())
    return config / "quillon" / SettingsFileName;
  return {};
}
