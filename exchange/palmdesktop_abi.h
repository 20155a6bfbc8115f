#pragma once
// The C entry points of the sync software's two libraries, as this program calls them.
// The loader resolves them by these names; the stand-in libraries export them with these
// signatures. Sizes are passed by address as 16-bit values; results other than the user
// count are not looked at.
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// UserData.dll, the user manager.
int16_t UmGetUserCount(void);
int32_t UmGetUserID(int16_t index, uint32_t* id);
int32_t UmGetUserName(uint32_t id, char* name, uint16_t* size);
int32_t UmGetUserDirectory(uint32_t id, char* directory, uint16_t* size);
int32_t UmGetRootDirectory(char* directory, uint16_t* size);

// Instaide.dll, the install aide: queues the file for the user's next synchronisation. The
// caller may delete the file as soon as the call returns.
int32_t PltInstallFile(const char* user, const char* path);

#ifdef __cplusplus
}
#endif

namespace quillet::exchange::abi {

using UmGetUserCountFn = decltype(&::UmGetUserCount);
using UmGetUserIDFn = decltype(&::UmGetUserID);
using UmGetUserNameFn = decltype(&::UmGetUserName);
using UmGetUserDirectoryFn = decltype(&::UmGetUserDirectory);
using UmGetRootDirectoryFn = decltype(&::UmGetRootDirectory);
using PltInstallFileFn = decltype(&::PltInstallFile);

}  // namespace quillet::exchange::abi
