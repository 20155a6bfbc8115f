#include "cli/dump.h"

#include <optional>

#include "cli/commands.h"
#include "cli/common.h"

#include <cmath>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "cli/format.h"
#include "exchange/transfer.h"
#include "pdb/container.h"
#include "pdb/records.h"
#include "store/datamodule.h"
#include "store/paths.h"
#include "store/schema.h"
#include "text/codepage.h"

namespace quillet::cli {
namespace {

namespace fs = std::filesystem;

constexpr int kTableCount = 10;


// Index 0..9 of the table whose handheld database bears this name, or -1.
int tableOf(const std::string& databaseName) {
  for (int i = 0; i < kTableCount; ++i) {
    if (databaseName == exchange::HandheldDatabaseName(i)) return i;
  }
  return -1;
}

struct FieldValue {
  const ColumnDef* column;
  Variant value;
};

// Decodes records with the table's own decoder into a store of its own, in a fresh
// temporary folder that is removed afterwards, and reads each row back. The folder is also
// the store's program folder, so opening can never fall back to another store file.
class RecordDecoder {
 public:
  explicit RecordDecoder(int table) : table_(table) {
    std::string pattern = (fs::temp_directory_path() / "quillet-dump-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("cannot create a temporary folder in " + fs::temp_directory_path().string());
    }
    folder_ = pattern;
    dm_ = std::make_unique<TDM>(ui_, (folder_ / kStoreFileName).string(), folder_.string());
    dm_->DataModuleCreate();
    // One transaction for all rows.
    batch_.emplace(*dm_);
  }
  ~RecordDecoder() {
    batch_.reset();
    dm_.reset();
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  RecordDecoder(const RecordDecoder&) = delete;
  RecordDecoder& operator=(const RecordDecoder&) = delete;

  // The fields of the row the record becomes; raises the decoder's error.
  std::vector<FieldValue> decode(const std::uint8_t* data, std::uint32_t length) {
    TKADaoTable& view = dm_->DataView(table_);
    const int before = view.RecordCount();
    try {
      pdb::kTableLayouts[table_].decode(data, length);
    } catch (...) {
      if (view.state() == TKADaoTable::State::Insert || view.state() == TKADaoTable::State::Edit) view.Cancel();
      throw;
    }
    const int row = view.RecordCount() - 1;
    if (row != before) throw std::runtime_error("the record gave no row");
    std::vector<FieldValue> fields;
    const auto& columns = view.Columns();
    fields.reserve(columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c) {
      fields.push_back({&columns[c], view.Value(row, static_cast<int>(c))});
    }
    return fields;
  }

 private:
  int table_;
  fs::path folder_;
  HeadlessStoreUi ui_;
  std::unique_ptr<TDM> dm_;
  std::optional<BatchModeGuard> batch_;
};

std::string plainValue(const FieldValue& f) {
  const Variant& v = f.value;
  if (v.isEmpty()) return "(empty)";
  switch (f.column->type) {
    case FieldType::Text:
    case FieldType::Memo:
      return quotedText(text::cp1251ToUtf8(v.toText()));
    case FieldType::Boolean:
      return v.toInteger() != 0 ? "True" : "False";
    case FieldType::DateTime: {
      const double day = v.toFloat();
      if (!std::isfinite(day)) return jsonNumber(day);
      return dayCountText(day) + " (" + jsonNumber(day) + ")";
    }
    case FieldType::Float:
      return std::isfinite(v.toFloat()) ? jsonNumber(v.toFloat()) : std::to_string(v.toFloat());
    case FieldType::Integer:
      return std::to_string(v.toInteger());
  }
  return v.toText();
}

std::string jsonValue(const FieldValue& f) {
  const Variant& v = f.value;
  if (v.isEmpty()) return "null";
  switch (f.column->type) {
    case FieldType::Text:
    case FieldType::Memo:
      return jsonString(text::cp1251ToUtf8(v.toText()));
    case FieldType::Boolean:
      return v.toInteger() != 0 ? "true" : "false";
    case FieldType::DateTime: {
      const double day = v.toFloat();
      return std::isfinite(day) ? jsonString(dayCountText(day)) : "null";
    }
    case FieldType::Float:
      return jsonNumber(v.toFloat());
    case FieldType::Integer:
      return std::to_string(v.toInteger());
  }
  return jsonString(v.toText());
}

std::string recordLine(int index, const pdb::RecordInfo& info) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "Record %d: offset %u, attributes 0x%02X, unique ID %u, length %u\n", index,
                info.offset, info.attributes, info.uniqueId, info.length);
  return buf;
}

std::string headerText(const pdb::Header& h) {
  char buf[96];
  std::string s;
  s += "Name: " + quotedText(text::cp1251ToUtf8(h.name)) + "\n";
  std::snprintf(buf, sizeof buf, "Attributes: 0x%04X%s\n", h.attributes, (h.attributes & 1) ? " (resource)" : "");
  s += buf;
  s += "Version: " + std::to_string(h.version) + "\n";
  s += "Creation date: " + std::to_string(h.creationDate) + " (" + palmTimeText(h.creationDate) + " UTC)\n";
  s += "Modification date: " + std::to_string(h.modificationDate) + " (" + palmTimeText(h.modificationDate) +
       " UTC)\n";
  s += "Type: " + quotedText(text::cp1251ToUtf8(h.type)) + "\n";
  s += "Creator: " + quotedText(text::cp1251ToUtf8(h.creator)) + "\n";
  s += "Records: " + std::to_string(h.recordCount) + "\n";
  return s;
}

std::string headerJson(const pdb::Header& h) {
  std::string s = "{";
  s += "\"name\":" + jsonString(text::cp1251ToUtf8(h.name));
  s += ",\"type\":" + jsonString(text::cp1251ToUtf8(h.type));
  s += ",\"creator\":" + jsonString(text::cp1251ToUtf8(h.creator));
  s += ",\"attributes\":" + std::to_string(h.attributes);
  s += ",\"version\":" + std::to_string(h.version);
  s += ",\"creationDate\":" + std::to_string(h.creationDate);
  s += ",\"modificationDate\":" + std::to_string(h.modificationDate);
  s += ",\"recordCount\":" + std::to_string(h.recordCount);
  return s;
}

std::string rowJson(const std::vector<FieldValue>& fields) {
  std::string s = "{";
  for (std::size_t k = 0; k < fields.size(); ++k) {
    if (k) s += ",";
    s += jsonString(fields[k].column->name) + ":" + jsonValue(fields[k]);
  }
  return s + "}";
}

}  // namespace

