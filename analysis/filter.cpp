#include "analysis/filter.h"

#include <cstdint>

#include "store/datamodule.h"
#include "store/fieldtext.h"

namespace quillet::analysis {

const std::array<ConditionInfo, kConditionCount>& Conditions() {
  static const std::array<ConditionInfo, kConditionCount> table = {{
      {"ACC_TO_ID", "ACC_TO_ENABLED", "ACC_TO_ID = ", "AccountToName"},
      {"ACC_FROM_ID", "ACC_FROM_ENABLED", "ACC_FROM_ID = ", "AccountFromName"},
      {"DATE_FROM", "DATE_FROM_ENABLED", "DATE >= ", nullptr},
      {"DATE_TO", "DATE_TO_ENABLED", "DATE <= ", nullptr},
      {"CATEGORY1_ID", "CATEGORY1_ENABLED", "CATEGORY1_ID = ", "Category1Name"},
      {"CATEGORY2_ID", "CATEGORY2_ENABLED", "CATEGORY2_ID = ", "Category2Name"},
      {"CATEGORY3_ID", "CATEGORY3_ENABLED", "CATEGORY3_ID = ", "Category3Name"},
      {"CATEGORY4_ID", "CATEGORY4_ENABLED", "CATEGORY4_ID = ", "Category4Name"},
      {"CURRENCY_ID", "CURRENCY_ENABLED", "CURRENCY_ID = ", "CurrencyName"},
      {"FRECEIPT", nullptr, "FRECEIPT", "FRECEIPT"},
      {"FBILLABLE", nullptr, "FBILLABLE", "FBILLABLE"},
      {"FCLEARED", nullptr, "FCLEARED", "FCLEARED"},
  }};
  return table;
}

FilterState StoredFilterState(const TDM& dm) {
  FilterState state;
  const TKADaoTable& row = *dm.AllFilters;
  const bool hasRow = !(row.IsEmpty() && row.state() == TKADaoTable::State::Browse);
  for (int c = 0; c < kValueConditions; ++c) {
    const ConditionInfo& info = Conditions()[static_cast<std::size_t>(c)];
    const auto i = static_cast<std::size_t>(c);
    state.on[i] = hasRow && row.FieldByName(info.enabledField).AsBoolean();
    state.value[i] = hasRow ? row.FieldByName(info.rowField).AsVariant() : Variant();
  }
  for (int i = 0; i < 3; ++i) state.yesNo[static_cast<std::size_t>(i)] = dm.ui().yesNoIndex(i);
  return state;
}

std::string DayCountTerm(double dayCount) { return FloatText(dayCount, "."); }

std::string FilterExpression(const FilterState& state) {
  std::string text;
  for (int c = 0; c < kConditionCount; ++c) {
    if (!state.isOn(c)) continue;
    if (!text.empty()) text += " AND ";
    const ConditionInfo& info = Conditions()[static_cast<std::size_t>(c)];
    if (c >= kValueConditions) {
      if (state.yesNo[static_cast<std::size_t>(c - kValueConditions)] == kYesNoNo) text += "NOT ";
      text += info.term;
      continue;
    }
    const Variant& v = state.value[static_cast<std::size_t>(c)];
    if (v.isEmpty()) throw ConvertError(kInvalidVariantConversion);
    text += info.term;
    if (c == kDateFrom || c == kDateTo)
      text += DayCountTerm(v.toFloat());
    else
      text += std::to_string(static_cast<std::int32_t>(static_cast<std::uint32_t>(v.toInteger())));
  }
  return text;
}

void ApplyFilter(TKADaoTable& view, const std::string& expression) {
  // Closed and opened again rather than refreshed: opening reads which rows the expression
  // selects and leaves their values to be read when shown, so a full store is not read
  // whole for the grid's first rows.
  if (view.state() == TKADaoTable::State::Edit || view.state() == TKADaoTable::State::Insert) {
    if (view.Modified())
      view.Post();
    else
      view.Cancel();
  }
  const std::string previous = view.Filter();
  const bool wasFiltered = view.Filtered();
  view.Close();
  view.SetFilter(expression);
  view.SetFiltered(true);
  try {
    view.Open();
    view.RecordCount();  // the engine's errors come now, not while a grid paints
  } catch (...) {
    // The view goes back to the expression it had, and the engine's error is reported.
    try {
      view.Close();
      view.SetFilter(previous);
      view.SetFiltered(wasFiltered);
      view.Open();
    } catch (...) {
    }
    throw;
  }
}

std::array<ColumnVisibility, 10> FilteredColumnVisibility(const FilterState& state, bool showFilteredColumns) {
  std::array<ColumnVisibility, 10> out{};
  std::size_t n = 0;
  for (int c = 0; c < kConditionCount; ++c) {
    const ConditionInfo& info = Conditions()[static_cast<std::size_t>(c)];
    if (!info.gridColumn) continue;
    out[n++] = {info.gridColumn, showFilteredColumns || !state.isOn(c)};
  }
  return out;
}

}  // namespace quillet::analysis
