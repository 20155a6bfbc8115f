#include "text/messages.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "text/codepage.h"

namespace quillet::text {
namespace {

// Read during static initialisation, before main and before any test touches the table:
// the English texts must already be there, whatever the initialisation order of the units.
const std::string kTitleAtLoad = message(MsgTitle);
const std::string kHelpFileAtLoad = message(MsgHelpFile);

class MessagesTest : public ::testing::Test {
 protected:
  void SetUp() override { applyEnglishMessages(); }
  void TearDown() override { applyEnglishMessages(); }
};

struct TextCase {
  int entry;
  const char* english;
  const char* russian;
};

void expectBothLanguages(const TextCase& c) {
  applyEnglishMessages();
  EXPECT_EQ(message(c.entry), c.english) << "entry " << c.entry;
  applyRussianMessages();
  EXPECT_EQ(message(c.entry), c.russian) << "entry " << c.entry;
  applyEnglishMessages();
}

TEST(MessagesAtLoad, EnglishBeforeAnyoneAsks) {
  EXPECT_EQ(kTitleAtLoad, "Quillet Desktop v1.0");
  EXPECT_EQ(kHelpFileAtLoad, "/QuilletDesktop.htm");
}

TEST_F(MessagesTest, FixedEntriesInBothLanguages) {
  const TextCase cases[] = {
      {1, "Welcome to ", "Вас приветствует "},
      {2, "Quillet Desktop v1.0", "Quillet Десктоп v1.0"},
      {3, "/QuilletDesktop.htm", "/RusQuilletDesktop.doc"},
      {5, "Warning - Quillet Desktop", "Предупреждение - Quillet Десктоп"},
      {8, "About - Quillet Desktop", "О программе - Quillet Десктоп"},
      {9, "PalmDesktop not found, use manual mode instead",
       "PalmDesktop не найден, используйте ручной режим"},
      {23,
       "Import at startup is enabled. Now your desktop finance data will be up-to-date at every "
       "startup.",
       "Разрешёно автоматическое импортирование данных при запуске программы. Теперь ваши данные "
       "будут автоматически обновлятся в десктопе при каждом запуске."},
      {30, "Perform Import?", "Забрать данные из Palm в эту программу?"},
      {31, "Select please your PalmDesktop user or use a manual mode instead",
       "Выберите пожалуйста пользователя PalmDesktop или используйте ручной режим"},
      {52, "Data importing from handheld is finished", "Импорт данных из Palm завершён"},
      {53, "Perform Export?", "Записать данные на Palm из этой программы?"},
      {74, "Data exporting is finished, syncronize now to update handhelds data",
       "Экспортирование данных на Palm завершено, синхронизируйте ваш Palm чтобы обновить на нём "
       "данные"},
      {75, "Data exporting to handheld is finished", "Экспортирование данных на Palm завершено"},
      {78, "Report is succesfully exported to \"", "Отчёт записан в \""},
  };
  for (const TextCase& c : cases) expectBothLanguages(c);
}

TEST_F(MessagesTest, EnumNamesTheirEntries) {
  EXPECT_EQ(message(MsgWelcome), "Welcome to ");
  EXPECT_EQ(message(MsgErrorCaption), "Error - Quillet Desktop");
  EXPECT_EQ(message(MsgConfirmationCaption), "Confirmation - Quillet Desktop");
  EXPECT_EQ(message(MsgAllTablesVisible), "All tables are visible");
  EXPECT_EQ(message(MsgImportAtStartupDisabled),
            "Import at startup is disabled. You need to manually update your desktop finance data.");
  EXPECT_EQ(message(MsgBrowseImportTitle), "Select please custom path for handheld data importing");
  EXPECT_EQ(message(MsgBrowseExportTitle), "Select please custom path for exporting data to handheld");
  EXPECT_EQ(message(MsgClearConfirm), "Clear all tables in Desktop Quillet?");
  EXPECT_EQ(message(MsgSelectUser), "Select please your PalmDesktop user or use a manual mode instead");
  EXPECT_EQ(message(MsgImportFinished), "Data importing from handheld is finished");
  EXPECT_EQ(message(MsgPerformExport), "Perform Export?");
  EXPECT_EQ(message(MsgExportFinishedAuto),
            "Data exporting is finished, syncronize now to update handhelds data");
  EXPECT_EQ(message(MsgReportError), "Error! Can't export report.");
  EXPECT_EQ(message(MsgReportExporting), "Exporting report...");
  EXPECT_EQ(message(MsgReportExported), "Report is succesfully exported to \"");
}

TEST_F(MessagesTest, RuleBuiltEntries) {
  const TextCase cases[] = {
      {32, "Importing category 1...", "Импортирую категорию 1..."},
      {35, "Importing category 4...", "Импортирую категорию 4..."},
      {36, "Can't import category 1", "Не могу импортировать категорию 1"},
      {39, "Can't import category 4", "Не могу импортировать категорию 4"},
      {40, "Importing currencies...", "Импортирую валюты..."},
      {41, "Can't import currencies", "Не могу импортировать валюты"},
      {42, "Importing BalanceType...", "Импортирую типы баланса..."},
      {44, "Importing RemindType...", "Импортирую типы напоминания..."},
      {47, "Can't import CustomNames", "Не могу импортировать названия категорий"},
      {48, "Importing accounts...", "Импортирую счета..."},
      {51, "Can't import transactions", "Не могу импортировать транзакции"},
      {54, "Exporting category 1...", "Экспортирую категорию 1..."},
      {58, "Can't export category 1", "Не могу экспортировать категорию 1"},
      {62, "Exporting currencies...", "Экспортирую валюты..."},
      {64, "Exporting BalanceType...", "Экспортирую типы балансы..."},
      {65, "Can't export BalanceType", "Не могу экспортировать типы балансы"},
      {66, "Exporting RemindType...", "Экспортирую типы напоминаний..."},
      {67, "Can't export RemindType", "Не могу экспортировать типы напоминаний"},
      {72, "Exporting transactions...", "Экспортирую транзакции..."},
      {73, "Can't export transactions", "Не могу экспортировать транзакции"},
  };
  for (const TextCase& c : cases) expectBothLanguages(c);
}

TEST_F(MessagesTest, TableIndexToEntry) {
  struct Row {
    int importStatus, importError, exportStatus, exportError;
  };
  const Row expected[10] = {
      {32, 36, 54, 58}, {33, 37, 55, 59}, {34, 38, 56, 60}, {35, 39, 57, 61}, {40, 41, 62, 63},
      {42, 43, 64, 65}, {44, 45, 66, 67}, {46, 47, 68, 69}, {48, 49, 70, 71}, {50, 51, 72, 73},
  };
  for (int t = 0; t < 10; ++t) {
    SCOPED_TRACE(t);
    EXPECT_EQ(importStatusEntry(t), expected[t].importStatus);
    EXPECT_EQ(importErrorEntry(t), expected[t].importError);
    EXPECT_EQ(exportStatusEntry(t), expected[t].exportStatus);
    EXPECT_EQ(exportErrorEntry(t), expected[t].exportError);
  }
  for (int t : {-1, 10, 1000}) {
    EXPECT_EQ(importStatusEntry(t), 0);
    EXPECT_EQ(importErrorEntry(t), 0);
    EXPECT_EQ(exportStatusEntry(t), 0);
    EXPECT_EQ(exportErrorEntry(t), 0);
    EXPECT_EQ(message(importStatusEntry(t)), "");
  }
}

TEST_F(MessagesTest, MappedEntriesCarryTheirKindOfText) {
  const char* subjects[10] = {"category 1", "category 2", "category 3", "category 4",
                              "currencies", "BalanceType", "RemindType", "CustomNames",
                              "accounts", "transactions"};
  std::set<int> seen;
  for (int t = 0; t < 10; ++t) {
    const std::string s = subjects[t];
    EXPECT_EQ(message(importStatusEntry(t)), "Importing " + s + "...");
    EXPECT_EQ(message(importErrorEntry(t)), "Can't import " + s);
    EXPECT_EQ(message(exportStatusEntry(t)), "Exporting " + s + "...");
    EXPECT_EQ(message(exportErrorEntry(t)), "Can't export " + s);
    seen.insert({importStatusEntry(t), importErrorEntry(t), exportStatusEntry(t),
                 exportErrorEntry(t)});
  }
  // The forty texts fill exactly the two blocks, around entries 52 and 53.
  std::set<int> blocks;
  for (int e = 32; e <= 51; ++e) blocks.insert(e);
  for (int e = 54; e <= 73; ++e) blocks.insert(e);
  EXPECT_EQ(seen, blocks);
}

TEST_F(MessagesTest, AboutTextIsBuiltFromTheTitle) {
  const std::string english = message(MsgAbout);
  applyRussianMessages();
  const std::string russian = message(MsgAbout);

  const std::string enHead = "Quillet Desktop v1.0\n\nKorvellInc, 2026\n";
  const std::string ruHead = "Quillet Десктоп v1.0\n\nKorvellInc, 2026\n";
  ASSERT_EQ(english.substr(0, enHead.size()), enHead);
  ASSERT_EQ(russian.substr(0, ruHead.size()), ruHead);
  // Two contact lines follow the maker's line, the same in both languages.
  const std::string enContacts = english.substr(enHead.size());
  EXPECT_EQ(russian.substr(ruHead.size()), enContacts);
  const auto newline = enContacts.find('\n');
  ASSERT_NE(newline, std::string::npos);
  EXPECT_GT(newline, 0u);
  EXPECT_LT(newline + 1, enContacts.size());
  EXPECT_EQ(enContacts.find('\n', newline + 1), std::string::npos);
}

TEST_F(MessagesTest, EveryEntryHasATextInEachLanguage) {
  std::string english[kMessageCount + 1];
  for (int e = 1; e <= kMessageCount; ++e) english[e] = message(e);
  applyRussianMessages();
  for (int e = 1; e <= kMessageCount; ++e) {
    SCOPED_TRACE(e);
    EXPECT_FALSE(english[e].empty());
    EXPECT_FALSE(message(e).empty());
    EXPECT_NE(message(e), english[e]);
    // Every Russian text has a form in Windows-1251 (nothing turns into '?').
    EXPECT_EQ(cp1251ToUtf8(utf8ToCp1251(message(e))), message(e));
  }
}

TEST_F(MessagesTest, OutOfRangeEntriesAreEmptyAndStayEmpty) {
  for (int e : {0, -1, 79, 1000}) {
    EXPECT_EQ(message(e), "");
    setMessage(e, "stray");
    EXPECT_EQ(message(e), "");
  }
  EXPECT_EQ(message(1), "Welcome to ");
  EXPECT_EQ(message(78), "Report is succesfully exported to \"");
}

TEST_F(MessagesTest, SwitchingSets) {
  setMessage(MsgTitle, "edited");
  EXPECT_EQ(message(MsgTitle), "edited");
  EXPECT_EQ(message(MsgWelcome), "Welcome to ");

  applyRussianMessages();
  EXPECT_EQ(message(MsgTitle), "Quillet Десктоп v1.0");
  EXPECT_EQ(message(MsgHelpFile), "/RusQuilletDesktop.doc");
  applyRussianMessages();  // applying again changes nothing
  EXPECT_EQ(message(MsgTitle), "Quillet Десктоп v1.0");
  EXPECT_EQ(message(65), "Не могу экспортировать типы балансы");

  applyEnglishMessages();
  EXPECT_EQ(message(MsgTitle), "Quillet Desktop v1.0");
  EXPECT_EQ(message(MsgHelpFile), "/QuilletDesktop.htm");
  EXPECT_EQ(message(65), "Can't export BalanceType");
}

TEST_F(MessagesTest, ReferenceShowsTheCurrentText) {
  const std::string& title = message(MsgTitle);
  applyRussianMessages();
  EXPECT_EQ(title, "Quillet Десктоп v1.0");
}

}  // namespace
}  // namespace quillet::text