int dump(const std::string& path, bool json, std::FILE* out, std::FILE* err) {
  // First walk: the header, and whether the file is whole, before anything is printed.
  pdb::Header header;
  try {
    header = pdb::inspectPdb(path, [](const pdb::RecordInfo&, const std::uint8_t*) {});
  } catch (const pdb::FormatError& e) {
    write(err, path + ": damaged file: " + e.what() + "\n");
    return 1;
  } catch (const std::exception& e) {
    write(err, path + ": " + e.what() + "\n");
    return 2;
  }

  const int table = (header.attributes & 1) ? -1 : tableOf(header.name);
  std::unique_ptr<RecordDecoder> decoder;
  if (table >= 0) {
    try {
      decoder = std::make_unique<RecordDecoder>(table);
    } catch (const std::exception& e) {
      write(err, std::string("cannot open a store to decode the records: ") + e.what() + "\n");
      return 2;
    }
  }

  int status = 0;
  std::vector<std::pair<int, std::string>> decodeErrors;
  try {
    if (!json) {
      write(out, headerText(header));
      int index = 0;
      pdb::inspectPdb(path, [&](const pdb::RecordInfo& info, const std::uint8_t* data) {
        std::string s = recordLine(index, info);
        if (decoder) {
          try {
            for (const FieldValue& f : decoder->decode(data, info.length)) {
              s += "  " + f.column->name + ": " + plainValue(f) + "\n";
            }
          } catch (const std::exception& e) {
            s += std::string("  error: ") + e.what() + "\n";
            decodeErrors.emplace_back(index, e.what());
          }
        } else {
          s += "  data: " + hexBytes(data, info.length) + "\n";
        }
        write(out, s);
        ++index;
      });
    } else {
      write(out, headerJson(header));
      write(out, ",\"records\":[");
      int index = 0;
      pdb::inspectPdb(path, [&](const pdb::RecordInfo& info, const std::uint8_t* data) {
        std::string s = index ? "," : "";
        s += "{\"offset\":" + std::to_string(info.offset) + ",\"attributes\":" + std::to_string(info.attributes) +
             ",\"uniqueId\":" + std::to_string(info.uniqueId) + ",\"length\":" + std::to_string(info.length) +
             ",\"hex\":\"" + hexBytes(data, info.length) + "\"}";
        write(out, s);
        ++index;
      });
      write(out, "]");
      if (decoder) {
        // Rows line up with records: a record that did not decode has null here.
        write(out, ",\"rows\":[");
        index = 0;
        pdb::inspectPdb(path, [&](const pdb::RecordInfo& info, const std::uint8_t* data) {
          std::string s = index ? "," : "";
          try {
            s += rowJson(decoder->decode(data, info.length));
          } catch (const std::exception& e) {
            s += "null";
            decodeErrors.emplace_back(index, e.what());
          }
          write(out, s);
          ++index;
        });
        write(out, "]");
        if (!decodeErrors.empty()) {
          write(out, ",\"errors\":[");
          for (std::size_t k = 0; k < decodeErrors.size(); ++k) {
            write(out, (k ? ",{\"record\":" : "{\"record\":") + std::to_string(decodeErrors[k].first) +
                           ",\"message\":" + jsonString(decodeErrors[k].second) + "}");
          }
          write(out, "]");
        }
      }
      write(out, "}\n");
    }
  } catch (const std::exception& e) {
    // The file changed between the walks.
    write(out, "\n");
    write(err, path + ": damaged file: " + e.what() + "\n");
    return 1;
  }
  for (const auto& [index, message] : decodeErrors) {
    write(err, path + ": record " + std::to_string(index) + ": " + message + "\n");
    status = 1;
  }
  return status;
}

}  // namespace quillet::cli

namespace quillet::cli {

int runDump(const Args& args) {
  std::optional<std::string> file;
  bool json = false;
  bool optionsEnded = false;
  for (const std::string& a : args) {
    if (!optionsEnded && a == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && a == "--json") {
      if (json) return usageError("--json given twice");
      json = true;
    } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
      return usageError("unknown option '" + a + "' for dump");
    } else {
      if (file) return usageError("more than one file given");
      file = a;
    }
  }
  if (!file || file->empty()) return usageError("no file given");
  return dump(*file, json, stdout, stderr);
}

}  // namespace quillet::cli
