#pragma once
#include <string>

namespace quillet {

// $XDG_DATA_HOME (else ~/.local/share) + "/KorvellInc/QuilletDesktop/Quillet.mdb".
std::string DefaultStorePath();
// The store's file name, also looked for beside the program.
inline constexpr const char* kStoreFileName = "Quillet.mdb";

}  // namespace quillet
