// TMutex: named mutexes shared by two objects, locking against another thread,
// time-outs, and a mutex whose owner ended without releasing it.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "engine/support/mutex.h"
#include "rtl/exceptions.h"

namespace {

AnsiString uniqueName(const char* what) {
    return AnsiString("nimbora-test-" + std::to_string(GetCurrentProcessId()) + "-" + what);
}

// Holds the named mutex on another thread until `release` is set.
class Holder {
public:
    explicit Holder(const AnsiString& name) {
        HANDLE taken = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this, name, taken] {
            TMutex mutex(name);
            mutex.Lock();
            SetEvent(taken);
            WaitForSingleObject(release_, INFINITE);
            mutex.Unlock();
        });
        WaitForSingleObject(taken, INFINITE);
        CloseHandle(taken);
    }
    ~Holder() {
        SetEvent(release_);
        thread_.join();
        CloseHandle(release_);
    }

private:
    HANDLE release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread thread_;
};

}  // namespace

TEST(Mutex, SecondObjectOfANameFindsTheFirst) {
    AnsiString name = uniqueName("existed");
    TMutex first(name);
    EXPECT_FALSE(first.Existed());
    EXPECT_EQ(first.Name(), name);
    EXPECT_EQ(first.Timeout(), 10000u);
    TMutex second(name);
    EXPECT_TRUE(second.Existed());
    EXPECT_NE(first.Handle(), second.Handle());
}

TEST(Mutex, LockTryLockAndUnlockOnOneThread) {
    TMutex mutex(uniqueName("one-thread"));
    mutex.Lock();
    EXPECT_TRUE(mutex.TryLock());  // a thread may take its own mutex again
    EXPECT_TRUE(mutex.Unlock());
    EXPECT_TRUE(mutex.Unlock());
    EXPECT_FALSE(mutex.Unlock());  // no longer owned
}

TEST(Mutex, TryLockTimesOutWhileAnotherThreadHoldsIt) {
    AnsiString name = uniqueName("held");
    TMutex mutex(name);
    {
        Holder holder(name);
        mutex.setTimeout(50);
        EXPECT_FALSE(mutex.TryLock());
        EXPECT_FALSE(mutex.Unlock());
    }
    EXPECT_TRUE(mutex.TryLock());
    EXPECT_TRUE(mutex.Unlock());
}

TEST(Mutex, AbandonedMutexIsTakenOver) {
    AnsiString name = uniqueName("abandoned");
    TMutex mutex(name);
    std::thread([name] {
        TMutex mine(name);
        mine.Lock();  // and the thread ends without releasing it
    }).join();
    mutex.setTimeout(1000);
    EXPECT_TRUE(mutex.TryLock());
    EXPECT_TRUE(mutex.Unlock());

    std::thread([name] { TMutex(name).Lock(); }).join();
    mutex.Lock();
    EXPECT_TRUE(mutex.Unlock());
}

TEST(Mutex, NameOfAnotherKindOfObjectRaises) {
    AnsiString name = uniqueName("event");
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, name.c_str());
    ASSERT_NE(event, nullptr);
    EXPECT_THROW(TMutex{name}, EOSError);
    CloseHandle(event);
}
