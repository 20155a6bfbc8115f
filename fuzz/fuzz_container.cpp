// The container reader on arbitrary bytes. Each input is walked twice, from memory and
// from a file, and both walks must agree record for record and in their error. A file that
// reads without error is then written back through the writer and read again: the same
// records must come back.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "pdb/container.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace quillet::pdb;

struct Walk {
  std::vector<Bytes> records;
  std::string error;
  int result = 0;
};

// A scratch folder for the files of one run, removed at exit (never destroyed itself, so
// that the exit handler still finds it).
const std::string& scratch() {
  static const std::string* dir = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillet-fuzz-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!::mkdtemp(name.data())) std::abort();
    auto* d = new std::string(name.data());
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(scratch(), ec);
    });
    return d;
  }();
  return *dir;
}

template <typename F>
Walk walk(F&& run) {
  Walk w;
  OnRecord collect = [&w](const std::uint8_t* data, std::uint32_t length) {
    w.records.emplace_back(data, data + length);  // touches every byte the reader hands over
  };
  try {
    w.result = run(collect);
  } catch (const FormatError& e) {
    w.error = e.what();
  }
  return w;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exactly sized copy, so that any read past the input is caught.
  std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[size ? size : 1]);
  if (size) std::memcpy(exact.get(), data, size);

  const Walk fromMemory = walk([&](const OnRecord& cb) { return importPdbMemory(exact.get(), size, cb); });

  const std::string in = scratch() + "/in.pdb";
  {
    std::FILE* f = std::fopen(in.c_str(), "wb");
    if (!f) std::abort();
    if (size && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
  }
  const Walk fromFile = walk([&](const OnRecord& cb) { return importPdb(in.c_str(), cb); });
  if (fromFile.result != 0 || fromMemory.records != fromFile.records || fromMemory.error != fromFile.error) {
    std::fprintf(stderr, "file and memory walks differ: '%s' vs '%s'\n", fromFile.error.c_str(),
                 fromMemory.error.c_str());
    std::abort();
  }
  if (!fromMemory.error.empty()) return 0;

  // Written back, the same records are read again.
  const std::string out = scratch() + "/out.pdb";
  const auto& records = fromMemory.records;
  for (const auto& r : records) {
    if (r.size() > kRecordBufferSize) return 0;  // the writer's buffer holds one handheld record
  }
  const int written = exportPdb(
      out.c_str(), "QL_Fuzz", "DATA", "IDql", static_cast<int>(records.size()),
      [&](int i) { return static_cast<std::uint32_t>(records[static_cast<std::size_t>(i)].size()); },
      [&](int i) -> const std::uint8_t* {
        const Bytes& r = records[static_cast<std::size_t>(i)];
        if (!r.empty()) std::memcpy(recordBuffer, r.data(), r.size());
        return recordBuffer;
      },
      nullptr);
  if (written != 0) std::abort();
  const Walk again = walk([&](const OnRecord& cb) { return importPdb(out.c_str(), cb); });
  if (!again.error.empty() || again.records != records) {
    std::fprintf(stderr, "records changed on the way through the writer: %s\n", again.error.c_str());
    std::abort();
  }
  return 0;
}
