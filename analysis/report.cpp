#include "analysis/report.h"

#include <cstdint>

#include "store/balancetotal.h"
#include "store/datamodule.h"
#include "text/codepage.h"

namespace quillet::analysis {

// ---------------------------------------------------------------- ReportWriter

void ReportWriter::put(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    if (c == '\n' && last_ != '\r') out.push_back('\r');
    out.push_back(c);
    last_ = c;
  }
  std::fwrite(out.data(), 1, out.size(), out_);
}

void ReportWriter::cell(std::string_view text) {
  if (layout_ == ReportLayout::Text) {
    put("\t");
    put(text);
    put(";");
  } else {
    put("\"");
    put(text);
    put("\",");
  }
}

void ReportWriter::headerCell(std::string_view title) { cell(title); }
void ReportWriter::endHeader() { put("\n\n"); }
void ReportWriter::dataCell(std::string_view text) { cell(text); }
void ReportWriter::endRow() { put("\n"); }
void ReportWriter::endData() { put("\n\n"); }

void ReportWriter::filterLine(std::string_view label, std::string_view value) {
  if (layout_ == ReportLayout::Text) {
    put(label);
    put(": ");
    put(value);
    put("\n");
  } else {
    put("\"");
    put(label);
    put(":\",\"");
    put(value);
    put("\"\n");
  }
}

void ReportWriter::footer(std::string_view caption, std::string_view total, std::string_view currency) {
  if (layout_ == ReportLayout::Text) {
    put("\n\n");
    put(caption);
    put(" ");
    put(total);
    put(" ");
    put(currency);
    put("\n");
  } else {
    put("\n\n\"");
    put(caption);
    put("\",\"");
    put(total);
    put("\",\"");
    put(currency);
    put("\"\n");
  }
}

// ---------------------------------------------------------------- the report

std::string ReportCellText(const TField& field, const Formats& formats) {
  std::string s = FieldText(field, formats);
  if (field.DataType() == FieldType::Text || field.DataType() == FieldType::Memo) return text::cp1251ToUtf8(s);
  return s;
}

namespace {

// Batch mode of one view for a scope, switched off on every path.
class ViewBatch {
 public:
  explicit ViewBatch(TKADaoTable& view) : view_(view) { view_.F_SetBatchMode(true); }
  ~ViewBatch() { view_.F_SetBatchMode(false); }
  ViewBatch(const ViewBatch&) = delete;
  ViewBatch& operator=(const ViewBatch&) = delete;

 private:
  TKADaoTable& view_;
};

}  // namespace

void WriteReport(ReportWriter& writer, TKADaoTable& view, const ReportSource& source, const Formats& formats) {
  {
    const ViewBatch batch(view);
    for (const ReportColumn& c : source.columns) writer.headerCell(c.title);
    writer.endHeader();
    view.First();
    while (!view.Eof()) {
      for (const ReportColumn& c : source.columns) writer.dataCell(c.field ? ReportCellText(*c.field, formats) : "");
      writer.endRow();
      view.Next();
    }
    writer.endData();
    const FilterState state = source.conditions();
    for (int condition : kReportLineOrder)
      if (state.isOn(condition)) writer.filterLine(source.label(condition), source.value(condition));
    const std::array<std::string, 3> footer = source.footer();
    writer.footer(footer[0], footer[1], footer[2]);
  }
}

// ---------------------------------------------------------------- without the window

const std::vector<DesignedColumn>& DesignedTransactionColumns() {
  static const std::vector<DesignedColumn> columns = {
      {"FADD", "Income"},
      {"DATE", "Date/Time"},
      {"AccountToName", "To account"},
      {"AccountFromName", "From account"},
      {"AMOUNT", "Amount"},
      {"CurrencyName", "Currency"},
      {"NOTES", "Notes"},
      {"Category1Name", "Category 1"},
      {"Category2Name", "Category 2"},
      {"Category3Name", "Category 3"},
      {"Category4Name", "Category 4"},
      {"FRECEIPT", "Is receipt"},
      {"FBILLABLE", "Is billable"},
      {"FCLEARED", "Is cleared"},
      {"FMIRROR", "Mirror"},
      {"BalanceTypeName", "Balance"},
      {"FREMIND", "Remind"},
      {"RemindTypeName", "Remind by"},
      {"FOWNCURRENCY", "Has own rate"},
      {"CURRENCY_RATE", "Own rate"},
  };
  return columns;
}

std::string TotalText(float total) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f", static_cast<double>(total));
  return buf;
}

namespace {

// The NAME of the row whose ID is the value, as a lookup box shows it.
std::string shownName(const TKADaoTable& list, const Variant& id) {
  if (id.isEmpty()) return {};
  return text::cp1251ToUtf8(list.Lookup("ID", id, "NAME").toText());
}

}  // namespace

void WriteStandaloneReport(ReportWriter& writer, TDM& dm, const FilterState& state, std::int32_t totalCurrency,
                           const Formats& formats) {
  // Column titles: the designed ones, the category columns named by the custom names.
  std::vector<std::pair<std::string, std::string>> titles;
  for (const DesignedColumn& c : DesignedTransactionColumns()) titles.emplace_back(c.fieldName, c.title);
  if (!dm.CustomNames->IsEmpty()) {
    for (int n = 0; n < 4 && n < dm.CustomNames->RecordCount(); ++n) {
      const std::string name = text::cp1251ToUtf8(dm.CustomNamesNAME->ValueAt(n).toText());
      const std::string field = "Category" + std::to_string(n + 1) + "Name";
      for (auto& [f, t] : titles)
        if (f == field) t = name;
    }
  }
  auto titleOf = [&](const char* field) {
    for (const auto& [f, t] : titles)
      if (f == field) return t;
    return std::string();
  };

  ReportSource source;
  const auto visible = FilteredColumnVisibility(state, false);
  for (const auto& [field, title] : titles) {
    bool shown = true;
    for (const ColumnVisibility& v : visible)
      if (field == v.fieldName) shown = v.visible;
    if (shown) source.columns.push_back({title, dm.Transaction->FindField(field)});
  }
  source.conditions = [&] { return state; };
  source.label = [&](int c) {
    if (c == kDateFrom) return std::string(kFromCaption);
    if (c == kDateTo) return std::string(kToCaption);
    return titleOf(Conditions()[static_cast<std::size_t>(c)].gridColumn);
  };
  const TKADaoTable* lists[kValueConditions] = {dm.Account.get(),   dm.Account.get(),   nullptr,
                                                nullptr,            dm.Category1.get(), dm.Category2.get(),
                                                dm.Category3.get(), dm.Category4.get(), dm.Currency.get()};
  source.value = [&](int c) -> std::string {
    if (c >= kValueConditions) {
      const int index = state.yesNo[static_cast<std::size_t>(c - kValueConditions)];
      return index >= 0 && index < 3 ? kYesNoTexts[static_cast<std::size_t>(index)] : "";
    }
    const Variant& v = state.value[static_cast<std::size_t>(c)];
    if (c == kDateFrom || c == kDateTo) return v.isEmpty() ? std::string() : FormatDateTime(v.toFloat(), formats.shortDate);
    return shownName(*lists[c], v);
  };
  source.footer = [&]() -> std::array<std::string, 3> {
    return {kTotalCaption, TotalText(BalanceTotalIn(dm, totalCurrency)),
            shownName(*dm.Currency, Variant::fromInteger(totalCurrency))};
  };
  WriteReport(writer, *dm.Transaction, source, formats);
}

}  // namespace quillet::analysis
