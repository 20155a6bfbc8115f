#pragma once
// The automatic exchange's export: the ten files written into a fresh private folder, each
// handed to the sync software's install service for the user and deleted, the folder
// removed at the end. Shared by the window and quillet-cli.
#include <string>

#include "exchange/palmdesktop.h"
#include "exchange/transfer.h"

namespace quillet::exchange {

// Returns the number of files that were not written. When no private folder can be made,
// every table reports its error text (nothing is written anywhere else) and the export
// ends as usual. Store errors reach the caller; the folder is removed on every path.
int exportToInstallService(TDM& dm, const PalmDesktop& palmDesktop, const std::string& userName,
                           ExchangeUi& ui);

}  // namespace quillet::exchange
