#include <windows.h>

#include <wincred.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_credential_store.h"

namespace {

// A target of the test's own, so the program's stays untouched.
constexpr char kTarget[] = "OrvCalendar/sync-test";

TEST(Win32CredentialStore, RoundTripOverwriteRemove) {
    Win32CredentialStore store;
    store.Remove(kTarget);
    std::string user = "left";
    std::string password = "over";
    EXPECT_FALSE(store.Read(kTarget, user, password));
    EXPECT_TRUE(store.Remove(kTarget));  // nothing stored before or after

    const struct {
        std::string user;
        std::string password;
    } writes[] = {
        {"anna", "s3cret"},
        {"anna@example.org", std::string("p\xC3\xA4ss w:rd\0tail", 16)},  // UTF-8 bytes and a zero kept
        {"", ""},
    };
    for (const auto& w : writes) {
        ASSERT_TRUE(store.Write(kTarget, w.user, w.password)) << w.user;
        ASSERT_TRUE(store.Read(kTarget, user, password)) << w.user;
        EXPECT_EQ(user, w.user);
        EXPECT_EQ(password, w.password);
    }
    EXPECT_FALSE(store.Read(std::string(kTarget) + "-other", user, password));

    // The blob's limit: the longest password is kept whole, a longer one refused.
    const std::string longest(CRED_MAX_CREDENTIAL_BLOB_SIZE, 'p');
    ASSERT_TRUE(store.Write(kTarget, "anna", longest));
    ASSERT_TRUE(store.Read(kTarget, user, password));
    EXPECT_EQ(password, longest);
    EXPECT_FALSE(store.Write(kTarget, "anna", longest + "p"));
    ASSERT_TRUE(store.Read(kTarget, user, password));
    EXPECT_EQ(password, longest);

    EXPECT_TRUE(store.Remove(kTarget));
    EXPECT_FALSE(store.Read(kTarget, user, password));
}

}  // namespace
