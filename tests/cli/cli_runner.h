#pragma once
// Runs quillet-cli as a child process with a home of its own, its output captured.
#include <sys/resource.h>

#include <string>
#include <utility>
#include <vector>

namespace quillet::testing {

struct CliResult {
  int exit = -1;  // the exit status, or 128 + the signal that ended it; -1 when it did not run
  std::string out, err;
};

struct CliRun {
  explicit CliRun(std::string homeDir, std::string tmp = {}) : home(std::move(homeDir)), tmpDir(std::move(tmp)) {}

  // HOME and the working folder; XDG_DATA_HOME and XDG_CONFIG_HOME are its data/ and config/,
  // and the captured output files lie in it. The rest of the environment is inherited.
  std::string home;
  std::string tmpDir;  // TMPDIR when not empty
  // How far the program's files may grow (a full disk); SIGXFSZ is then ignored so that
  // writes fail instead of killing it.
  rlim_t fileLimit = RLIM_INFINITY;
};

CliResult runCli(const std::vector<std::string>& args, const CliRun& how);

// A file's whole content.
std::string readText(const std::string& path);

}  // namespace quillet::testing
