#pragma once
#include <cstdio>
#include <string>

namespace quillet::cli {

// Shows a handheld database file: its header, its record list and, when its name is one of
// the ten Quillet databases, every record decoded into its table's fields. As plain text,
// or as one JSON object. Returns the exit status: 0 when the whole file was shown, 1 when
// the file is damaged or a record did not decode, 2 when it cannot be opened.
int dump(const std::string& path, bool json, std::FILE* out, std::FILE* err);

}  // namespace quillet::cli
