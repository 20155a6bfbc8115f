#include "pdb/container.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <utility>

#include "store/filelock.h"

namespace quillet::pdb {

alignas(16) std::uint8_t recordBuffer[kRecordBufferSize];

namespace {

constexpr std::uint32_t kRecordEntrySize = 8;
constexpr std::uint32_t kResourceEntrySize = 10;
constexpr std::uint32_t kMaxReadRecords = 32767;  // the reader's count is signed 16-bit
constexpr std::uint32_t kSecondsFrom1904To1970 = 2082844800u;
constexpr std::size_t kOutputBufferSize = 1u << 20;
constexpr std::size_t kInputBufferSize = 1u << 18;

std::uint16_t be16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }
std::uint32_t be32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}
void putBe16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v >> 8);
  p[1] = static_cast<std::uint8_t>(v);
}
void putBe32(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v >> 24);
  p[1] = static_cast<std::uint8_t>(v >> 16);
  p[2] = static_cast<std::uint8_t>(v >> 8);
  p[3] = static_cast<std::uint8_t>(v);
}

std::string systemText(int err) { return std::strerror(err); }

// ---------------------------------------------------------------- reading

// Where the reader takes its bytes from: an open file or a buffer.
class Source {
 public:
  virtual ~Source() = default;
  virtual std::uint64_t size() const = 0;
  // Exactly n bytes at offset (which lies inside the file with the n bytes).
  virtual void read(std::uint64_t offset, std::uint8_t* out, std::size_t n) = 0;
};

class MemorySource : public Source {
 public:
  MemorySource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint64_t size() const override { return size_; }
  void read(std::uint64_t offset, std::uint8_t* out, std::size_t n) override {
    if (n) std::memcpy(out, data_ + offset, n);
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

std::string g_openFailure;

// Why a path cannot be read, in the words the import shows under its error text.
std::string openFailureText(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      return "no such file";
    case EACCES:
    case EPERM:
      return "permission denied";
    case EISDIR:
      return "is a folder";
    case ELOOP:
      return "not a regular file (a loop of symbolic links)";
    default:
      return systemText(err);
  }
}

// The reader's stream buffer, kept from one file to the next (one file is read at a time;
// a walk started inside another gets a buffer of its own).
char* g_inputBuffer = nullptr;
bool g_inputBufferInUse = false;

class FileSource : public Source {
 public:
  // False when the path cannot be opened as a regular file for reading; openFailure()
  // then says why. Anything but a regular file (a FIFO, a device) is refused before it is
  // opened, and the file is opened without waiting, so nothing can hang the reader.
  bool open(const char* path) {
    if (!path) return refuse("no file name");
    struct stat st {};
    if (::stat(path, &st) != 0) return refuse(openFailureText(errno));
    if (S_ISDIR(st.st_mode)) return refuse("is a folder");
    if (!S_ISREG(st.st_mode)) return refuse("not a regular file");
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return refuse(openFailureText(errno));
    // The name may have been given to something else since it was looked at.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      return refuse("not a regular file");
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    file_ = ::fdopen(fd, "rb");
    if (!file_) {
      const int e = errno;
      ::close(fd);
      return refuse(systemText(e));
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
    char* buffer = nullptr;
    if (!g_inputBufferInUse) {
      if (!g_inputBuffer) g_inputBuffer = new char[kInputBufferSize];
      g_inputBufferInUse = ownsShared_ = true;
      buffer = g_inputBuffer;
    } else {
      own_.reset(new char[kInputBufferSize]);
      buffer = own_.get();
    }
    std::setvbuf(file_, buffer, _IOFBF, kInputBufferSize);
    return true;
  }
  ~FileSource() override {
    if (file_) std::fclose(file_);  // before the buffer it uses goes
    if (ownsShared_) g_inputBufferInUse = false;
  }
  const std::string& openFailure() const { return failure_; }

  std::uint64_t size() const override { return size_; }
  void read(std::uint64_t offset, std::uint8_t* out, std::size_t n) override {
    // Records follow one another, so the stream is mostly read straight on without seeking.
    if (offset != position_) {
      if (::fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) fail(offset, errno);
      position_ = offset;
    }
    std::size_t got = n ? std::fread(out, 1, n, file_) : 0;
    position_ += got;
    if (got != n) fail(offset, std::ferror(file_) ? errno : 0);
  }

 private:
  [[noreturn]] void fail(std::uint64_t offset, int err) {
    position_ = UINT64_MAX;  // unknown now
    throw FormatError("the file could not be read at byte " + std::to_string(offset) +
                      (err ? ": " + systemText(err) : std::string(": it is shorter than it was")));
  }

  bool refuse(std::string why) {
    failure_ = std::move(why);
    return false;
  }

  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> own_;
  bool ownsShared_ = false;
  std::string failure_;
  std::uint64_t size_ = 0;
  std::uint64_t position_ = 0;
};

int g_currentRecord = -1;

class CurrentRecord {
 public:
  explicit CurrentRecord(int index) : saved_(g_currentRecord) { g_currentRecord = index; }
  ~CurrentRecord() { g_currentRecord = saved_; }
  CurrentRecord(const CurrentRecord&) = delete;
  CurrentRecord& operator=(const CurrentRecord&) = delete;

