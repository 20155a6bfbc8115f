// The Import/Export page: the sync software, its users, and the exchange commands.
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <string>
#include <vector>

#include "app/dbcontrols.h"
#include "app/mainform.h"
#include "app/radiogroup.h"
#include "app/uitext.h"
#include "exchange/automatic.h"
#include "exchange/transfer.h"

namespace quillet::app {
namespace {

// What the exchange sequences tell the user, shown by the window. The status text is painted
// at once: the window does not handle events while a command runs.
class WindowExchangeUi : public exchange::ExchangeUi {
 public:
  WindowExchangeUi(TMainForm& form, std::function<void()> afterImport)
      : form_(form), afterImport_(std::move(afterImport)) {}

  void status(const std::string& text) override {
    form_.SetStatusText(QString::fromStdString(text));
    form_.StatusBar->repaint();
  }
  void error(const std::string& text) override {
    form_.dialogs().error(text::message(text::MsgErrorCaption), text);
  }
  // Kept for one box after the command: an export may shorten the notes of many rows.
  void warning(const std::string& text) override { warnings_.push_back(text); }
  void showWarnings() {
    if (warnings_.empty()) return;
    constexpr std::size_t kShown = 20;
    std::string text;
    for (std::size_t i = 0; i < warnings_.size() && i < kShown; ++i) text += (i ? "\n" : "") + warnings_[i];
    if (warnings_.size() > kShown) text += "\n…";
    warnings_.clear();
    form_.dialogs().warn(text::message(text::MsgWarningCaption), text);
  }
  void beep() override { QApplication::beep(); }
  void afterImport() override {
    if (afterImport_) afterImport_();
  }

