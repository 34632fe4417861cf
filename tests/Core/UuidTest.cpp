#include "Core/Uuid.h"

#include <gtest/gtest.h>

#include <set>

namespace kestr {
namespace {

TEST(Uuid, ParsesEitherCaseAndWritesUpperCase) {
    const auto lower = Uuid::parse("0f8e2c1a-9b3d-4e5f-a6b7-c8d9e0f1a2b3");
    const auto upper = Uuid::parse("0F8E2C1A-9B3D-4E5F-A6B7-C8D9E0F1A2B3");
    ASSERT_TRUE(lower && upper);
    EXPECT_EQ(*lower, *upper);
    EXPECT_EQ(lower->string(), "0F8E2C1A-9B3D-4E5F-A6B7-C8D9E0F1A2B3");
    EXPECT_EQ(lower->bytes[0], 0x0F);
    EXPECT_EQ(lower->bytes[15], 0xB3);
}

TEST(Uuid, RejectsEveryOtherForm) {
    for (const char* bad : {"", "0F8E2C1A9B3D4E5FA6B7C8D9E0F1A2B3", "{0F8E2C1A-9B3D-4E5F-A6B7-C8D9E0F1A2B3}",
                            "0F8E2C1A-9B3D-4E5F-A6B7-C8D9E0F1A2B", "0F8E2C1A-9B3D-4E5F-A6B7-C8D9E0F1A2B33",
                            "0F8E2C1A-9B3D-4E5F-A6B7C-8D9E0F1A2B3", "0F8E2C1G-9B3D-4E5F-A6B7-C8D9E0F1A2B3",
                            "0F8E2C1A 9B3D-4E5F-A6B7-C8D9E0F1A2B3", "+F8E2C1A-9B3D-4E5F-A6B7-C8D9E0F1A2B3"})
        EXPECT_FALSE(Uuid::parse(bad)) << bad;
}

TEST(Uuid, RandomIdentifiersAreVersionFourAndDistinct) {
    std::set<Uuid> seen;
    for (int i = 0; i < 1000; ++i) {
        const Uuid u = Uuid::random();
        EXPECT_EQ(u.bytes[6] >> 4, 4);
        EXPECT_EQ(u.bytes[8] & 0xC0, 0x80);
        EXPECT_EQ(Uuid::parse(u.string()), u);
        seen.insert(u);
    }
    EXPECT_EQ(seen.size(), 1000u);
}

}  // namespace
}  // namespace kestr
