// pieces: ole
#include <gtest/gtest.h>

#include <cstring>

#include "ole/ole.h"

// What the decoder hands out must be the system's own strings and arrays, so
// that callers free them with oleaut32.
TEST(OleWindows, StringsAndArraysAreTheSystems) {
    const char bytes[] = {'a', 0, 'b'};
    BSTR s = platform::AllocStringByteLen(bytes, 3);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SysStringByteLen(s), 3u);
    EXPECT_EQ(std::memcmp(s, bytes, 3), 0);
    SysFreeString(s);

    SAFEARRAY* a = platform::CreateByteVector(0, 5);
    ASSERT_NE(a, nullptr);
    VARTYPE type = VT_EMPTY;
    EXPECT_EQ(SafeArrayGetVartype(a, &type), S_OK);
    EXPECT_EQ(type, VT_UI1);
    int32_t upper = -1;
    EXPECT_EQ(platform::GetUBound(a, 1, &upper), platform::kOleOk);
    EXPECT_EQ(upper, 4);
    void* data = nullptr;
    ASSERT_EQ(platform::AccessData(a, &data), platform::kOleOk);
    EXPECT_EQ(SafeArrayDestroy(a), platform::kOleArrayLocked);
    EXPECT_EQ(platform::UnaccessData(a), platform::kOleOk);
    EXPECT_EQ(SafeArrayDestroy(a), S_OK);
}
