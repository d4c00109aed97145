// pieces: ole
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "ole/ole.h"

TEST(OleString, ByteLengthPrefixDataAndTwoZeros) {
    const char bytes[] = {'a', 0, 'b'};
    BSTR s = platform::AllocStringByteLen(bytes, 3);
    ASSERT_NE(s, nullptr);
    const auto* raw = reinterpret_cast<const unsigned char*>(s);
    uint32_t prefix = 0;
    std::memcpy(&prefix, raw - 4, 4);
    EXPECT_EQ(prefix, 3u);
    EXPECT_EQ(platform::StringByteLen(s), 3u);
    EXPECT_EQ(std::memcmp(raw, bytes, 3), 0);
    EXPECT_EQ(raw[3], 0);
    EXPECT_EQ(raw[4], 0);
    // malloc-based: the block starts at the prefix and any module may free it.
    std::free(const_cast<unsigned char*>(raw) - 4);

    BSTR empty = platform::AllocStringByteLen(nullptr, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(platform::StringByteLen(empty), 0u);
    platform::FreeString(empty);
    platform::FreeString(nullptr);
    EXPECT_EQ(platform::StringByteLen(nullptr), 0u);
    EXPECT_EQ(platform::AllocStringByteLen(nullptr, 0xFFFFFFFFu), nullptr);
}

TEST(OleArray, OneDimensionalBytesWithLockCounting) {
    SAFEARRAY* a = platform::CreateByteVector(0, 5);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->cDims, 1);
    EXPECT_EQ(a->cbElements, 1u);
    int32_t lower = -1, upper = -1;
    EXPECT_EQ(platform::GetLBound(a, 1, &lower), platform::kOleOk);
    EXPECT_EQ(platform::GetUBound(a, 1, &upper), platform::kOleOk);
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(upper, 4);
    EXPECT_EQ(platform::GetUBound(a, 0, &upper), platform::kOleInvalidArgument);
    void* data = nullptr;
    ASSERT_EQ(platform::AccessData(a, &data), platform::kOleOk);
    std::memset(data, 7, 5);
    EXPECT_EQ(platform::DestroyArray(a), platform::kOleArrayLocked);
    EXPECT_EQ(platform::UnaccessData(a), platform::kOleOk);
    EXPECT_EQ(platform::UnaccessData(a), platform::kOleUnexpected);
    EXPECT_EQ(platform::DestroyArray(a), platform::kOleOk);

    SAFEARRAY* empty = platform::CreateByteVector(0, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(platform::GetUBound(empty, 1, &upper), platform::kOleOk);
    EXPECT_EQ(upper, -1);
    EXPECT_EQ(platform::DestroyArray(empty), platform::kOleOk);
    EXPECT_EQ(platform::AccessData(nullptr, &data), platform::kOleInvalidArgument);
    EXPECT_EQ(platform::DestroyArray(nullptr), platform::kOleOk);
}