 private:
  int saved_;
};

using Deliver = std::function<void(const RecordInfo&, const std::uint8_t*)>;

Header parseHeader(const std::uint8_t* h) {
  Header header;
  const auto* nameEnd = static_cast<const std::uint8_t*>(std::memchr(h, 0, 32));
  header.name.assign(reinterpret_cast<const char*>(h), nameEnd ? static_cast<std::size_t>(nameEnd - h) : 32);
  header.attributes = be16(h + 32);
  header.version = be16(h + 34);
  header.creationDate = be32(h + 36);
  header.modificationDate = be32(h + 40);
  header.lastBackupDate = be32(h + 44);
  header.modificationNumber = be32(h + 48);
  header.appInfoOffset = be32(h + 52);
  header.sortInfoOffset = be32(h + 56);
  header.type.assign(reinterpret_cast<const char*>(h + 60), 4);
  header.creator.assign(reinterpret_cast<const char*>(h + 64), 4);
  header.uniqueIdSeed = be32(h + 68);
  header.nextRecordList = be32(h + 72);
  header.recordCount = be16(h + 76);
  return header;
}

// Reads the header and list, checks every entry before its record is fetched and delivers
// the records one at a time, each in a buffer of exactly its length.
void walk(Source& source, Header& header, const Deliver& deliver) {
  const std::uint64_t fileSize = source.size();
  if (fileSize < kHeaderSize) {
    throw FormatError("the file is " + std::to_string(fileSize) + " bytes, shorter than its " +
                      std::to_string(kHeaderSize) + "-byte header");
  }
  std::uint8_t raw[kHeaderSize];
  source.read(0, raw, kHeaderSize);
  header = parseHeader(raw);

  const std::uint32_t count = header.recordCount;
  const bool isResource = (header.attributes & 0x0001) != 0;
  const char* kind = isResource ? "resource" : "record";
  if (count > kMaxReadRecords) {
    throw FormatError("the header counts " + std::to_string(count) + " " + kind + "s, more than the " +
                      std::to_string(kMaxReadRecords) + " that can be read");
  }
  const std::uint32_t entrySize = isResource ? kResourceEntrySize : kRecordEntrySize;
  const std::uint64_t listEnd = kHeaderSize + std::uint64_t{count} * entrySize;
  if (fileSize < listEnd) {
    throw FormatError("the file is " + std::to_string(fileSize) + " bytes, shorter than its header and list of " +
                      std::to_string(count) + " " + kind + "s (" + std::to_string(listEnd) + " bytes)");
  }
  // count is at most 32767 and the list lies inside the file: a checked, bounded size.
  std::vector<std::uint8_t> list(static_cast<std::size_t>(count) * entrySize);
  if (!list.empty()) source.read(kHeaderSize, list.data(), list.size());

  auto entryOffset = [&](std::uint32_t i) -> std::uint64_t {
    const std::uint8_t* e = list.data() + std::size_t{i} * entrySize;
    return isResource ? be32(e + 6) : be32(e);
  };
  auto label = [&](std::uint32_t i) { return std::string(kind) + " " + std::to_string(i); };

  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint64_t offset = entryOffset(i);
    if (offset < listEnd) {
      throw FormatError(label(i) + " starts at byte " + std::to_string(offset) + ", inside the header and list (" +
                        std::to_string(listEnd) + " bytes)");
    }
    if (offset > fileSize) {
      throw FormatError(label(i) + " starts at byte " + std::to_string(offset) + ", past the end of the " +
                        std::to_string(fileSize) + "-byte file");
    }
    std::uint64_t next = fileSize;  // the last record runs to the end of the file
    if (i + 1 < count) {
      next = entryOffset(i + 1);
      if (next < offset) {
        throw FormatError(label(i + 1) + " starts at byte " + std::to_string(next) + ", before " + label(i) +
                          " at byte " + std::to_string(offset));
      }
      if (next > fileSize) {
        throw FormatError(label(i + 1) + " starts at byte " + std::to_string(next) + ", past the end of the " +
                          std::to_string(fileSize) + "-byte file");
      }
    }
    const std::uint64_t length = next - offset;
    if (length > kMaxRecordLength) {
      throw FormatError(label(i) + " is " + std::to_string(length) + " bytes, longer than the " +
                        std::to_string(kMaxRecordLength) + " a record can have");
    }
    if (isResource) continue;  // resources are checked, never delivered

    const std::uint8_t* e = list.data() + std::size_t{i} * entrySize;
    RecordInfo info;
    info.offset = static_cast<std::uint32_t>(offset);
    info.attributes = e[4];
    info.uniqueId = be32(e + 4) & 0x00FFFFFFu;
    info.length = static_cast<std::uint32_t>(length);

    // Exactly the record's length, so that a decoder reading past it is caught by the
    // memory checkers rather than reading a neighbour's bytes.
    std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[info.length ? info.length : 1]);
    source.read(offset, bytes.get(), info.length);
    CurrentRecord current(static_cast<int>(i));
    deliver(info, bytes.get());
  }
}

