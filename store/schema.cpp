#include "store/schema.h"

namespace quillet {

#define QUILLET_COLUMN_DEF(view, col, type, width) ColumnDef{#col, FieldType::type, width},

const std::vector<TableDef>& StoreSchema() {
  static const std::vector<TableDef> schema = {
      {"Category1", {QUILLET_IDNAME_COLUMNS(QUILLET_COLUMN_DEF, Category1)}},
      {"Category2", {QUILLET_IDNAME_COLUMNS(QUILLET_COLUMN_DEF, Category2)}},
      {"Category3", {QUILLET_IDNAME_COLUMNS(QUILLET_COLUMN_DEF, Category3)}},
      {"Category4", {QUILLET_IDNAME_COLUMNS(QUILLET_COLUMN_DEF, Category4)}},
      {"Currency", {QUILLET_CURRENCY_COLUMNS(QUILLET_COLUMN_DEF, Currency)}},
      {"BalanceType", {QUILLET_IDNAME_COLUMNS(QUILLET_COLUMN_DEF, BalanceType)}},
      {"RemindType", {QUILLET_IDNAME_COLUMNS(QUILLET_COLUMN_DEF, RemindType)}},
      {"CustomNames", {QUILLET_CUSTOMNAMES_COLUMNS(QUILLET_COLUMN_DEF, CustomNames)}},
      {"Account", {QUILLET_ACCOUNT_COLUMNS(QUILLET_COLUMN_DEF, Account)}},
      {"Transaction", {QUILLET_TRANSACTION_COLUMNS(QUILLET_COLUMN_DEF, Transaction)}},
      {"_AllFilters",
       {QUILLET_ALLFILTERS_COLUMNS(QUILLET_COLUMN_DEF, AllFilters) ColumnDef{"HOME_CURRENCY", FieldType::Integer, 0}}},
  };
  return schema;
}

#undef QUILLET_COLUMN_DEF

const TableDef& TableSchema(const std::string& name) {
  for (const auto& t : StoreSchema())
    if (t.name == name) return t;
  throw StoreError("Unknown table " + name);
}

}  // namespace quillet
