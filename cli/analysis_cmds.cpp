// total and report: the filtered transactions' total and report, read from the store
// without changing it.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "analysis/filter.h"
#include "analysis/report.h"
#include "cli/commands.h"
#include "cli/common.h"
#include "cli/groups_cmd.h"
#include "store/balancetotal.h"
#include "store/datetime.h"
#include "text/codepage.h"
#include "text/messages.h"

namespace quillet::cli {
namespace {

std::optional<std::int32_t> parseId(const std::string& s) {
  if (s.empty() || s.size() > 11) return std::nullopt;
  std::size_t i = s[0] == '-' ? 1 : 0;
  if (i == s.size()) return std::nullopt;
  long long v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return std::nullopt;
    v = v * 10 + (s[i] - '0');
  }
  if (s[0] == '-') v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(v);
}

// YYYY-MM-DD with an optional THH:MM or THH:MM:SS, as a day count.
std::optional<double> parseDate(const std::string& s) {
  static const std::string shape = "dddd-dd-ddTdd:dd:dd";
  if (s.size() != 10 && s.size() != 16 && s.size() != 19) return std::nullopt;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const bool digit = s[i] >= '0' && s[i] <= '9';
    if (shape[i] == 'd' ? !digit : s[i] != shape[i]) return std::nullopt;
  }
  auto number = [&](std::size_t at, std::size_t length) { return std::stoi(s.substr(at, length)); };
  try {
    return EncodeDateTime(number(0, 4), number(5, 2), number(8, 2), s.size() > 10 ? number(11, 2) : 0,
                          s.size() > 10 ? number(14, 2) : 0, s.size() > 16 ? number(17, 2) : 0);
  } catch (const std::exception&) {
    return std::nullopt;  // no such day or time
  }
}

struct AnalysisArgs {
  std::optional<std::string> db;
  std::optional<std::string> file;
  bool csv = false;
  std::optional<std::int32_t> totalCurrency;
  bool filterGiven = false;  // any filter option: only the conditions given are on
  std::optional<std::string> by;  // total --by GROUPING (cli/groups_cmd.cpp)
  analysis::FilterState state;
};

// Parses the arguments; returns the exit status of a usage error, or nothing.
std::optional<int> parse(const Args& args, bool isReport, AnalysisArgs& out) {
  const std::string command = isReport ? "report" : "total";
  static const struct {
    const char* option;
    int condition;
  } valueOptions[] = {
      {"--account-to", analysis::kAccTo},       {"--account-from", analysis::kAccFrom},
      {"--from", analysis::kDateFrom},          {"--to", analysis::kDateTo},
      {"--category1", analysis::kCategory1},    {"--category2", analysis::kCategory2},
      {"--category3", analysis::kCategory3},    {"--category4", analysis::kCategory4},
      {"--currency", analysis::kCurrency},      {"--receipt", analysis::kReceipt},
      {"--billable", analysis::kBillable},      {"--cleared", analysis::kCleared},
  };
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& v) -> bool {
      if (i + 1 >= args.size()) return false;
      v = args[++i];
      return true;
    };
    if (!optionsEnded && a == "--") {
      optionsEnded = true;
      continue;
    }
    if (optionsEnded || a.empty() || a[0] != '-' || a == "-") {
      if (!isReport) return usageError("unexpected argument '" + a + "' for total");
      if (out.file) return usageError("more than one report file given");
      out.file = a;
      continue;
    }
    std::string v;
    if (a == "--db") {
      if (out.db) return usageError("--db given twice");
      if (!value(v) || v.empty()) return usageError("--db needs a file name");
      out.db = v;
    } else if (a == "--by" && !isReport) {
      if (!value(v)) return usageError("--by needs a grouping");
      if (auto status = checkGrouping(v)) return *status;
      out.by = v;
    } else if (a == "--csv" && isReport) {
      out.csv = true;
    } else if (a == "--all") {
      out.filterGiven = true;
    } else if (a == "--total-currency") {
      if (!value(v)) return usageError("--total-currency needs a currency ID");
      const auto id = parseId(v);
      if (!id) return usageError("bad value for --total-currency: '" + v + "' (an ID)");
      out.totalCurrency = *id;
    } else {
      bool known = false;
      for (const auto& o : valueOptions) {
        if (a != o.option) continue;
        known = true;
        out.filterGiven = true;
        if (!value(v)) return usageError(a + " needs a value");
        if (o.condition >= analysis::kValueConditions) {
          const int index = v == "yes" ? analysis::kYesNoYes : v == "no" ? analysis::kYesNoNo : -2;
          if (index < 0) return usageError("bad value for " + a + ": '" + v + "' (yes or no)");
          out.state.yesNo[static_cast<std::size_t>(o.condition - analysis::kValueConditions)] = index;
        } else if (o.condition == analysis::kDateFrom || o.condition == analysis::kDateTo) {
          const auto day = parseDate(v);
          if (!day) return usageError("bad value for " + a + ": '" + v + "' (YYYY-MM-DD[THH:MM[:SS]])");
          out.state.on[static_cast<std::size_t>(o.condition)] = true;
          out.state.value[static_cast<std::size_t>(o.condition)] = Variant::fromFloat(*day);
        } else {
          const auto id = parseId(v);
          if (!id) return usageError("bad value for " + a + ": '" + v + "' (an ID)");
          out.state.on[static_cast<std::size_t>(o.condition)] = true;
          out.state.value[static_cast<std::size_t>(o.condition)] = Variant::fromInteger(*id);
        }
      }
      if (!known) return usageError("unknown option '" + a + "' for " + command);
    }
  }
  if (isReport && (!out.file || out.file->empty())) return usageError("no report file given");
  return std::nullopt;
}

