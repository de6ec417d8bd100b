#include <gtest/gtest.h>

#include "platform/memory/faulty_registry.h"
#include "platform/memory/memory_registry.h"
#include "portable/registry_contract.h"

namespace {

struct MemoryHive {
    MemoryRegistry memory;
    Registry& registry() { return memory; }
    ~MemoryHive() { EXPECT_EQ(memory.OpenHandleCount(), 0u) << "a key was left open"; }
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Memory, RegistryContract, MemoryHive);

namespace {

TEST(RegKeyTest, ClosesOnceAndMovesOwnership) {
    MemoryRegistry memory;
    {
        RegKey a = RegKey::Create(memory, "Orv", RegAccess::All);
        RegKey b = RegKey::Create(memory, "Orv\\B", RegAccess::All);
        EXPECT_EQ(memory.OpenHandleCount(), 2u);
        RegKey moved = std::move(a);
        EXPECT_FALSE(a);
        EXPECT_TRUE(moved);
        moved = std::move(b);  // closes what it held
        EXPECT_EQ(memory.OpenHandleCount(), 1u);
        RegKey none;
        EXPECT_FALSE(RegKey::Create(none, "X", RegAccess::All));
        EXPECT_FALSE(none.WriteDword("n", 1));
    }
    EXPECT_EQ(memory.OpenHandleCount(), 0u);
}

TEST(FaultyRegistryTest, FailsTheNthCallOfAKindAndNamedOnes) {
    MemoryRegistry memory;
    FaultyRegistry faulty(memory);
    RegKey key = RegKey::Create(faulty, "Orv", RegAccess::All);
    ASSERT_TRUE(key);

    faulty.FailNth(RegOp::Write, 2);
    EXPECT_TRUE(key.WriteDword("a", 1));
    EXPECT_FALSE(key.WriteDword("b", 2));
    EXPECT_TRUE(key.WriteDword("c", 3));  // only the second one
    std::uint32_t n = 0;
    EXPECT_FALSE(key.ReadDword("b", n));

    faulty.FailNth(RegOp::Open, 1);
    EXPECT_FALSE(RegKey::Create(faulty, "Orv", RegAccess::All));
    EXPECT_TRUE(RegKey::Create(faulty, "Orv", RegAccess::All));

    faulty.FailName(RegOp::Read, "A");
    EXPECT_FALSE(key.ReadDword("a", n));
    EXPECT_TRUE(key.ReadDword("c", n));
    faulty.FailName(RegOp::Open, "sc");
    EXPECT_FALSE(RegKey::Create(faulty, "Orv\\sc\\1", RegAccess::All));
    EXPECT_TRUE(RegKey::Create(faulty, "Orv\\scx", RegAccess::All));
    faulty.Heal();
    EXPECT_TRUE(key.ReadDword("a", n));
    EXPECT_EQ(faulty.Calls(RegOp::Write), 3u);
}

}  // namespace
