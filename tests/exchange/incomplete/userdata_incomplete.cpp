// A user manager that lacks UmGetRootDirectory: it loads, but must count as not found.
#include <cstring>

#include "exchange/palmdesktop_abi.h"

extern "C" {

int16_t UmGetUserCount(void) { return 1; }

int32_t UmGetUserID(int16_t, uint32_t* id) {
  *id = 7;
  return 0;
}

int32_t UmGetUserName(uint32_t, char* name, uint16_t*) {
  std::strcpy(name, "Incomplete");
  return 0;
}

int32_t UmGetUserDirectory(uint32_t, char* directory, uint16_t*) {
  std::strcpy(directory, "incomplete");
  return 0;
}

}  // extern "C"
