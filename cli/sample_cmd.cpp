// sample: a realistic handheld folder to try the program with. The rows go into a scratch
// store and leave it through the export's own record writers, so the files are exactly what
// the program itself writes for the handheld.
#include <cstdint>
#include <filesystem>
#include <system_error>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/common.h"
#include "exchange/palmdesktop.h"
#include "exchange/transfer.h"
#include "store/datetime.h"
#include "text/codepage.h"

namespace quillet::cli {
namespace {

inline constexpr int kDefaultTransactions = 500;
inline constexpr int kMaxTransactions = 65535;  // the file's record count has 16 bits

// splitmix64: small, fast, and the same sequence everywhere for the same seed.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
  bool chance(int percent) { return below(100) < percent; }
  template <typename T, std::size_t N>
  const T& pick(const T (&items)[N]) {
    return items[next() % N];
  }

 private:
  std::uint64_t state_;
};

// Handheld texts are Windows-1251 bytes.
std::string hh(const char* utf8) { return text::utf8ToCp1251(utf8); }

struct Named {
  std::int32_t id;
  const char* name;
};

const Named kCategory1[] = {{1, "Продукты"}, {2, "Transport"}, {3, "Жильё"},      {4, "Entertainment"},
                            {5, "Здоровье"}, {6, "Salary"},    {7, "Подарки"},    {8, "Clothes"}};
const Named kCategory2[] = {{1, "Семья"}, {2, "Personal"}, {3, "Работа"}, {4, "Household"}};
const Named kCategory3[] = {{1, "Отпуск 2024"}, {2, "Renovation"}, {3, "Дача"}};
const Named kCategory4[] = {{1, "Москва"}, {2, "Online"}, {3, "Санкт-Петербург"}, {4, "Abroad"}};
const Named kBalanceTypes[] = {{1, "Наличные"}, {2, "Card"}, {3, "Transfer"}};
const Named kRemindTypes[] = {{0, "Never"}, {1, "Ежедневно"}, {2, "Weekly"}, {3, "Ежемесячно"}};
const char* const kCustomNames[] = {"Статья", "Who", "Проект", "Место"};

struct Currency {
  std::int32_t id;
  const char* name;
  double rate;
};
const Currency kCurrencies[] = {{1, "RUB", 1.0}, {2, "USD", 91.5}, {3, "EUR", 99.25}};

struct Account {
  std::int32_t id;
  const char* name;
  double amount;
  std::int32_t currency;
  bool active, total;
  const char* notes;
};
const Account kAccounts[] = {
    {1, "Кошелёк", 5230.50, 1, true, true, "Наличные в кошельке"},
    {2, "Card", 48210.00, 1, true, true, "Salary card\r\nlimit 100000"},
    {3, "USD savings", 1500.00, 2, true, false, "Savings in dollars"},
    {4, "Евро счёт", 320.75, 3, true, true, ""},
    {5, "Old deposit", 0.0, 1, false, false, "Closed in 2024"},
};

const char* const kNotes[] = {
    "",
    "Супермаркет у дома",
    "Taxi to the airport",
    "Аренда квартиры\r\nза месяц",
    "Lunch with colleagues",
    "Аптека",
    "Monthly salary\r\nincl. bonus",
    "Подарок на день рождения",
    "Cinema\r\ntwo tickets",
    "",
};

// Errors on standard error; the status texts of the scratch export are not shown.
class QuietUi : public exchange::ExchangeUi {
 public:
  void status(const std::string&) override {}
  void error(const std::string& text) override { line(stderr, text); }
  void warning(const std::string& text) override { line(stderr, text); }
  void beep() override {}
};

void addIdNames(TKADaoTable& view, const Named* rows, std::size_t count) {
  TField& id = view.FieldByName("ID");
  TField& name = view.FieldByName("NAME");
  for (std::size_t i = 0; i < count; ++i) {
    view.Insert();
    id.SetAsInteger(rows[i].id);
    name.SetAsString(hh(rows[i].name));
    view.Post();
  }
}

void fill(TDM& dm, int transactions, std::uint64_t seed) {
  addIdNames(*dm.Category1, kCategory1, std::size(kCategory1));
  addIdNames(*dm.Category2, kCategory2, std::size(kCategory2));
  addIdNames(*dm.Category3, kCategory3, std::size(kCategory3));
  addIdNames(*dm.Category4, kCategory4, std::size(kCategory4));
  for (const Currency& c : kCurrencies) {
    dm.Currency->Insert();
    dm.CurrencyID->SetAsInteger(c.id);
    dm.CurrencyNAME->SetAsString(c.name);
    dm.CurrencyRATE->SetAsFloat(c.rate);
    dm.Currency->Post();
  }
  addIdNames(*dm.BalanceType, kBalanceTypes, std::size(kBalanceTypes));
  addIdNames(*dm.RemindType, kRemindTypes, std::size(kRemindTypes));
  for (const char* name : kCustomNames) {
    dm.CustomNames->Insert();
    dm.CustomNamesNAME->SetAsString(hh(name));
    dm.CustomNames->Post();
  }
  for (const Account& a : kAccounts) {
    dm.Account->Insert();
    dm.AccountID->SetAsInteger(a.id);
    dm.AccountAMOUNT->SetAsFloat(a.amount);
    dm.AccountCURRENCY_ID->SetAsInteger(a.currency);
    dm.AccountFACTIVE->SetAsBoolean(a.active);
    dm.AccountFTOTAL->SetAsBoolean(a.total);
    dm.AccountNAME->SetAsString(hh(a.name));
    dm.AccountNOTES->SetAsString(hh(a.notes));
    dm.Account->Post();
  }

  Random random(seed);
  const double first = EncodeDate(2024, 1, 1);
  const int days = static_cast<int>(EncodeDate(2025, 12, 31) - first) + 1;  // two years
  constexpr int kActiveAccounts = 4;
  for (int i = 0; i < transactions; ++i) {
    const Account& account = kAccounts[random.below(kActiveAccounts)];
    const bool income = random.chance(20);
    const bool transfer = !income && random.chance(10);
    dm.Transaction->Insert();
    dm.TransactionID->SetAsInteger(i + 1);
    dm.TransactionMIRROR_ID->SetAsInteger(0);
    const Account& other = kAccounts[(&account - kAccounts + 1) % kActiveAccounts];
    dm.TransactionACC_TO_ID->SetAsInteger(income ? account.id : transfer ? other.id : 0);
    dm.TransactionACC_FROM_ID->SetAsInteger(income ? 0 : account.id);
    const int cents = income ? 1000000 + random.below(9000000) : 5000 + random.below(random.chance(10) ? 5000000 : 500000);
    // Amounts in roubles' worth, in the account's currency.
    const double worth = cents / 100.0 / kCurrencies[account.currency - 1].rate;
    dm.TransactionAMOUNT->SetAsFloat(static_cast<double>(static_cast<long long>(worth * 100.0 + 0.5)) / 100.0);
    dm.TransactionCURRENCY_ID->SetAsInteger(account.currency);
    const bool ownRate = account.currency != 1 && random.chance(30);
    const double rate = kCurrencies[account.currency - 1].rate * (0.95 + random.below(1000) / 10000.0);
    dm.TransactionCURRENCY_RATE->SetAsFloat(ownRate ? rate : 0.0);
    dm.TransactionFOWNCURRENCY->SetAsBoolean(ownRate);
    dm.TransactionFADD->SetAsBoolean(income);
    dm.TransactionFMIRROR->SetAsBoolean(false);
    const bool remind = random.chance(5);
    dm.TransactionFREMIND->SetAsBoolean(remind);
    dm.TransactionREMINDTYPE_ID->SetAsInteger(remind ? 1 + random.below(3) : 0);
    dm.TransactionDATE->SetAsDateTime(first + random.below(days) +
                                      EncodeTime(8 + random.below(14), random.below(60), random.below(60)));
    dm.TransactionNOTES->SetAsString(hh(random.pick(kNotes)));
    dm.TransactionBALANCETYPE_ID->SetAsInteger(random.pick(kBalanceTypes).id);
    dm.TransactionCATEGORY1_ID->SetAsInteger(income ? 6 : random.pick(kCategory1).id);
    dm.TransactionCATEGORY2_ID->SetAsInteger(random.pick(kCategory2).id);
    dm.TransactionCATEGORY3_ID->SetAsInteger(random.chance(30) ? random.pick(kCategory3).id : 0);
    dm.TransactionCATEGORY4_ID->SetAsInteger(random.pick(kCategory4).id);
    dm.TransactionFRECEIPT->SetAsBoolean(random.chance(40));
    dm.TransactionFBILLABLE->SetAsBoolean(random.chance(10));
    dm.TransactionFCLEARED->SetAsBoolean(random.chance(70));
    dm.Transaction->Post();
  }
}

std::optional<long long> parseCount(const std::string& text) {
  if (text.empty() || text.size() > 19) return std::nullopt;
  long long v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

}  // namespace

int runSample(const Args& args) {
  std::optional<std::string> folder;
  std::optional<long long> transactions;
  std::optional<long long> seed;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!optionsEnded && a == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && (a == "--transactions" || a == "--seed")) {
      std::optional<long long>& target = a == "--transactions" ? transactions : seed;
      if (target) return usageError(a + " given twice");
      if (i + 1 >= args.size()) return usageError(a + " needs a number");
      target = parseCount(args[++i]);
      if (!target) return usageError(a + " needs a whole number, not '" + args[i] + "'");
    } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
      return usageError("unknown option '" + a + "' for sample");
    } else {
      if (folder) return usageError("more than one folder given");
      folder = a;
    }
  }
  if (!folder || folder->empty()) return usageError("no folder given");
  if (transactions && *transactions > kMaxTransactions)
    return usageError("--transactions takes at most " + std::to_string(kMaxTransactions));

  {
    std::error_code ec;
    std::filesystem::create_directories(*folder, ec);  // a folder that exists already is fine
    if (!std::filesystem::is_directory(*folder, ec)) {
      line(stderr, "quillet-cli: cannot make the folder " + *folder);
      return kExitUsage;
    }
  }
  // The scratch store lives in a private folder that goes with everything in it.
  exchange::PrivateTempFolder scratch("quillet-sample-");
  if (scratch.path().empty()) {
    line(stderr, "quillet-cli: cannot make a scratch folder below " + exchange::SystemTempFolder());
    return kExitUsage;
  }
  HeadlessStoreUi storeUi;
  int failed = 0;
  try {
    TDM dm(storeUi, scratch.path() + "/Quillet.mdb", std::string());
    dm.DataModuleCreate();
    {
      BatchModeGuard batch(dm);
      fill(dm, static_cast<int>(transactions.value_or(kDefaultTransactions)),
           static_cast<std::uint64_t>(seed.value_or(1)));
      batch.finish();
    }
    QuietUi ui;
    failed = exchange::exportToFolder(dm, *folder, std::nullopt, ui);
  } catch (const std::exception& e) {
    line(stderr, e.what());
    return kExitUsage;
  }
  if (failed > 0) return kExitFailed;
  line(stdout, "Sample handheld files written to " + *folder);
  return kExitOk;
}

}  // namespace quillet::cli
