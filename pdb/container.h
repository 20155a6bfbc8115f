#pragma once
// Palm database files (".pdb"): the reader hands every record to a per-table function,
// the writer builds a file from a length pass and a data pass. Knows nothing of tables.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quillet::pdb {

// A damaged file or record; the text says what is wrong.
class FormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr std::uint32_t kHeaderSize = 78;
inline constexpr std::uint32_t kRecordBufferSize = 32768;
inline constexpr int kMaxWriteRecords = 65535;

// Bytes of one record and its length; the bytes belong to the reader and are released
// as soon as the function returns.
using OnRecord = std::function<void(const std::uint8_t* data, std::uint32_t length)>;
using RecordSize = std::function<std::uint32_t(int index)>;
using RecordData = std::function<const std::uint8_t*(int index)>;

// A record longer than this is taken for damage: the handheld's records are far smaller,
// and the reader allocates each record's bytes at their full length.
inline constexpr std::uint32_t kMaxRecordLength = 65535;

// 0 once the file has been walked, -1 when it cannot be opened for reading (missing, not a
// regular file, unreadable). A damaged container raises FormatError after the records
// before the damage were delivered: a file shorter than its header or its record list, a
// count of 32768 or more, data offsets into the header or list, past the end of the file
// or below the one before, a record longer than kMaxRecordLength. A resource database is
// checked the same way and delivers no record. An error raised by onRecord ends the walk
// and passes through unchanged. One record is held at a time.
int importPdb(const char* path, const OnRecord& onRecord);

// The same walk over a whole file's bytes in memory; always 0 (or an error as above).
int importPdbMemory(const std::uint8_t* data, std::size_t size, const OnRecord& onRecord);

// Why the last importPdb that returned -1 could not open its file: "no such file", "is a
// folder", "permission denied", "not a regular file" or the system's text.
const std::string& openFailureReason();

// Index of the record importPdb is delivering, -1 outside a walk; the record layouts name
// it in their error texts.
int currentRecordIndex();

// Writes the file under a temporary name in the same folder (".<name>.XXXXXX", private,
// locked while written), syncs it and renames it into place when complete, so a good file
// is never replaced by a half-written one; such temporary files that an interrupted run
// left for the same name are removed first. 0 when written
// (and, with installUser, handed to the install service and deleted), -1 when it cannot
// be created (no temporary file can be made there, or the path names a folder). recordSize is called for every index in ascending order, then recordData.
// Errors from the per-table functions pass through; the temporary file is then removed.
// More than kMaxWriteRecords records raise FormatError before anything is created or any
// per-table function is called (the header's count has 16 bits). A name longer than 31
// bytes is cut to 31; type and creator give their first 4 bytes (zero-padded when shorter).
// A record length over kMaxRecordLength or beyond the file's 32-bit offsets, or one that
// reaches past the end of recordBuffer when recordData returns it, raises FormatError. A failed write or
// rename raises std::runtime_error with the system's text. An empty installUser counts as none.
int exportPdb(const char* path, const char* name, const char* type, const char* creator, int nrecords,
              const RecordSize& recordSize, const RecordData& recordData, const char* installUser);

// The install hand-off: the exchange connects it to the sync software's install service.
// The file is deleted after the handler returns. Without a handler, exportPdb with an
// install user raises std::runtime_error and keeps the file; an error from the handler
// passes through and keeps the file as well.
using InstallHandler = std::function<void(const std::string& user, const std::string& path)>;
void setInstallHandler(InstallHandler handler);

// The shared buffer in which the record layouts assemble one record for the writer.
extern std::uint8_t recordBuffer[kRecordBufferSize];

// What a file holds, for inspection (the command-line companion's dump).
struct Header {
  std::string name;  // bytes up to the first NUL of the 32-byte field
  std::uint16_t attributes = 0;
  std::uint16_t version = 0;
  std::uint32_t creationDate = 0;      // seconds since 1904
  std::uint32_t modificationDate = 0;  // seconds since 1904
  std::uint32_t lastBackupDate = 0;
  std::uint32_t modificationNumber = 0;
  std::uint32_t appInfoOffset = 0;
  std::uint32_t sortInfoOffset = 0;
  std::string type;     // 4 bytes
  std::string creator;  // 4 bytes
  std::uint32_t uniqueIdSeed = 0;
  std::uint32_t nextRecordList = 0;
  std::uint16_t recordCount = 0;
};

struct RecordInfo {
  std::uint32_t offset = 0;
  std::uint8_t attributes = 0;
  std::uint32_t uniqueId = 0;  // 24 bits
  std::uint32_t length = 0;
};

// Reads the header and walks the records like importPdb, telling each record's entry and
// bytes (none for a resource database). Raises FormatError for a damaged file and
// std::runtime_error when it cannot be opened. A damaged file's header is not returned,
// but the records before the damage have been told.
Header inspectPdb(const std::string& path,
                  const std::function<void(const RecordInfo&, const std::uint8_t*)>& onRecord);
// The same, filling `header` as soon as it has been read, so that a damaged file's header
// can still be shown.
void inspectPdb(const std::string& path, Header& header,
                const std::function<void(const RecordInfo&, const std::uint8_t*)>& onRecord);

}  // namespace quillet::pdb