Deliver forRecords(const OnRecord& onRecord) {
  return [&onRecord](const RecordInfo& info, const std::uint8_t* data) { onRecord(data, info.length); };
}

// ---------------------------------------------------------------- writing

// The writer's output buffer, kept from one file to the next (the writer is not re-entrant).
std::vector<std::uint8_t>& outputBuffer() {
  static std::vector<std::uint8_t> buffer;
  return buffer;
}

// The file being written: a temporary file beside the target, buffered, synced and renamed
// into place by commit() and removed on every other way out. The temporary file is locked
// while it lives, so that the clean-up of an export's leftovers (files of a killed run)
// never takes a file another program is writing.
class OutputFile {
 public:
  OutputFile() : buffer_(outputBuffer()) { buffer_.clear(); }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_ && !tempPath_.empty()) ::unlink(tempPath_.c_str());
    buffer_.clear();
  }

  // False when no file can be created for the path.
  bool create(const std::string& path) {
    struct stat st {};
    bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) return false;
    mode_t mode;
    if (exists) {
      mode = st.st_mode & 07777;
    } else {
      mode_t mask = ::umask(0);
      ::umask(mask);
      mode = 0666 & ~mask;
    }
    std::string::size_type slash = path.rfind('/');
    folder_ = slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string prefix = "." + base + ".";
    removeDeadFiles(folder_, prefix, "");
    std::string temp;
    fd_ = createLockedPrivateFile(folder_, prefix, "", temp);
    if (fd_ < 0) return false;
    tempPath_ = temp;
    finalPath_ = path;
    mode_ = mode;
    if (buffer_.capacity() < kOutputBufferSize) buffer_.reserve(kOutputBufferSize);
    return true;
  }

  void write(const std::uint8_t* data, std::size_t n) {
    if (buffer_.size() + n > kOutputBufferSize) flush();
    if (n >= kOutputBufferSize) {
      writeAll(data, n);
    } else {
      buffer_.insert(buffer_.end(), data, data + n);
    }
  }

  void commit() {
    flush();
    // On disk before it takes the old file's place, so a power cut leaves one or the other.
    if (::fsync(fd_) != 0) fail("writing", errno);
    ::fchmod(fd_, mode_);  // private while written, the file's own mode once complete
    int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0) fail("writing", errno);
    if (::rename(tempPath_.c_str(), finalPath_.c_str()) != 0) fail("renaming the finished file to", errno);
    committed_ = true;
    syncFolder(folder_);
  }

 private:
  void flush() {
    if (!buffer_.empty()) writeAll(buffer_.data(), buffer_.size());
    buffer_.clear();
  }
  void writeAll(const std::uint8_t* data, std::size_t n) {
    while (n > 0) {
      ssize_t w = ::write(fd_, data, n);
      if (w < 0) {
        if (errno == EINTR) continue;
        fail("writing", errno);
      }
      data += w;
      n -= static_cast<std::size_t>(w);
    }
  }
  [[noreturn]] void fail(const char* what, int err) const {
    throw std::runtime_error(std::string(what) + " " + finalPath_ + " failed: " + systemText(err));
  }

  int fd_ = -1;
  mode_t mode_ = 0600;
  bool committed_ = false;
  std::string folder_;
  std::string tempPath_;
  std::string finalPath_;
  std::vector<std::uint8_t>& buffer_;
};

std::uint32_t recordSizes[kMaxWriteRecords];
bool g_exporting = false;
InstallHandler g_installHandler;

class ExportGuard {
 public:
  ExportGuard() {
    if (g_exporting) throw std::logic_error("exportPdb is not re-entrant");
    g_exporting = true;
  }
  ~ExportGuard() { g_exporting = false; }
  ExportGuard(const ExportGuard&) = delete;
  ExportGuard& operator=(const ExportGuard&) = delete;
};