 private:
  TMainForm& form_;
  std::function<void()> afterImport_;
  std::vector<std::string> warnings_;
};

bool isManual(const TRadioGroup& group) { return group.ItemIndex() != 0; }

}  // namespace

void TMainForm::ProbePalmDesktop() { PalmDesktopLibraries.Probe(); }

void TMainForm::FillUserList() {
  PalmUsers.clear();
  const QSignalBlocker block(SelectUserListBox);  // selecting the saved user is no click
  SelectUserListBox->clear();
  if (!PalmDesktopLibraries.HasUserData()) return;
  for (exchange::PalmUser& user : PalmDesktopLibraries.Users()) {
    // Names come from the sync software's own files, written in UTF-8 on this platform.
    SelectUserListBox->addItem(QString::fromUtf8(user.Name.data(), static_cast<qsizetype>(user.Name.size())));
    if (user.ID == CurrentUserID) SelectUserListBox->setCurrentRow(SelectUserListBox->count() - 1);
    PalmUsers.push_back({user.ID, std::move(user.Name), std::move(user.Directory)});
  }
}

void TMainForm::ReleasePalmDesktop() { PalmDesktopLibraries.Release(); }

int TMainForm::SelectedUserRow() const {
  const int row = SelectUserListBox->currentRow();
  if (row < 0 || !SelectUserListBox->item(row)->isSelected()) return -1;
  return static_cast<std::size_t>(row) < PalmUsers.size() ? row : -1;
}

void TMainForm::ExchangeTypeRadioGroupClick() {
  const bool manual = isManual(*ExchangeTypeRadioGroup);
  if (manual || PalmDesktopLibraries.Found()) {
    SelectUserListBox->setEnabled(!manual);
    for (QWidget* w : std::initializer_list<QWidget*>{ImportPathEdit, ImportPathBrowseButton, ExportPathEdit,
                                                      ExportPathBrowseButton})
      w->setEnabled(manual);
    return;
  }
  PalmDesktopMissing = true;
  ExchangeTypeRadioGroup->SetItemIndex(1);  // runs this handler again, for the manual type
  dialogs_->error(text::message(text::MsgErrorCaption), text::message(text::MsgPalmDesktopNotFound));
}

void TMainForm::SelectUserListBoxClick() {
  const int row = SelectedUserRow();
  if (row < 0) return;
  const PalmUser& user = PalmUsers[static_cast<std::size_t>(row)];
  const std::string text =
      exchange::UserIdText(user.ID) + ", " + PalmDesktopLibraries.RootDirectory() + user.Directory + "/Backup";
  SetStatusText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

namespace {

void browseInto(Dialogs& dialogs, int titleEntry, QLineEdit& edit) {
  const std::optional<std::string> folder = dialogs.chooseFolder(text::message(titleEntry), edit.text().toStdString());
  if (folder && !folder->empty()) edit.setText(QString::fromStdString(*folder));
}

}  // namespace

void TMainForm::ImportPathBrowseButtonClick() { browseInto(*dialogs_, text::MsgBrowseImportTitle, *ImportPathEdit); }

void TMainForm::ExportPathBrowseButtonClick() { browseInto(*dialogs_, text::MsgBrowseExportTitle, *ExportPathEdit); }

void TMainForm::RefreshLookupBoxes() {
  for (TDBLookupComboBox* box : findChildren<TDBLookupComboBox*>()) {
    TField* field = box->binding().field();
    if (!field) continue;
    TKADaoTable& view = field->DataSet();
    const bool wasBrowsing = view.state() == TKADaoTable::State::Browse;
    const bool wasNull = field->IsNull();
    const std::int32_t value = field->AsInteger();
    TField* edit = box->binding().editField();
    if (!edit) continue;
    edit->SetAsInteger(-1);
    if (wasNull) edit->Clear();
    else edit->SetAsInteger(value);
    // The value ends as it began: nothing is left pending.
    if (wasBrowsing) view.Post();
  }
}

void TMainForm::ImportButtonClick() {
  if (!dm_) return;
  if (ImportExportconfirmations1->isChecked() &&
      !dialogs_->confirm(text::message(text::MsgConfirmationCaption), text::message(text::MsgPerformImport),
                         Dialogs::Buttons::YesNo))
    return;
  std::string folder;
  if (isManual(*ExchangeTypeRadioGroup)) {
    folder = ImportPathEdit->text().toStdString();
  } else {
    const int row = SelectedUserRow();
    if (row < 0) {
      dialogs_->warn(text::message(text::MsgWarningCaption), text::message(text::MsgSelectUser));
      return;
    }
    const std::optional<std::string> backup =
        PalmDesktopLibraries.BackupFolder(PalmUsers[static_cast<std::size_t>(row)].Directory);
    if (!backup) {
      // The sync software gave no usable root folder: nothing to read from, nothing emptied.
      dialogs_->error(text::message(text::MsgErrorCaption), text::message(text::MsgPalmDesktopNotFound));
      return;
    }
    folder = *backup;
  }
  WindowExchangeUi ui(*this, [this] { RefreshLookupBoxes(); });
  (void)exchange::importFromFolder(*dm_, folder, ui);
}

void TMainForm::ClearAllTablesClick() {
  if (!dm_) return;
  if (!dialogs_->confirm(text::message(text::MsgConfirmationCaption), text::message(text::MsgClearConfirm),
                         Dialogs::Buttons::YesNo))
    return;
  WindowExchangeUi ui(*this, {});
  exchange::clearAllTables(*dm_, ui);
}

void TMainForm::ExportButtonClick() {
  if (!dm_) return;
  if (ImportExportconfirmations1->isChecked() &&
      !dialogs_->confirm(text::message(text::MsgConfirmationCaption), text::message(text::MsgPerformExport),
                         Dialogs::Buttons::YesNo))
    return;
  WindowExchangeUi ui(*this, {});
  if (isManual(*ExchangeTypeRadioGroup)) {
    (void)exchange::exportToFolder(*dm_, ExportPathEdit->text().toStdString(), std::nullopt, ui);
  } else {
    const int row = SelectedUserRow();
    if (row < 0) {
      dialogs_->warn(text::message(text::MsgWarningCaption), text::message(text::MsgSelectUser));
      return;
    }
    (void)exchange::exportToInstallService(*dm_, PalmDesktopLibraries,
                                           PalmUsers[static_cast<std::size_t>(row)].Name, ui);
  }
  ui.showWarnings();
}

void TMainForm::wireExchangePage() {
  connect(ExchangeTypeRadioGroup, &TRadioGroup::Click, this,
          [this] { guarded([this] { ExchangeTypeRadioGroupClick(); }); });
  // A click, or a move of the selection by the keyboard.
  connect(SelectUserListBox, &QListWidget::itemClicked, this,
          [this] { guarded([this] { SelectUserListBoxClick(); }); });
  connect(SelectUserListBox, &QListWidget::currentRowChanged, this,
          [this] { guarded([this] { SelectUserListBoxClick(); }); });
  auto button = [this](QAbstractButton* b, void (TMainForm::*handler)()) {
    connect(b, &QAbstractButton::clicked, this, [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
  };
  button(ImportPathBrowseButton, &TMainForm::ImportPathBrowseButtonClick);
  button(ExportPathBrowseButton, &TMainForm::ExportPathBrowseButtonClick);
  button(ImportButton, &TMainForm::ImportButtonClick);
  button(ClearAllTables, &TMainForm::ClearAllTablesClick);
  button(ExportButton, &TMainForm::ExportButtonClick);
}

}  // namespace quillet::app
