#pragma once
// Whole-file advisory locks (flock) and private files beside the store.
//
// Every copy of the program locks the store file before the engine opens it and keeps the
// lock until the compacted copy has taken the store's place, so a second copy is refused
// for the whole time, including the moment between closing the engine and the rename. An
// flock belongs to its open file description: the engine closing its own descriptors never
// drops it, and a killed process loses it at once.
#include <string>

namespace quillet {

class FileLock {
 public:
  FileLock() = default;
  ~FileLock();
  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  enum class Result { Locked, Busy, NotRegular, Failed };
  // Opens the file (never blocking, not even on a FIFO) and locks it without waiting. The
  // lock is only kept when the name still names the locked file afterwards (a file renamed
  // over it in between is locked again). errorNumber tells why on Failed.
  Result acquire(const std::string& path, int* errorNumber = nullptr);
  // Takes over a descriptor that already holds its lock.
  void adopt(int fd) noexcept;
  void release() noexcept;

  bool held() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  // The locked file is the one the path names now.
  bool names(const std::string& path) const;

 private:
  int fd_ = -1;
};

// Creates a new private (0600) file "<folder>/<prefix>XXXXXX<suffix>" that holds its lock
// from creation, so a clean-up by another copy of the program never takes it for a dead
// run's leftover. Returns the descriptor (its name in path) or -1 with errno set.
int createLockedPrivateFile(const std::string& folder, const std::string& prefix, const std::string& suffix,
                            std::string& path);

// Removes files in folder named prefix + 6 characters of a temporary name + suffix that a
// dead run left: regular files of this user that nobody holds locked. accept, when given,
// looks at the first bytes (up to 16) and may refuse a file that is not one of ours.
// Returns how many were removed.
int removeDeadFiles(const std::string& folder, const std::string& prefix, const std::string& suffix,
                    bool (*accept)(const unsigned char* head, long length) = nullptr);

// Removes files in folder named prefix + 6 characters of a temporary name + suffix whose
// name without the suffix names nothing (the journal of a temporary file a dead run left).
// Returns how many were removed.
int removeOrphanedFiles(const std::string& folder, const std::string& prefix, const std::string& suffix);

// Makes every missing folder of path with mode 0700; false with errno set when one cannot be made.
bool makePrivateFolders(const std::string& path);

// fsync of a folder, so that a rename inside it survives a power cut. Errors are ignored.
void syncFolder(const std::string& folder) noexcept;

}  // namespace quillet
