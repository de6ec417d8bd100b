#include <windows.h>

#include "portable/registry_contract.h"
#include "win32/scratch_hive.h"

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, RegistryContract, ScratchHive);

namespace {

TEST(ScratchHiveTest, RedirectsTheUserHiveAndCleansUp) {
    std::string path;
    {
        ScratchHive hive;
        path = hive.Path();
        ASSERT_TRUE(RegKey::Create(hive.registry(), "SOFTWARE\\OrvCalendar\\User\\Default_Id\\sc\\1", RegAccess::All)
                        .WriteDword("n", 1));
        HKEY seen = nullptr;
        // From outside the redirection the key lies below the scratch key.
        hive.Restore();
        const std::string real = path + "\\SOFTWARE\\OrvCalendar\\User\\Default_Id\\sc\\1";
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, real.c_str(), 0, KEY_READ, &seen), ERROR_SUCCESS);
        RegCloseKey(seen);
    }
    HKEY gone = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &gone), ERROR_SUCCESS);
}

}  // namespace
