#pragma once
// The eleven tables of the store (twelve views read them). Each column list is one X-macro so that the created
// schema, the views' columns and the data module's named field objects come from one place.
// C(view, COLUMN, FieldType, width)
#include <string>
#include <vector>

#include "store/table.h"

#define QUILLET_IDNAME_COLUMNS(C, v) \
  C(v, ID, Integer, 0)               \
  C(v, NAME, Text, 50)

#define QUILLET_CURRENCY_COLUMNS(C, v) \
  C(v, ID, Integer, 0)                 \
  C(v, NAME, Text, 50)                 \
  C(v, RATE, Float, 0)

#define QUILLET_CUSTOMNAMES_COLUMNS(C, v) C(v, NAME, Text, 50)

#define QUILLET_ACCOUNT_COLUMNS(C, v) \
  C(v, ID, Integer, 0)                \
  C(v, AMOUNT, Float, 0)              \
  C(v, CURRENCY_ID, Integer, 0)       \
  C(v, FACTIVE, Boolean, 0)           \
  C(v, FTOTAL, Boolean, 0)            \
  C(v, NAME, Text, 50)                \
  C(v, NOTES, Memo, 0)

#define QUILLET_TRANSACTION_COLUMNS(C, v) \
  C(v, ID, Integer, 0)                    \
  C(v, MIRROR_ID, Integer, 0)             \
  C(v, ACC_TO_ID, Integer, 0)             \
  C(v, ACC_FROM_ID, Integer, 0)           \
  C(v, AMOUNT, Float, 0)                  \
  C(v, CURRENCY_ID, Integer, 0)           \
  C(v, CURRENCY_RATE, Float, 0)           \
  C(v, FOWNCURRENCY, Boolean, 0)          \
  C(v, FADD, Boolean, 0)                  \
  C(v, FMIRROR, Boolean, 0)               \
  C(v, FREMIND, Boolean, 0)               \
  C(v, DATE, DateTime, 0)                 \
  C(v, REMINDTYPE_ID, Integer, 0)         \
  C(v, NOTES, Memo, 0)                    \
  C(v, BALANCETYPE_ID, Integer, 0)        \
  C(v, CATEGORY1_ID, Integer, 0)          \
  C(v, CATEGORY2_ID, Integer, 0)          \
  C(v, CATEGORY3_ID, Integer, 0)          \
  C(v, CATEGORY4_ID, Integer, 0)          \
  C(v, FRECEIPT, Boolean, 0)              \
  C(v, FBILLABLE, Boolean, 0)             \
  C(v, FCLEARED, Boolean, 0)

// The filter panel's row; HOME_CURRENCY is stored but has no field object.
#define QUILLET_ALLFILTERS_COLUMNS(C, v) \
  C(v, ACC_FROM_ID, Integer, 0)          \
  C(v, ACC_FROM_ENABLED, Boolean, 0)     \
  C(v, ACC_TO_ID, Integer, 0)            \
  C(v, ACC_TO_ENABLED, Boolean, 0)       \
  C(v, DATE_FROM, DateTime, 0)           \
  C(v, DATE_FROM_ENABLED, Boolean, 0)    \
  C(v, DATE_TO, DateTime, 0)             \
  C(v, DATE_TO_ENABLED, Boolean, 0)      \
  C(v, CATEGORY1_ID, Integer, 0)         \
  C(v, CATEGORY1_ENABLED, Boolean, 0)    \
  C(v, CATEGORY2_ID, Integer, 0)         \
  C(v, CATEGORY2_ENABLED, Boolean, 0)    \
  C(v, CATEGORY3_ID, Integer, 0)         \
  C(v, CATEGORY3_ENABLED, Boolean, 0)    \
  C(v, CATEGORY4_ID, Integer, 0)         \
  C(v, CATEGORY4_ENABLED, Boolean, 0)    \
  C(v, CURRENCY_ID, Integer, 0)          \
  C(v, CURRENCY_ENABLED, Boolean, 0)     \
  C(v, FRECEIPT, Integer, 0)             \
  C(v, FBILLABLE, Integer, 0)            \
  C(v, FCLEARED, Integer, 0)             \
  C(v, BALANCE_CURRENCY, Integer, 0)

// The second cursor over the transactions reads only what the balance total needs.
#define QUILLET_BALANCETRANS_COLUMNS(C, v) \
  C(v, AMOUNT, Float, 0)                   \
  C(v, CURRENCY_ID, Integer, 0)            \
  C(v, CURRENCY_RATE, Float, 0)            \
  C(v, FOWNCURRENCY, Boolean, 0)

namespace quillet {

struct TableDef {
  std::string name;
  std::vector<ColumnDef> columns;
};

// The eleven tables as a new store creates them, in the order: the ten data tables in
// their fixed order, then "_AllFilters".
const std::vector<TableDef>& StoreSchema();
const TableDef& TableSchema(const std::string& name);  // raises StoreError for an unknown name

// The ten data tables in their fixed order.
inline constexpr const char* kDataTables[10] = {"Category1",   "Category2",  "Category3",   "Category4", "Currency",
                                                "BalanceType", "RemindType", "CustomNames", "Account",   "Transaction"};

}  // namespace quillet
