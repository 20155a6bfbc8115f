#include "exchange/automatic.h"

#include "pdb/container.h"
#include "text/messages.h"

namespace quillet::exchange {
namespace {

// Passes everything on; removes the private folder once the last file is handed over,
// before the final status, as the export's own temporary folder is removed.
class FolderRemovingUi : public ExchangeUi {
 public:
  FolderRemovingUi(ExchangeUi& inner, PrivateTempFolder& folder) : inner_(inner), folder_(folder) {}
  void status(const std::string& text) override { inner_.status(text); }
  void error(const std::string& text) override { inner_.error(text); }
  void warning(const std::string& text) override { inner_.warning(text); }
  void beep() override { inner_.beep(); }
  void afterImport() override { inner_.afterImport(); }
  void afterExport() override {
    (void)folder_.remove();
    inner_.afterExport();
  }

 private:
  ExchangeUi& inner_;
  PrivateTempFolder& folder_;
};

// The install hand-off goes to this sync software for the length of one export.
class InstallHandlerScope {
 public:
  explicit InstallHandlerScope(const PalmDesktop& palmDesktop) {
    pdb::setInstallHandler([&palmDesktop](const std::string& user, const std::string& path) {
      (void)palmDesktop.InstallFile(user, path);
    });
  }
  ~InstallHandlerScope() { pdb::setInstallHandler(nullptr); }
  InstallHandlerScope(const InstallHandlerScope&) = delete;
  InstallHandlerScope& operator=(const InstallHandlerScope&) = delete;
};

}  // namespace

int exportToInstallService(TDM& dm, const PalmDesktop& palmDesktop, const std::string& userName,
                           ExchangeUi& ui) {
  PrivateTempFolder folder;
  if (folder.path().empty()) {
    // No folder to write into: each file fails as one that cannot be created.
    constexpr int kTables = 10;
    for (int i = 0; i < kTables; ++i) {
      ui.status(text::message(text::exportStatusEntry(i)));
      ui.error(text::message(text::exportErrorEntry(i)));
    }
    ui.afterExport();
    ui.status(text::message(text::MsgExportFinishedAuto));
    ui.beep();
    return kTables;
  }
  InstallHandlerScope handler(palmDesktop);
  FolderRemovingUi removing(ui, folder);
  return exportToFolder(dm, folder.path(), userName, removing);
}

}  // namespace quillet::exchange
