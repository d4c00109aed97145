// pieces: threads
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "threads/thread_object.h"

namespace {

std::atomic<int> created{0}, destroyed{0};
const char kKey = 0;

void* Create() {
    ++created;
    return new int(0);
}
void Destroy(void* p) {
    ++destroyed;
    delete static_cast<int*>(p);
}
int& Counter() { return *static_cast<int*>(platform::ThreadObject(&kKey, Create, Destroy)); }

}  // namespace

// A DLL's DllMain calls the release on thread detach; here the thread does.
TEST(ThreadObjectWindows, OnePerThreadReleasedOnDetach) {
    ASSERT_TRUE(platform::AttachThreadObjects());
    ++Counter();
    const int before = created, gone = destroyed;
    int seen = -1;
    std::thread t([&] {
        ++Counter();
        seen = Counter();
        platform::ReleaseThreadObjects();
        platform::ReleaseThreadObjects();  // a second detach finds nothing
    });
    t.join();
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(created - before, 1);
    EXPECT_EQ(destroyed - gone, 1);
    EXPECT_EQ(Counter(), 1);

    platform::DetachThreadObjects();
    EXPECT_EQ(destroyed - gone, 2);
    EXPECT_EQ(Counter(), 0);  // a fresh slot after the library's unload and reload
    platform::ReleaseThreadObjects();
}
