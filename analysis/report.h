#pragma once
// The transaction report: the rows the transaction view shows, under the grid's visible
// columns, then a line per filter condition in force and the total. Two layouts: text (cells
// between a tab and a semicolon) and comma-separated (cells between quotes, unescaped, each
// followed by a comma). Texts are UTF-8, handheld texts decoded from the handheld's code page;
// every line break is written as CR LF.
#include <array>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/filter.h"
#include "store/fieldtext.h"

namespace quillet {
class TDM;
class TField;
class TKADaoTable;
}  // namespace quillet

namespace quillet::analysis {

enum class ReportLayout { Text, CommaSeparated };

// Writes the report's items in one layout. Line breaks, those inside values included, go
// out as CR LF (a CR LF already in a value stays as it is).
class ReportWriter {
 public:
  ReportWriter(std::FILE* out, ReportLayout layout) : out_(out), layout_(layout) {}
  ReportLayout layout() const { return layout_; }

  void headerCell(std::string_view title);
  void endHeader();
  void dataCell(std::string_view text);
  void endRow();
  void endData();
  void filterLine(std::string_view label, std::string_view value);
  void footer(std::string_view caption, std::string_view total, std::string_view currency);

 private:
  void put(std::string_view text);
  void cell(std::string_view text);
  std::FILE* out_;
  ReportLayout layout_;
  char last_ = 0;
};

// The conditions in the order of the report's filter lines.
inline constexpr std::array<int, kConditionCount> kReportLineOrder = {
    kDateFrom, kDateTo, kAccTo, kAccFrom, kCategory1, kCategory2, kCategory3, kCategory4,
    kCurrency, kReceipt, kBillable, kCleared};

// One column of the report: its title (UTF-8) and the field whose text fills its cells
// (nullptr: the view has no such field, the cells stay empty).
struct ReportColumn {
  std::string title;
  const TField* field = nullptr;
};

// What the report takes from the window (or its stand-in).
struct ReportSource {
  std::vector<ReportColumn> columns;
  // Run after the rows are written (the window stores its filter state here); answers which
  // conditions get a line.
  std::function<FilterState()> conditions;
  // A condition's label and shown value, UTF-8.
  std::function<std::string(int condition)> label;
  std::function<std::string(int condition)> value;
  // The footer: the total's caption, the total as shown, the chosen currency's name.
  std::function<std::array<std::string, 3>()> footer;
};

// A cell's text: the field's plain text form, handheld texts decoded to UTF-8.
std::string ReportCellText(const TField& field, const Formats& formats);

// Writes the whole report. The view is scanned in batch mode (bound controls do not follow)
// from its first row to its last and left on its last row.
void WriteReport(ReportWriter& writer, TKADaoTable& view, const ReportSource& source, const Formats& formats);

// ---- The window's designed transaction grid and texts, for reports written without it.

struct DesignedColumn {
  const char* fieldName;
  const char* title;  // English
};
// The transaction grid's designed columns in their designed order.
const std::vector<DesignedColumn>& DesignedTransactionColumns();
inline constexpr const char* kFromCaption = "From";
inline constexpr const char* kToCaption = "To";
inline constexpr const char* kTotalCaption = "Total balance:";
inline constexpr std::array<const char*, 3> kYesNoTexts = {"all", "no", "yes"};

// The report as the window writes it with its designed columns and English texts, for the
// given filter state (conditions on; values from the state) and total currency. Custom
// category names title the category columns. Nothing is stored.
void WriteStandaloneReport(ReportWriter& writer, TDM& dm, const FilterState& state, std::int32_t totalCurrency,
                           const Formats& formats);

// "%.2f" of a total.
std::string TotalText(float total);

}  // namespace quillet::analysis
