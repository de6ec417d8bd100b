#include "store/registry_paths.h"

RegKey OpenUserKey(Registry& registry, RegAccess access) {
    const RegKey users = RegKey::Create(registry, kUserKeyPath, access);
    return RegKey::Create(users, kUserId, access);
}