int runAnalysis(const Args& args, bool isReport) {
  AnalysisArgs a;
  if (auto status = parse(args, isReport, a)) return *status;

  // Read-only: the store is closed on every way out without saving, so the file keeps its bytes.
  const std::unique_ptr<OpenStore> store = openStore(a.db, StoreMode::ReadOnly);
  if (!store) return kExitUsage;
  TDM& dm = *store->dm;
  try {
    // Without filter options, the saved filter state, as the window applies it at start.
    const analysis::FilterState state = a.filterGiven ? a.state : analysis::StoredFilterState(dm);
    const std::int32_t currency = a.totalCurrency ? *a.totalCurrency : dm.AllFiltersBALANCE_CURRENCY->AsInteger();
    analysis::ApplyFilter(*dm.Transaction, analysis::FilterExpression(state));

    if (!isReport) {
      if (a.by) printTotalsBy(dm, currency, *a.by);
      const float total = BalanceTotalIn(dm, currency);
      const Variant name = dm.Currency->Lookup("ID", Variant::fromInteger(currency), "NAME");
      line(stdout, analysis::TotalText(total) + " " + text::cp1251ToUtf8(name.toText()));
      return kExitOk;
    }

    std::FILE* f = std::fopen(a.file->c_str(), "wb");
    if (!f) {
      line(stderr, text::message(text::MsgReportError));
      return kExitFailed;
    }
    line(stdout, text::message(text::MsgReportExporting));
    {
      analysis::ReportWriter writer(f, a.csv ? analysis::ReportLayout::CommaSeparated : analysis::ReportLayout::Text);
      try {
        analysis::WriteStandaloneReport(writer, dm, state, currency, Formats{});
      } catch (...) {
        std::fclose(f);
        throw;
      }
    }
    const bool written = std::ferror(f) == 0;
    if (std::fclose(f) != 0 || !written) {
      line(stderr, text::message(text::MsgReportError));
      return kExitFailed;
    }
    line(stdout, text::message(text::MsgReportExported) + *a.file + "\"");
    return kExitOk;
  } catch (const std::exception& e) {
    line(stderr, e.what());
    return kExitFailed;
  }
}

}  // namespace

int runTotal(const Args& args) { return runAnalysis(args, false); }
int runReport(const Args& args) { return runAnalysis(args, true); }

}  // namespace quillet::cli
