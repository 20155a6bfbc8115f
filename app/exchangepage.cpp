// The Import/Export page: the sync software, its users, and the exchange commands.
#include "app/dbcontrols.h"
#include "app/mainform.h"
#include "app/radiogroup.h"

namespace quillet::app {

// The sync software integration and the exchange commands come with the handheld exchange;
// until then nothing is found and the commands change nothing.
void TMainForm::ProbePalmDesktop() {}
void TMainForm::FillUserList() {}
void TMainForm::ReleasePalmDesktop() {}

void TMainForm::ExchangeTypeRadioGroupClick() {}
void TMainForm::SelectUserListBoxClick() {}
void TMainForm::ImportPathBrowseButtonClick() {}
void TMainForm::ExportPathBrowseButtonClick() {}
void TMainForm::ImportButtonClick() {}
void TMainForm::ClearAllTablesClick() {}
void TMainForm::ExportButtonClick() {}

void TMainForm::wireExchangePage() {
  connect(ExchangeTypeRadioGroup, &TRadioGroup::Click, this,
          [this] { guarded([this] { ExchangeTypeRadioGroupClick(); }); });
}

}  // namespace quillet::app
