// The stand-in user manager, UserData.dll: its users come from users.tsv beside it.
#include "exchange/palmdesktop_abi.h"
#include "exchange/standin/users.h"

namespace {

using quillet::standin::User;

std::string root() { return quillet::standin::libraryFolder(reinterpret_cast<const void*>(&UmGetUserCount)); }

std::vector<User> users() { return quillet::standin::readUsers(root()); }

const User* byId(const std::vector<User>& list, std::uint32_t id) {
  for (const User& u : list)
    if (u.id == id) return &u;
  return nullptr;
}

}  // namespace

extern "C" {

int16_t UmGetUserCount(void) {
  const std::size_t n = users().size();
  return static_cast<int16_t>(n > 32767 ? 32767 : n);
}

int32_t UmGetUserID(int16_t index, uint32_t* id) {
  const std::vector<User> list = users();
  if (!id || index < 0 || static_cast<std::size_t>(index) >= list.size()) return -1;
  *id = list[static_cast<std::size_t>(index)].id;
  return 0;
}

int32_t UmGetUserName(uint32_t id, char* name, uint16_t* size) {
  const std::vector<User> list = users();
  const User* u = byId(list, id);
  return u ? quillet::standin::copyOut(u->name, name, size) : -1;
}

int32_t UmGetUserDirectory(uint32_t id, char* directory, uint16_t* size) {
  const std::vector<User> list = users();
  const User* u = byId(list, id);
  return u ? quillet::standin::copyOut(u->folder, directory, size) : -1;
}

// Ends in its separator, as the sync software's root folder does, so that root and user folder
// side by side name the user's folder.
int32_t UmGetRootDirectory(char* directory, uint16_t* size) {
  std::string folder = root();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return quillet::standin::copyOut(folder, directory, size);
}

}  // extern "C"