void copyCode(std::uint8_t* out, const char* code) {
  std::size_t n = code ? ::strnlen(code, 4) : 0;
  std::memset(out, 0, 4);
  if (n) std::memcpy(out, code, n);
}

}  // namespace

int currentRecordIndex() { return g_currentRecord; }

const std::string& openFailureReason() { return g_openFailure; }

int importPdb(const char* path, const OnRecord& onRecord) {
  FileSource source;
  g_openFailure.clear();
  if (!source.open(path)) {
    g_openFailure = source.openFailure();
    return -1;
  }
  Header header;
  walk(source, header, forRecords(onRecord));
  return 0;
}

int importPdbMemory(const std::uint8_t* data, std::size_t size, const OnRecord& onRecord) {
  MemorySource source(data, data ? size : 0);
  Header header;
  walk(source, header, forRecords(onRecord));
  return 0;
}

void inspectPdb(const std::string& path, Header& header,
                const std::function<void(const RecordInfo&, const std::uint8_t*)>& onRecord) {
  FileSource source;
  if (!source.open(path.c_str()))
    throw std::runtime_error("cannot open " + path + " for reading: " + source.openFailure());
  walk(source, header, onRecord);
}

Header inspectPdb(const std::string& path,
                  const std::function<void(const RecordInfo&, const std::uint8_t*)>& onRecord) {
  Header header;
  inspectPdb(path, header, onRecord);
  return header;
}

void setInstallHandler(InstallHandler handler) { g_installHandler = std::move(handler); }

int exportPdb(const char* path, const char* name, const char* type, const char* creator, int nrecords,
              const RecordSize& recordSize, const RecordData& recordData, const char* installUser) {
  ExportGuard guard;
  if (nrecords > kMaxWriteRecords) {
    throw FormatError(std::to_string(nrecords) + " records are more than the " + std::to_string(kMaxWriteRecords) +
                      " a handheld file can hold");
  }
  const std::uint32_t count = nrecords > 0 ? static_cast<std::uint32_t>(nrecords) : 0;
  if (!path) return -1;
  OutputFile out;
  if (!out.create(path)) return -1;

  // Header: one time stamp for both dates, seconds since 1904.
  std::uint8_t header[kHeaderSize] = {};
  if (name) std::memcpy(header, name, ::strnlen(name, 31));  // at least one NUL stays in the 32 bytes
  const auto stamp = static_cast<std::uint32_t>(static_cast<std::uint64_t>(std::time(nullptr)) + kSecondsFrom1904To1970);
  putBe32(header + 36, stamp);
  putBe32(header + 40, stamp);
  copyCode(header + 60, type);
  copyCode(header + 64, creator);
  putBe16(header + 76, count);
  out.write(header, kHeaderSize);

  // Record list from the length pass.
  std::uint64_t offset = kHeaderSize + std::uint64_t{kRecordEntrySize} * count + 2;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t size = recordSize(static_cast<int>(i));
    if (size > kMaxRecordLength) {
      throw FormatError("record " + std::to_string(i) + " would be " + std::to_string(size) +
                        " bytes, longer than the " + std::to_string(kMaxRecordLength) + " a record can have");
    }
    if (offset + size > UINT32_MAX) throw FormatError("the file would outgrow the 32-bit offsets of its record list");
    recordSizes[i] = size;
    std::uint8_t entry[kRecordEntrySize];
    putBe32(entry, static_cast<std::uint32_t>(offset));
    putBe32(entry + 4, i);
    out.write(entry, sizeof entry);
    offset += size;
  }
  const std::uint8_t gap[2] = {0, 0};
  out.write(gap, sizeof gap);

  // Record data from the data pass.
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint8_t* data = recordData(static_cast<int>(i));
    const std::uint32_t size = recordSizes[i];
    if (size == 0) continue;
    if (!data) throw FormatError("record " + std::to_string(i) + " has no bytes");
    const auto at = reinterpret_cast<std::uintptr_t>(data);
    const auto bufferBegin = reinterpret_cast<std::uintptr_t>(recordBuffer);
    const auto bufferEnd = bufferBegin + kRecordBufferSize;
    if (at >= bufferBegin && at < bufferEnd && size > bufferEnd - at) {
      throw FormatError("record " + std::to_string(i) + " of " + std::to_string(size) +
                        " bytes reaches past the end of the record buffer");
    }
    out.write(data, size);
  }
  out.commit();

  if (installUser && *installUser) {
    // The file is only deleted once it has been handed over: without an install service,
    // or when the service fails, it stays where it was written.
    if (!g_installHandler) {
      throw std::runtime_error(std::string("there is no install service to hand the file to; it stays at ") + path);
    }
    g_installHandler(installUser, path);
    std::remove(path);
  }
  return 0;
}

}  // namespace quillet::pdb
