#pragma once
// The transaction filter: the condition expression built from the filter panel's state,
// and which grid columns the conditions in force hide. Values come only from the typed
// fields of the filter row, never from typed text.
#include <array>
#include <string>

#include "store/variant.h"

namespace quillet {
class TDM;
class TKADaoTable;
}  // namespace quillet

namespace quillet::analysis {

// The twelve conditions in the order the expression lists them.
enum Condition : int {
  kAccTo,
  kAccFrom,
  kDateFrom,
  kDateTo,
  kCategory1,
  kCategory2,
  kCategory3,
  kCategory4,
  kCurrency,
  kReceipt,
  kBillable,
  kCleared,
};
inline constexpr int kConditionCount = 12;
// Conditions kAccTo..kCurrency take a value; the last three are yes/no choices.
inline constexpr int kValueConditions = 9;

// The yes/no choices: 0 all (off), 1 no, 2 yes; any other index writes the plain term.
inline constexpr int kYesNoAll = 0;
inline constexpr int kYesNoNo = 1;
inline constexpr int kYesNoYes = 2;

// Per condition: its column in the filter row and its switch there, the column it compares
// in the transactions, and the transaction grid's column that it hides (nullptr: none).
struct ConditionInfo {
  const char* rowField;      // "ACC_TO_ID"; for yes/no choices the stored index, "FRECEIPT"
  const char* enabledField;  // "ACC_TO_ENABLED"; nullptr for yes/no choices
  const char* term;          // "ACC_TO_ID = ", "DATE >= ", "FRECEIPT"
  const char* gridColumn;    // "AccountToName"; nullptr for the dates
};
const std::array<ConditionInfo, kConditionCount>& Conditions();

// The panel's state at one moment.
struct FilterState {
  std::array<bool, kValueConditions> on{};       // the check boxes
  std::array<Variant, kValueConditions> value;   // the filter row's values
  std::array<int, 3> yesNo{};                    // receipt, billable, cleared

  bool isOn(int condition) const {
    return condition < kValueConditions ? on[static_cast<std::size_t>(condition)]
                                        : yesNo[static_cast<std::size_t>(condition - kValueConditions)] != kYesNoAll;
  }
};

// The state as stored: values and switches of the filter row (empty when it has no row),
// the yes/no indices as the data module's window holds them.
FilterState StoredFilterState(const TDM& dm);

// A day count in the condition syntax: up to 15 significant digits, "." as the separator
// (37469, 37469.5).
std::string DayCountTerm(double dayCount);

// The expression, terms joined by " AND "; empty when nothing is on. A condition that is
// on with an empty value raises ConvertError("Invalid variant type conversion").
std::string FilterExpression(const FilterState& state);

// Sets the expression on the view and switches its filter on; the view is re-read with it
// and stands on its first row, also when the expression did not change. Raises the
// engine's error for an expression it cannot read.
void ApplyFilter(TKADaoTable& view, const std::string& expression);

// The transaction grid's columns of the ten conditions that have one, in condition order,
// with whether each is to be visible: its condition is off, or filtered columns are shown.
struct ColumnVisibility {
  const char* fieldName;
  bool visible;
};
std::array<ColumnVisibility, 10> FilteredColumnVisibility(const FilterState& state, bool showFilteredColumns);

}  // namespace quillet::analysis
