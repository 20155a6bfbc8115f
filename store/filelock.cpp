#include "store/filelock.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace quillet {

namespace {

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

bool namesDescriptor(int fd, const std::string& path) {
  struct stat held {}, named {};
  return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 && sameFile(held, named);
}

bool temporaryNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

bool matchesTemporaryName(const std::string& name, const std::string& prefix, const std::string& suffix) {
  if (name.size() != prefix.size() + 6 + suffix.size()) return false;
  if (name.compare(0, prefix.size(), prefix) != 0) return false;
  if (name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) return false;
  for (std::size_t i = prefix.size(); i < prefix.size() + 6; ++i)
    if (!temporaryNameChar(name[i])) return false;
  return true;
}

// The names in the folder of the temporary shape (prefix, six letters or digits, suffix);
// none when the folder cannot be read. Listed first, so that removing them cannot disturb the walk.
std::vector<std::string> temporaryNamesIn(const std::string& dirPath, const std::string& prefix,
                                          const std::string& suffix) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(dirPath.c_str());
  if (!dir) return names;
  while (const dirent* e = ::readdir(dir)) {
    if (matchesTemporaryName(e->d_name, prefix, suffix)) names.emplace_back(e->d_name);
  }
  ::closedir(dir);
  return names;
}

}  // namespace

FileLock::~FileLock() { release(); }

FileLock::FileLock(FileLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    release();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

FileLock::Result FileLock::acquire(const std::string& path, int* errorNumber) {
  release();
  // A file renamed over the name between opening and locking is locked again; a few
  // rounds settle it, since every rename is done by a holder of the lock.
  for (int attempt = 0; attempt < 16; ++attempt) {
    int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EISDIR))
      fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
      if (errorNumber) *errorNumber = errno;
      return errno == EISDIR ? Result::NotRegular : Result::Failed;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      return Result::NotRegular;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int e = errno;
      ::close(fd);
      if (e == EWOULDBLOCK) return Result::Busy;
      if (errorNumber) *errorNumber = e;
      return Result::Failed;
    }
    if (namesDescriptor(fd, path)) {
      fd_ = fd;
      return Result::Locked;
    }
    ::close(fd);
  }
  return Result::Busy;
}

void FileLock::adopt(int fd) noexcept {
  release();
  fd_ = fd;
}

void FileLock::release() noexcept {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool FileLock::names(const std::string& path) const { return fd_ >= 0 && namesDescriptor(fd_, path); }

int createLockedPrivateFile(const std::string& folder, const std::string& prefix, const std::string& suffix,
                            std::string& path) {
  const std::string base = (folder.empty() ? std::string(".") : folder) + "/" + prefix;
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::string pattern = base + "XXXXXX" + suffix;
    const int fd = ::mkostemps(pattern.data(), static_cast<int>(suffix.size()), O_CLOEXEC);  // mode 0600
    if (fd < 0) return -1;
    // Another copy's clean-up may have found the new file before it was locked; it then
    // holds the lock or has removed the name, and a fresh name is taken.
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && namesDescriptor(fd, pattern)) {
      path = pattern;
      return fd;
    }
    ::close(fd);
  }
  errno = EEXIST;
  return -1;
}

int removeDeadFiles(const std::string& folder, const std::string& prefix, const std::string& suffix,
                    bool (*accept)(const unsigned char* head, long length)) {
  const std::string dirPath = folder.empty() ? std::string(".") : folder;
  const std::vector<std::string> candidates = temporaryNamesIn(dirPath, prefix, suffix);

  int removed = 0;
  for (const std::string& name : candidates) {
    const std::string path = dirPath + "/" + name;
    struct stat named {};
    if (::lstat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode) || named.st_uid != ::geteuid()) continue;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat held {};
    bool dead = ::fstat(fd, &held) == 0 && sameFile(held, named) && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (dead && accept) {
      unsigned char head[16] = {};
      const ssize_t n = ::pread(fd, head, sizeof head, 0);
      dead = n >= 0 && accept(head, static_cast<long>(n));
    }
    if (dead && namesDescriptor(fd, path) && ::unlink(path.c_str()) == 0) ++removed;
    ::close(fd);
  }
  return removed;
}

int removeOrphanedFiles(const std::string& folder, const std::string& prefix, const std::string& suffix) {
  const std::string dirPath = folder.empty() ? std::string(".") : folder;
  const std::vector<std::string> candidates = temporaryNamesIn(dirPath, prefix, suffix);
  int removed = 0;
  for (const std::string& name : candidates) {
    const std::string path = dirPath + "/" + name;
    const std::string owner = path.substr(0, path.size() - suffix.size());
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) continue;
    if (::lstat(owner.c_str(), &st) == 0 || errno != ENOENT) continue;
    if (::unlink(path.c_str()) == 0) ++removed;
  }
  return removed;
}

bool makePrivateFolders(const std::string& path) {
  if (path.empty()) return true;
  std::string prefix;
  std::size_t pos = 0;
  while (pos <= path.size()) {
    const std::size_t slash = path.find('/', pos);
    const std::size_t end = slash == std::string::npos ? path.size() : slash;
    prefix = path.substr(0, end);
    pos = end + 1;
    if (prefix.empty() || prefix == "." || prefix == "..") continue;
    if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode)) {
    errno = ENOTDIR;
    return false;
  }
  return true;
}

void syncFolder(const std::string& folder) noexcept {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

}  // namespace quillet
