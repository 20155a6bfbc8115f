#pragma once
// The commands of quillet-cli. Each takes the arguments after its name and returns the
// exit status.
#include <string>
#include <vector>

namespace quillet::cli {

using Args = std::vector<std::string>;

int runDump(const Args& args);
int runImport(const Args& args);
int runExport(const Args& args);
int runTotal(const Args& args);
int runReport(const Args& args);
int runSample(const Args& args);

}  // namespace quillet::cli
