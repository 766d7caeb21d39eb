#include "settings/RegistryKey.h"
#include "fakes/FakeRegistry.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t Access = 0x3F;

TEST(RegistryKeyTest, OwnsExactlyOneOpenKeyWhateverIsDoneWithIt) {
    FakeRegistry registry;
    registry.StoreKey(HKEY_CURRENT_USER_VALUE, "Software\\A");
    registry.StoreKey(HKEY_CURRENT_USER_VALUE, "Software\\B");
    {
        RegistryKey key(registry);
        ASSERT_EQ(REGISTRY_SUCCESS, key.Open(HKEY_CURRENT_USER_VALUE, "Software\\A", Access));
        // A second open closes the first key rather than losing it.
        ASSERT_EQ(REGISTRY_SUCCESS, key.Open(HKEY_CURRENT_USER_VALUE, "Software\\B", Access));
        EXPECT_EQ(1u, registry.OpenKeyCount());
        ASSERT_EQ(REGISTRY_SUCCESS, key.Create(HKEY_CURRENT_USER_VALUE, "Software\\C", Access));
        EXPECT_EQ(1u, registry.OpenKeyCount());

        RegistryKey moved(std::move(key));
        EXPECT_FALSE(key);
        EXPECT_TRUE(moved);
        EXPECT_EQ(1u, registry.OpenKeyCount());

        RegistryKey other(registry);
        ASSERT_EQ(REGISTRY_SUCCESS, other.Open(HKEY_CURRENT_USER_VALUE, "Software\\A", Access));
        other = std::move(moved); // closes A, takes C
        EXPECT_EQ(1u, registry.OpenKeyCount());

        // A failed open leaves nothing open.
        EXPECT_NE(REGISTRY_SUCCESS, other.Open(HKEY_CURRENT_USER_VALUE, "Software\\Gone", Access));
        EXPECT_FALSE(other);
        EXPECT_EQ(0u, registry.OpenKeyCount());
        ASSERT_EQ(REGISTRY_SUCCESS, other.Open(HKEY_CURRENT_USER_VALUE, "Software\\A", Access));
    }
    EXPECT_EQ(0u, registry.OpenKeyCount());
}

} // namespace
