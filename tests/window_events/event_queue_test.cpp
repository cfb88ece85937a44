// The queue both windows' loops take their events from. It needs only the
// toolkit's main loop, not a display: idle tasks stand in for the toolkit's
// work (an X event handled, a control's callback run).
#include <gtest/gtest.h>

#include <gtk/gtk.h>

#include "window_events/event_queue.h"

namespace window_events_test {
namespace {

using window_events::ClickKind;
using window_events::EventKind;
using window_events::EventQueue;
using window_events::WindowEvent;

// An idle task that posts a control's event on its `PostOnRun`th run (never
// when 0) and goes once it has run `Runs` times.
struct PostingTask {
    EventQueue* Queue = nullptr;
    int Control = 0;
    int PostOnRun = 0;
    int LastRun = 1;
    int Runs = 0;

    void Install() { g_idle_add(&PostingTask::Run, this); }

    static gboolean Run(gpointer self) {
        PostingTask& task = *static_cast<PostingTask*>(self);
        ++task.Runs;
        if (task.Runs == task.PostOnRun) task.Queue->PostControlEvent(task.Control, ClickKind::RightClick);
        return task.Runs < task.LastRun ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
    }
};

// Each test's queue. Should a wait block when it ought to return, the watch
// posts a close request after a while, so the test fails instead of hanging.
class EventQueueTest : public ::testing::Test {
  protected:
    static constexpr guint WatchSeconds = 20;

    void SetUp() override { Watch = g_timeout_add_seconds(WatchSeconds, &EventQueueTest::Expire, &Queue); }
    void TearDown() override { g_source_remove(Watch); }

    static gboolean Expire(gpointer queue) {
        ADD_FAILURE() << "a wait went on for " << WatchSeconds << " s";
        static_cast<EventQueue*>(queue)->PostCloseRequest();
        return G_SOURCE_CONTINUE;
    }

    EventQueue Queue;
    guint Watch = 0;
};

void ExpectControl(const WindowEvent& event, int control, ClickKind click) {
    EXPECT_EQ(event.Kind, EventKind::Control);
    EXPECT_EQ(event.Control, control);
    EXPECT_EQ(event.Click, click);
}

TEST_F(EventQueueTest, HandsOutEventsInTheOrderTheyWerePostedWithoutRunningTheToolkit) {
    EXPECT_TRUE(Queue.Empty());
    Queue.PostControlEvent(12, ClickKind::DoubleClick);
    Queue.PostCloseRequest();
    Queue.PostControlEvent(7);
    EXPECT_FALSE(Queue.Empty());
    // Work the toolkit has waiting must stay waiting while events are queued:
    // they came first.
    PostingTask pending{&Queue, 99, 1};
    pending.Install();

    ExpectControl(Queue.WaitEvent(), 12, ClickKind::DoubleClick);
    EXPECT_EQ(Queue.WaitForEvent().Kind, EventKind::CloseRequest);
    ExpectControl(Queue.WaitEvent(), 7, ClickKind::LeftClick);
    EXPECT_TRUE(Queue.Empty());
    EXPECT_EQ(pending.Runs, 0);

    EventQueue::DoPendingWork();
    EXPECT_EQ(pending.Runs, 1);
    ExpectControl(Queue.WaitEvent(), 99, ClickKind::RightClick);
}

TEST_F(EventQueueTest, WaitEventReturnsAfterOnePieceOfToolkitWork) {
    PostingTask silent{&Queue, 5, 0, 2};
    silent.Install();
    EXPECT_EQ(Queue.WaitEvent().Kind, EventKind::NoEvent) << "work that reported nothing";
    EXPECT_EQ(silent.Runs, 1);
    EXPECT_EQ(Queue.WaitEvent().Kind, EventKind::NoEvent);
    EXPECT_EQ(silent.Runs, 2);

    PostingTask reporting{&Queue, 5, 2, 2};
    reporting.Install();
    EXPECT_EQ(Queue.WaitEvent().Kind, EventKind::NoEvent);
    ExpectControl(Queue.WaitEvent(), 5, ClickKind::RightClick);
    EXPECT_EQ(reporting.Runs, 2);
    EXPECT_TRUE(Queue.Empty());
}

TEST_F(EventQueueTest, WaitForEventLetsTheToolkitWorkUntilSomethingIsPosted) {
    PostingTask late{&Queue, 3, 4, 6};
    late.Install();
    ExpectControl(Queue.WaitForEvent(), 3, ClickKind::RightClick);
    EXPECT_EQ(late.Runs, 4) << "the wait ends with the work that posted";
    EventQueue::DoPendingWork();
    EXPECT_EQ(late.Runs, 6);
    EXPECT_TRUE(Queue.Empty());
}

TEST_F(EventQueueTest, DoPendingWorkRunsEverythingWaitingAndKeepsWhatWasPosted) {
    PostingTask first{&Queue, 1, 1};
    PostingTask second{&Queue, 2, 3, 3};
    first.Install();
    second.Install();
    EventQueue::DoPendingWork();
    EXPECT_EQ(first.Runs, 1);
    EXPECT_EQ(second.Runs, 3);
    // With nothing left to do it returns at once rather than waiting.
    EventQueue::DoPendingWork();

    ExpectControl(Queue.WaitEvent(), 1, ClickKind::RightClick);
    ExpectControl(Queue.WaitEvent(), 2, ClickKind::RightClick);
    EXPECT_TRUE(Queue.Empty());
}

}  // namespace
}  // namespace window_events_test
