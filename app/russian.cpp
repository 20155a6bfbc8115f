// The Russian text set and the command that applies it.
#include <QAction>
#include <QFileDialog>

#include <cstring>

#include "app/controltexts.h"
#include "app/chartwindow.h"
#include "app/mainform.h"
#include "app/navigator.h"
#include "text/messages.h"

namespace quillet::app {
namespace {

using R = TextRole;

constexpr const char* kNavigatorHints =
    "Первая запись\nПредыдущая запись\nСледующая запись\nПоследняя запись\nВставить запись\nУдалить запись\n"
    "Редактировать запись\nЗапомнить изменения в записи\nОтменить изменения в записи\nОбновить таблицу";
constexpr const char* kYesNoItems = "все\nнет\nесть";

// In the order they are applied. The category check boxes and the category columns of the
// transaction grid have no Russian text: they keep the designed text or the user's names.
constexpr ControlText kRussian[] = {
    // 1. Menu captions.
    {"File1", R::Caption, nullptr, "&Файл"},
    {"Exit1", R::Caption, nullptr, "&Выход"},
    {"Help1", R::Caption, nullptr, "&Помощь"},
    {"Contents1", R::Caption, nullptr, "&Содержание"},
    {"About1", R::Caption, nullptr, "&О программе"},
    {"View1", R::Caption, nullptr, "&Вид"},
    {"Showalltables1", R::Caption, nullptr, "Показать все &таблицы"},
    {"Showhints1", R::Caption, nullptr, "Показать &подсказки"},
    {"ImportExportconfirmations1", R::Caption, nullptr, "&Подтверждать импорт и экспорт"},
    {"Showfilteringpanel1", R::Caption, nullptr, "Показать панель &фильтров"},
    {"Allowfilterpanelfloating1", R::Caption, nullptr, "&Разрешить таскание панели фильтров"},
    {"Importatstartup1", R::Caption, nullptr, "Импортирование при &запуске"},
    {"Exportreport1", R::Caption, nullptr, "Экспортировать &отчёт"},
    {"Language1", R::Caption, nullptr, "&Язык"},
    {"Showfilteredcolumns1", R::Caption, nullptr, "Показывать фильтрованные &колонки"},
    {"Restoredefaultcolumns1", R::Caption, nullptr, "Восстановить &начальный вид колонок"},
    // 2. Page captions.
    {"ImportExportTabSheet", R::Caption, nullptr, "Импорт/Экспорт"},
    {"TransactionsTabSheet", R::Caption, nullptr, "Транзакции"},
    {"AccountTabSheet", R::Caption, nullptr, "Счета"},
    {"CurrenciesTabSheet", R::Caption, nullptr, "Валюты"},
    {"Category1TabSheet", R::Caption, nullptr, "Категория 1"},
    {"Category2TabSheet", R::Caption, nullptr, "Категория 2"},
    {"Category3TabSheet", R::Caption, nullptr, "Категория 3"},
    {"Category4TabSheet", R::Caption, nullptr, "Категория 4"},
    {"BalanceTypeTabSheet", R::Caption, nullptr, "Тип баланса"},
    {"RemindTypeTabSheet", R::Caption, nullptr, "Тип напоминания"},
    {"CustomNamesTabSheet", R::Caption, nullptr, "Названия категорий"},
    // 3. Labels.
    {"ImportPathLabel", R::Caption, nullptr, "Путь для импортирования данных (только в ручном режиме)"},
    {"ExportpathLabel", R::Caption, nullptr, "Путь для экспортирования данных (только в ручном режиме)"},
    {"AccountNotesLabel", R::Caption, nullptr, "Примечания:"},
    {"DateFilterLabel", R::Caption, nullptr, "Дата:"},
    {"ReceiptLabel", R::Caption, nullptr, "Есть чек:"},
    {"BillableLabel", R::Caption, nullptr, "К оплате:"},
    {"ClearedLabel", R::Caption, nullptr, "Подтвержд:"},
    {"TransactionsTotalLabel", R::Caption, nullptr, "Итого:"},
    // 4. The exchange type.
    {"ExchangeTypeRadioGroup", R::Caption, nullptr, "Тип обмена"},
    {"ExchangeTypeRadioGroup", R::Hint, nullptr, "Вы можете выбрать любого пользователя в PalmDesktop для обмена или использовать выбранный вручную каталог"},
    {"ExchangeTypeRadioGroup", R::Items, nullptr, "Автоматический обмен используя PalmDesktop\nРучной обмен используя выбранный каталог"},
    // 5. Group boxes and the filter panel.
    {"SelectUserGroupBox", R::Caption, nullptr, "Выберите пользователя из PalmDesktop"},
    {"ImportGroupBox", R::Caption, nullptr, "Импортирование данных из Palm"},
    {"ExportGroupBox", R::Caption, nullptr, "Экспортирование данных в Palm"},
    {"TransactionsFilterPanel", R::Hint, nullptr, "Это панель фильтров. Её можно таскать, прятать и показывать обратно по Alt-P"},
    // 6. The exchange buttons and fields.
    {"ImportButton", R::Caption, nullptr, "Импорт"},
    {"ExportButton", R::Caption, nullptr, "Экспорт"},
    {"ClearAllTables", R::Caption, nullptr, "Очистить всё"},
    {"ImportPathBrowseButton", R::Hint, nullptr, "Выбрать путь для импорта"},
    {"ExportPathBrowseButton", R::Hint, nullptr, "Выбрать путь для экспорта"},
    {"ImportButton", R::Hint, nullptr, "Забрать данные из Palm в эту программу"},
    {"ExportButton", R::Hint, nullptr, "Занести данные из этой программы в Palm"},
    {"ClearAllTables", R::Hint, nullptr, "Очистить все данные в этой программе (но не в Palm'е)"},
    {"SelectUserListBox", R::Hint, nullptr, "Выберите пользователя с которым надо обмениваться данными"},
    {"ImportPathEdit", R::Hint, nullptr, "Введите сюда путь для импорта данных в ручном режиме"},
    {"ExportPathEdit", R::Hint, nullptr, "Введите сюда путь для экспорта данных в ручном режиме"},
    {"TransactionsTotalEdit", R::Hint, nullptr, "Это итог для показанных (отфильтрованных) транзакций"},
    // 7. Navigator hints: the accounts navigator's list, then the same list for the other two.
    {"AccountsDBNavigator", R::NavigatorHints, nullptr, kNavigatorHints},
    {"TransactionsDBNavigator", R::NavigatorHints, nullptr, kNavigatorHints},
    {"CurrenciesDBNavigator", R::NavigatorHints, nullptr, kNavigatorHints},
    // 8. Filter check boxes.
    {"AccFromDBCheckBox", R::Caption, nullptr, "Со счёта:"},
    {"AccToDBCheckBox", R::Caption, nullptr, "На счёт:"},
    {"FromDateDBCheckBox", R::Caption, nullptr, "От:"},
    {"ToDateDBCheckBox", R::Caption, nullptr, "До:"},
    {"CurrencyDBCheckBox", R::Caption, nullptr, "Валюта:"},
    // 9. Filter hints.
    {"AccFromDBCheckBox", R::Hint, nullptr, "Разрешить или запретить фильтрацию по приёмному счёту"},
    {"AccToDBCheckBox", R::Hint, nullptr, "Разрешить или запретить фильтрацию по исходному счёту"},
    {"FromDateDBCheckBox", R::Hint, nullptr, "Разрешить или запретить фильтрацию по начальной дате"},
    {"ToDateDBCheckBox", R::Hint, nullptr, "Разрешить или запретить фильтрацию по конечной дате"},
    {"Category1DBCheckBox", R::Hint, nullptr, "Разрешить или запретить фильтрацию по первой категории"},
    {"Category2DBCheckBox", R::Hint, nullptr, "Разрешить или запретить фильтрацию по второй категории"},
    {"Category3DBCheckBox", R::Hint, nullptr, "Разрешить или запретить фильтрацию по третей категории"},
    {"Category4DBCheckBox", R::Hint, nullptr, "Разрешить или запретить фильтрацию по четвёртой категории"},
    {"CurrencyDBCheckBox", R::Hint, nullptr, "Разрешить или запретить фильтрацию по валюте"},
    {"AccFromDBLookupComboBox", R::Hint, nullptr, "Выберите приёмный счёт. Будут показаны транзакции только с этого счёта."},
    {"AccToDBLookupComboBox", R::Hint, nullptr, "Выберите исходный счёт. Будут показаны транзакции только на этот счёт."},
    {"Category1DBLookupComboBox", R::Hint, nullptr, "Выберите первую категорию. Будут показаны транзакции только по этой категории."},
    {"Category2DBLookupComboBox", R::Hint, nullptr, "Выберите вторую категорию. Будут показаны транзакции только по этой категории."},
    {"Category3DBLookupComboBox", R::Hint, nullptr, "Выберите третью категорию. Будут показаны транзакции только по этой категории."},
    {"Category4DBLookupComboBox", R::Hint, nullptr, "Выберите четвёртую категорию. Будут показаны транзакции только по этой категории."},
    {"CurrencyDBLookupComboBox", R::Hint, nullptr, "Выберите валюту. Будут показаны транзакции только в этой валюте."},
    {"TransactionsTotalCurrencyDBLookupComboBox", R::Hint, nullptr, "Итог будет пересчитан к этой валюте"},
    {"ToDateDBEdit", R::Hint, nullptr, "Конечная дата для фильтрации по периоду. Выйдите из этого поля, чтобы она вступила в силу."},
    {"FromDateDBEdit", R::Hint, nullptr, "Начальная дата для фильтрации по периоду. Выйдите из этого поля, чтобы она вступила в силу."},
    {"ReceiptComboBox", R::Hint, nullptr, "Фильтр по полю \"Есть чек\""},
    {"BillableComboBox", R::Hint, nullptr, "Фильтр по полю \"К оплате\""},
    {"ClearedComboBox", R::Hint, nullptr, "Фильтр по полю \"Подтверждено\""},
    // 10. The yes/no lists (each keeps its item index).
    {"ReceiptComboBox", R::Items, nullptr, kYesNoItems},
    {"BillableComboBox", R::Items, nullptr, kYesNoItems},
    {"ClearedComboBox", R::Items, nullptr, kYesNoItems},
    // 11. The report save dialog.
    {"ReportSaveDialog", R::DialogTitle, nullptr, "Сохранить файл отчёта"},
    // 12. Column titles.
    {"AccountsKADaoDBGrid", R::ColumnTitle, "AMOUNT", "сумма"},
    {"AccountsKADaoDBGrid", R::ColumnTitle, "FACTIVE", "активный"},
    {"AccountsKADaoDBGrid", R::ColumnTitle, "FTOTAL", "в итог"},
    {"AccountsKADaoDBGrid", R::ColumnTitle, "NAME", "название"},
    {"AccountsKADaoDBGrid", R::ColumnTitle, "NOTES", "примечания"},
    {"AccountsKADaoDBGrid", R::ColumnTitle, "CurrencyName", "валюта"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "AccountToName", "на счёт"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "AccountFromName", "со счёта"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "CurrencyName", "валюта"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "CURRENCY_RATE", "курс"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "FOWNCURRENCY", "фикс курс"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "FRECEIPT", "есть чек"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "FBILLABLE", "к оплате"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "FCLEARED", "подтверждено"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "FADD", "приход"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "FMIRROR", "зеркальная"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "FREMIND", "напомнить"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "AMOUNT", "сумма"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "DATE", "дата/время"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "NOTES", "примечания"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "RemindTypeName", "напоминать"},
    {"TransactionsKADaoDBGrid", R::ColumnTitle, "BalanceTypeName", "баланс"},
    {"CurrenciesKADaoDBGrid", R::ColumnTitle, "NAME", "название"},
    {"CurrenciesKADaoDBGrid", R::ColumnTitle, "RATE", "курс"},
};

bool sameKey(const char* a, const char* b) {
  if (!a || !b) return a == b;
  return std::strcmp(a, b) == 0;
}

}  // namespace

std::span<const ControlText> RussianControlTexts() { return kRussian; }

QString RussianText(const char* control, TextRole role, const char* key) {
  for (const ControlText& t : kRussian)
    if (t.role == role && sameKey(t.control, control) && sameKey(t.key, key)) return QString::fromUtf8(t.english);
  return {};
}

// One straight sequence, run at construction before the caption is set and again by the
// File menu's Language command: control texts in their order, then the 78 messages. The
// yes/no lists and the exchange type keep their item index; the caption and the status bar
// keep their text until they are next written.
void TMainForm::Language1Click() {
  ApplyControlTexts(this, RussianControlTexts());
  ReportSaveDialogTitle = RussianText("ReportSaveDialog", TextRole::DialogTitle);
  text::applyRussianMessages();
  if (Charts1) Charts1->setText(ChartsCommandText());
}

}  // namespace quillet::app
