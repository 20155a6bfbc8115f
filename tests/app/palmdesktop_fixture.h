#pragma once
// The stand-in sync software for interface tests: its two libraries copied into a folder
// with a users.tsv, and the sync software's settings key pointing at it.
#include <filesystem>
#include <fstream>
#include <string>

#include "app/settings.h"

namespace quillet::app::testing {

// Where the build puts the two stand-in libraries.
inline std::string StandInBuildFolder() { return QUILLET_STANDIN_DIR; }

// Copies the chosen libraries into the folder (made when missing) and writes its users.tsv.
inline void InstallStandIn(const std::string& folder, const std::string& usersTsv, bool userData = true,
                           bool installAide = true) {
  namespace fs = std::filesystem;
  fs::create_directories(folder);
  const auto copy = [&](const char* name) {
    fs::copy_file(fs::path(StandInBuildFolder()) / name, fs::path(folder) / name, fs::copy_options::overwrite_existing);
  };
  if (userData) copy("UserData.dll");
  if (installAide) copy("Instaide.dll");
  std::ofstream(folder + "/users.tsv", std::ios::binary | std::ios::trunc) << usersTsv;
}

// The sync software's key with the two folder values; an empty text leaves a value out.
inline void PointSyncSoftware(const std::string& desktopPath, const std::string& path = "") {
  SettingsKey key(kPalmDesktopKey);
  if (!desktopPath.empty()) key.WriteString("DesktopPath", desktopPath);
  if (!path.empty()) key.WriteString("Path", path);
  key.Commit();
}

}  // namespace quillet::app::testing
