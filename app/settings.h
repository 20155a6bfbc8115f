#pragma once
// The window's settings store: the typed key store of the core, under the window's names.
#include "exchange/registry.h"

namespace quillet::app {

using exchange::ConfigHome;
using exchange::kMaxSettingsFileSize;
using exchange::kPalmDesktopKey;
using exchange::kProgramSettingsKey;
using exchange::SettingsError;
using exchange::SettingsKey;
using exchange::ValueKind;

}  // namespace quillet::app
