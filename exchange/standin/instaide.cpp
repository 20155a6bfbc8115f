// The stand-in install aide, Instaide.dll: a file handed over for a user is copied into
// the folder "Install" below that user's folder (made when missing), where the next
// synchronisation would pick it up. Each file queued is noted in install.log beside the
// library: the user's name, a tab, the path handed over.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "exchange/palmdesktop_abi.h"
#include "exchange/standin/users.h"

namespace {

bool makeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) == 0) return true;
  struct stat st {};
  return errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool writeAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Copies under a temporary name, then renames into place: a reader never sees half a file.
bool copyFile(const std::string& from, const std::string& folder, const std::string& name) {
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  std::string temp = folder + "/." + name + ".XXXXXX";
  const int out = ::mkstemp(temp.data());
  if (out < 0) {
    ::close(in);
    return false;
  }
  bool ok = true;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(in, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    if (!writeAll(out, buffer, static_cast<std::size_t>(n))) {
      ok = false;
      break;
    }
  }
  ok = ::fchmod(out, 0644) == 0 && ok;
  ok = (::close(out) == 0) && ok;
  ::close(in);
  ok = ok && ::rename(temp.c_str(), (folder + "/" + name).c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

}  // namespace

extern "C" int32_t PltInstallFile(const char* user, const char* path) {
  if (!user || !path) return -1;
  const std::string root =
      quillet::standin::libraryFolder(reinterpret_cast<const void*>(&PltInstallFile));
  if (root.empty()) return -1;
  for (const quillet::standin::User& u : quillet::standin::readUsers(root)) {
    if (u.name != user) continue;
    const std::string source = path;
    const auto slash = source.rfind('/');
    const std::string name = slash == std::string::npos ? source : source.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") return -1;
    std::string userFolder = root + "/" + u.folder;
    if (!makeFolder(userFolder)) return -1;
    const std::string install = userFolder + "/Install";
    if (!makeFolder(install)) return -1;
    if (!copyFile(source, install, name)) return -1;
    if (std::FILE* log = std::fopen((root + "/install.log").c_str(), "ab")) {
      std::fprintf(log, "%s\t%s\n", user, path);
      std::fclose(log);
    }
    return 0;
  }
  return -1;
}
