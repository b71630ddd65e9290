// The gate between the scan worker and the user-interface thread: calls run on the owner's
// thread while the worker waits, and a shut gate lets a waiting worker go without running it.
#include "ui_gate.h"
#include "wait.h"

#include <QObject>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace tamsel::discovery::test {
namespace {

using shell::test::waitFor;

TEST(UiGate, RunsEachCallOnTheOwnersThreadWhileTheWorkerWaits) {
    QObject owner;
    TUiGate gate(owner);
    std::atomic<int> returned{0};
    QThread* ranOn = nullptr;
    int calls = 0;
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i) {
            const bool ran = gate.run([&] {
                ranOn = QThread::currentThread();
                ++calls;
            });
            // The call has run by the time the worker goes on.
            EXPECT_TRUE(ran);
            EXPECT_EQ(calls, i + 1);
            ++returned;
        }
    });
    EXPECT_TRUE(waitFor([&] { return returned == 3; }));
    worker.join();
    EXPECT_EQ(ranOn, QThread::currentThread());
    EXPECT_EQ(calls, 3);
}

TEST(UiGate, ShutLetsAWaitingWorkerGoAndRefusesLaterCalls) {
    QObject owner;
    TUiGate gate(owner);
    std::atomic<bool> waiting{false};
    std::atomic<bool> ran{false};
    std::atomic<int> refusals{0};
    std::thread worker([&] {
        waiting = true;
        // Nobody turns the owner's loop: only the shut ends this wait.
        if (!gate.run([&] { ran = true; })) {
            ++refusals;
        }
        if (!gate.run([&] { ran = true; })) {
            ++refusals;
        }
    });
    while (!waiting) {
        std::this_thread::yield();
    }
    gate.shut();
    worker.join();
    EXPECT_EQ(refusals, 2);
    // The queued call that was posted before the shut finds the gate shut and does nothing.
    shell::test::pump(50);
    EXPECT_FALSE(ran);
    EXPECT_TRUE(gate.isShut());
}

} // namespace
} // namespace tamsel::discovery::test
