// quillet-cli: the command-line companion. Runs the window's commands that make sense
// without a screen against a store file, with the window's texts.
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "cli/common.h"
#include "cli/usage.h"

namespace {

struct Command {
  std::string_view name;
  int (*run)(const quillet::cli::Args& args);
};

constexpr Command kCommands[] = {
    {"dump", quillet::cli::runDump},
    {"import", quillet::cli::runImport},
    {"export", quillet::cli::runExport},
    {"total", quillet::cli::runTotal},
    {"report", quillet::cli::runReport},
    {"sample", quillet::cli::runSample},
};

}  // namespace

int main(int argc, char** argv) {
  using namespace quillet::cli;
  Args args(argv + 1, argv + argc);
  for (const std::string& a : args) {
    if (a == "-h" || a == "--help") {
      write(stdout, kUsage);
      return kExitOk;
    }
  }
  if (args.empty()) return usageError("no command given");
  for (const Command& c : kCommands)
    if (args[0] == c.name) return c.run(Args(args.begin() + 1, args.end()));
  return usageError("unknown command '" + args[0] + "'");
}
