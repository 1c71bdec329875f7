// The host's run loop, which an editor on Linux lives on: readable
// descriptors and due timers reach their handlers on the loop's thread, and
// a handler unregistered in a turn is not called later in it.
#include "vst3host/plug_frame.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <functional>
#include <vector>

using namespace std::chrono_literals;

namespace
{
// An editor's handlers: each call counted and followed by `then`.
class Handler : public vst3host::HostObject<vst3::Linux::IEventHandler, vst3::Linux::ITimerHandler>
{
public:
    void onFDIsSet(vst3::Linux::FileDescriptor fd) override
    {
        descriptors.push_back(fd);
        if (then)
            then();
    }
    void onTimer() override
    {
        ++timers;
        if (then)
            then();
    }

    std::vector<int> descriptors;
    int timers = 0;
    std::function<void()> then;
};

struct Pipe
{
    Pipe() { EXPECT_EQ(pipe(ends), 0); }
    ~Pipe()
    {
        close(ends[0]);
        close(ends[1]);
    }
    void fill() { EXPECT_EQ(write(ends[1], "x", 1), 1); }
    int ends[2] = {-1, -1};
};
}  // namespace

TEST(Vst3HostRunLoop, ReadableDescriptorsAndDueTimersReachTheirHandlersUntilUnregistered)
{
    const auto loop = vst3host::makeHostObject<vst3host::RunLoop>();
    const auto frame = vst3host::makeHostObject<vst3host::PlugFrame>(loop);
    const auto asked = vst3host::queryInterface<vst3::Linux::IRunLoop>(frame.get());
    ASSERT_EQ(asked.get(), loop.get()) << "the frame does not lead to its run loop";

    const auto reader = vst3host::makeHostObject<Handler>();
    const auto timer = vst3host::makeHostObject<Handler>();
    Pipe pipe;
    ASSERT_EQ(loop->registerEventHandler(reader.get(), pipe.ends[0]), vst3::kResultOk);
    ASSERT_EQ(loop->registerTimer(timer.get(), 5), vst3::kResultOk);
    EXPECT_EQ(reader->referenceCount(), 2u) << "a registration holds its handler";

    ASSERT_TRUE(loop->runUntil([&] { return timer->timers >= 3; }, 10s)) << "the timer does not repeat";
    EXPECT_TRUE(reader->descriptors.empty()) << "called for a descriptor with nothing to read";
    pipe.fill();
    ASSERT_TRUE(loop->runUntil([&] { return !reader->descriptors.empty(); }, 10s));
    EXPECT_EQ(reader->descriptors.front(), pipe.ends[0]);

    // The reader, called first, unregisters the timer due in the same turn.
    reader->then = [&] { loop->unregisterTimer(timer.get()); };
    std::this_thread::sleep_for(10ms);
    const int timersBefore = timer->timers;
    loop->runOnce(0ms);
    EXPECT_EQ(timer->timers, timersBefore);
    EXPECT_EQ(loop->timerCount(), 0u);
    EXPECT_EQ(timer->referenceCount(), 1u);
    EXPECT_EQ(loop->unregisterEventHandler(reader.get()), vst3::kResultOk);
    EXPECT_EQ(loop->descriptors(), std::vector<int>{});
    EXPECT_EQ(loop->dropRegistrations(), 0u);
}
