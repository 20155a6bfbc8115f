#include "tests/cli/cli_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <map>

#include "tests/support/handheld_fixture.h"

extern char** environ;

namespace quillet::testing {

std::string readText(const std::string& path) {
  const fixture::Bytes bytes = fixture::readFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

CliResult runCli(const std::vector<std::string>& args, const CliRun& how) {
  static int serial = 0;
  const std::string outPath = how.home + "/out" + std::to_string(++serial);
  const std::string errPath = how.home + "/err" + std::to_string(serial);

  std::map<std::string, std::string> env;
  for (char** e = environ; *e; ++e) {
    const char* eq = std::strchr(*e, '=');
    if (eq) env[std::string(*e, static_cast<std::size_t>(eq - *e))] = eq + 1;
  }
  env["HOME"] = how.home;
  env["XDG_DATA_HOME"] = how.home + "/data";
  env["XDG_CONFIG_HOME"] = how.home + "/config";
  if (!how.tmpDir.empty()) env["TMPDIR"] = how.tmpDir;
  std::vector<std::string> envText;
  for (const auto& [k, v] : env) envText.push_back(k + "=" + v);
  std::vector<char*> envp;
  for (auto& s : envText) envp.push_back(s.data());
  envp.push_back(nullptr);

  std::vector<std::string> argText = {QUILLET_CLI_PATH};
  argText.insert(argText.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& s : argText) argv.push_back(s.data());
  argv.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid == 0) {
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 || ::chdir(how.home.c_str()) != 0) {
      ::_exit(127);
    }
    if (how.fileLimit != RLIM_INFINITY) {
      ::signal(SIGXFSZ, SIG_IGN);
      const rlimit rl{how.fileLimit, how.fileLimit};
      if (::setrlimit(RLIMIT_FSIZE, &rl) != 0) ::_exit(127);
    }
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  CliResult r;
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return r;
  r.exit = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  r.out = readText(outPath);
  r.err = readText(errPath);
  return r;
}

}  // namespace quillet::testing
