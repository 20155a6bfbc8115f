// The transaction filter panel's refresh and the report.
#include "app/mainform.h"

namespace quillet::app {

// The filter comes with the transaction analysis; until then the refresh changes nothing.
void TMainForm::AccToDBCheckBoxClick() {}
void TMainForm::Exportreport1Click() {}

void TMainForm::wireFilterPanel() {}

}  // namespace quillet::app
