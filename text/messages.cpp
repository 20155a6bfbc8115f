#include "text/messages.h"

#include <array>
#include <utility>

namespace quillet::text {
namespace {

using MessageSet = std::array<std::string, kMessageCount>;

struct FixedEntry {
  int entry;
  const char* english;
  const char* russian;
};

// Every entry except the About text (4) and the per-table progress and failure texts,
// which are derived below.
constexpr FixedEntry kFixed[] = {
    {1, "Welcome to ", "Вас приветствует "},
    {2, "Quillet Desktop v1.0", "Quillet Десктоп v1.0"},
    // The help-file name begins with the separator that joins it to the program folder.
    {3, "/QuilletDesktop.htm", "/RusQuilletDesktop.doc"},
    {5, "Warning - Quillet Desktop", "Предупреждение - Quillet Десктоп"},
    {6, "Error - Quillet Desktop", "Ошибка - Quillet Десктоп"},
    {7, "Confirmation - Quillet Desktop", "Подтверждение - Quillet Десктоп"},
    {8, "About - Quillet Desktop", "О программе - Quillet Десктоп"},
    {9, "PalmDesktop not found, use manual mode instead",
     "PalmDesktop не найден, используйте ручной режим"},
    {10, "All tables are visible", "Все таблицы показаны"},
    {11, "Only main tables are visible", "Показаны только главные таблицы"},
    {12, "Hints enabled", "Подсказки включены"},
    {13, "Hints disabled", "Подсказки выключены"},
    {14, "Filtered columns are visible", "Колонки, для которых включен фильтр, показываются"},
    {15, "Filtered columns are hidden", "Колонки, для которых включен фильтр, не показываются"},
    {16, "Filter panel is visible", "Панель фильтров показана"},
    {17, "Filter panel is hidden", "Панель фильтров спрятана"},
    {18, "Filter panel floating is enabled. Now you can drag it anywhere.",
     "Разрешено таскание панели фильтров. Теперь её можно перетянуть в любое место."},
    {19, "Filter panel floating is disabled", "Таскание панели фильтров запрещено"},
    {20, "Default columns for transactions table are restored",
     "Начальный вид колонок в таблице транзакций восстановлен"},
    {21, "Import/Export confirmations are enabled", "Разрешены подтверждения на импорт и экспорт"},
    {22, "Import/Export confirmations are disabled", "Запрещены подтверждения на импорт и экспорт"},
    {23,
     "Import at startup is enabled. Now your desktop finance data will be up-to-date at every "
     "startup.",
     "Разрешёно автоматическое импортирование данных при запуске программы. Теперь ваши данные "
     "будут автоматически обновлятся в десктопе при каждом запуске."},
    {24,
     "Import at startup is disabled. You need to manually update your desktop finance data.",
     "Запрещено автоматическое импортирование данных при запуске программы. Теперь вам нужно "
     "самому импортировать данные."},
    {25, "Select please custom path for handheld data importing",
     "Выберите путь для ручного импортирования данных"},
    {26, "Select please custom path for exporting data to handheld",
     "Выберите путь для ручного экспортирования данных"},
    {27, "Clear all tables in Desktop Quillet?",
     "Очистить все таблицы в этой программе (но не на Palm'е)?"},
    {28, "Clearing all tables...", "Очистка всех таблиц..."},
    {29, "All tables are cleared", "Все таблицы очищены"},
    {30, "Perform Import?", "Забрать данные из Palm в эту программу?"},
    {31, "Select please your PalmDesktop user or use a manual mode instead",
     "Выберите пожалуйста пользователя PalmDesktop или используйте ручной режим"},
    {52, "Data importing from handheld is finished", "Импорт данных из Palm завершён"},
    {53, "Perform Export?", "Записать данные на Palm из этой программы?"},
    {74, "Data exporting is finished, syncronize now to update handhelds data",
     "Экспортирование данных на Palm завершено, синхронизируйте ваш Palm чтобы обновить на нём "
     "данные"},
    {75, "Data exporting to handheld is finished", "Экспортирование данных на Palm завершено"},
    {76, "Error! Can't export report.", "Ошибка! Не могу экспортировать отчёт."},
    {77, "Exporting report...", "Экспортирую отчёт..."},
    {78, "Report is succesfully exported to \"", "Отчёт записан в \""},
};

// The exchanged tables in their fixed order; Russian grammar needs a different form
// of two subjects after "export".
struct Subject {
  const char* english;
  const char* russianImport;
  const char* russianExport;
};

constexpr int kSubjectCount = 10;
constexpr int kCategorySubjects = 4;

constexpr Subject kSubjects[kSubjectCount] = {
    {"category 1", "категорию 1", "категорию 1"},
    {"category 2", "категорию 2", "категорию 2"},
    {"category 3", "категорию 3", "категорию 3"},
    {"category 4", "категорию 4", "категорию 4"},
    {"currencies", "валюты", "валюты"},
    {"BalanceType", "типы баланса", "типы балансы"},
    {"RemindType", "типы напоминания", "типы напоминаний"},
    {"CustomNames", "названия категорий", "названия категорий"},
    {"accounts", "счета", "счета"},
    {"transactions", "транзакции", "транзакции"},
};

constexpr int kImportFirstEntry = 32;
constexpr int kExportOffset = 22;  // export entries follow the same layout 22 entries later

// The maker's lines of the About text are the same in both languages.
constexpr const char* kMakerLines =
    "KorvellInc, 2026\n"
    "www.korvellinc.com\n"
    "support@korvellinc.com";

bool validTable(int table) { return table >= 0 && table < kSubjectCount; }

// Layout of one direction's 20 entries: the four category progress texts, then the four
// category failure texts, then progress and failure alternating for the other subjects.
int statusOffset(int table) {
  return table < kCategorySubjects ? table : 2 * kCategorySubjects + 2 * (table - kCategorySubjects);
}
int errorOffset(int table) {
  return table < kCategorySubjects ? kCategorySubjects + table : statusOffset(table) + 1;
}

std::string& slot(MessageSet& set, int entry) { return set[static_cast<std::size_t>(entry - 1)]; }

MessageSet buildSet(bool russian) {
  MessageSet set;
  for (const FixedEntry& e : kFixed) slot(set, e.entry) = russian ? e.russian : e.english;

  slot(set, MsgAbout) = slot(set, MsgTitle) + "\n\n" + kMakerLines;

  struct Direction {
    int firstEntry;
    const char* progressEn;
    const char* failureEn;
    const char* progressRu;
    const char* failureRu;
    bool exporting;
  };
  const Direction directions[] = {
      {kImportFirstEntry, "Importing ", "Can't import ", "Импортирую ", "Не могу импортировать ",
       false},
      {kImportFirstEntry + kExportOffset, "Exporting ", "Can't export ", "Экспортирую ",
       "Не могу экспортировать ", true},
  };
  for (const Direction& d : directions) {
    for (int t = 0; t < kSubjectCount; ++t) {
      const Subject& s = kSubjects[t];
      const std::string subject =
          russian ? (d.exporting ? s.russianExport : s.russianImport) : s.english;
      slot(set, d.firstEntry + statusOffset(t)) =
          (russian ? d.progressRu : d.progressEn) + subject + "...";
      slot(set, d.firstEntry + errorOffset(t)) = (russian ? d.failureRu : d.failureEn) + subject;
    }
  }
  return set;
}

// Function-local so that the English texts are in place before any other
// static initialiser can ask for a message.
MessageSet& currentSet() {
  static MessageSet current = buildSet(false);
  return current;
}

bool validEntry(int entry) { return entry >= 1 && entry <= kMessageCount; }

}  // namespace

const std::string& message(int entry) {
  static const std::string empty;
  if (!validEntry(entry)) return empty;
  return slot(currentSet(), entry);
}

void setMessage(int entry, std::string text) {
  if (!validEntry(entry)) return;
  slot(currentSet(), entry) = std::move(text);
}

void applyRussianMessages() { currentSet() = buildSet(true); }
void applyEnglishMessages() { currentSet() = buildSet(false); }

int importStatusEntry(int table) {
  return validTable(table) ? kImportFirstEntry + statusOffset(table) : 0;
}
int importErrorEntry(int table) {
  return validTable(table) ? kImportFirstEntry + errorOffset(table) : 0;
}
int exportStatusEntry(int table) {
  return validTable(table) ? kImportFirstEntry + kExportOffset + statusOffset(table) : 0;
}
int exportErrorEntry(int table) {
  return validTable(table) ? kImportFirstEntry + kExportOffset + errorOffset(table) : 0;
}

}  // namespace quillet::text
