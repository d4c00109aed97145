// pieces: threads
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "threads/thread_object.h"

namespace {

std::atomic<int> created{0}, destroyed{0};
const char kKey = 0, kOtherKey = 0;

void* Create() {
    ++created;
    return new int(0);
}
void Destroy(void* p) {
    ++destroyed;
    delete static_cast<int*>(p);
}
int& Counter(const void* key) { return *static_cast<int*>(platform::ThreadObject(key, Create, Destroy)); }

}  // namespace

TEST(ThreadObject, OnePerThreadAndKeyFreedWhenTheThreadEnds) {
    ++Counter(&kKey);
    ++Counter(&kKey);
    EXPECT_EQ(Counter(&kKey), 2);
    EXPECT_EQ(Counter(&kOtherKey), 0);
    const int before = created, gone = destroyed;
    int seen = -1;
    std::thread t([&] {
        ++Counter(&kKey);
        seen = Counter(&kKey);
    });
    t.join();
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(created - before, 1);
    EXPECT_EQ(destroyed - gone, 1);
    EXPECT_EQ(Counter(&kKey), 2);
}

TEST(ThreadObject, FailedCreationIsRetried) {
    static const char key = 0;
    EXPECT_EQ(platform::ThreadObject(
                  &key, [] { return static_cast<void*>(nullptr); }, Destroy),
              nullptr);
    EXPECT_NE(platform::ThreadObject(&key, Create, Destroy), nullptr);
}
