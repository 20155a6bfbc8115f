// quillet_write_folder FOLDER TRANSACTIONS [OTHER_ROWS]: the ten handheld files of a
// synthetic folder (the benchmarks' data), for the reliability campaigns.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include "tests/support/handheld_fixture.h"

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: %s FOLDER TRANSACTIONS [OTHER_ROWS]\n", argv[0]);
    return 2;
  }
  const long transactions = std::strtol(argv[2], nullptr, 10);
  const long others = argc > 3 ? std::strtol(argv[3], nullptr, 10) : 200;
  if (transactions < 0 || transactions > 32767 || others < 0 || others > 32767) {
    std::fprintf(stderr, "row counts must lie in 0..32767\n");
    return 2;
  }
  try {
    std::filesystem::create_directories(argv[1]);
    quillet::fixture::writeHandheldFolder(
        argv[1], quillet::fixture::syntheticData(static_cast<int>(transactions), static_cast<int>(others)));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
