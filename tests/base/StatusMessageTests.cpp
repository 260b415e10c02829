#include <gtest/gtest.h>
#include "base/StatusMessage.h"
#include "gui/GApplication.h"
#include "tests/support/LiveAllocations.h"
#include "tests/support/MessageRecorder.h"

namespace {

std::unique_ptr<StatusMessage> LongMessage() {
    auto message = std::make_unique<StatusMessage>();
    message->text = WideString(100, L'x'); // a heap block of its own besides the record
    return message;
}

TEST(StatusMessage, PostedTextArrivesAndIsFreedOnce) {
    MessageRecorder recorder;
    GApplication().PostStatusText(recorder.Window(), L"Export complete.");
    ASSERT_TRUE(recorder.PumpUntil([&] { return !recorder.Records().empty(); }, 5000));
    ASSERT_EQ(recorder.Records().size(), 1u);
    EXPECT_EQ(recorder.Records()[0].code, STATUS_TEXT);
    EXPECT_EQ(recorder.Records()[0].message.text, L"Export complete.");
    EXPECT_TRUE(recorder.Records()[0].message.total.empty());
    EXPECT_EQ(recorder.PayloadsFreed(), 1);
}

TEST(StatusMessage, MessagesArriveInPostingOrder) {
    MessageRecorder recorder;
    auto counts = std::make_unique<StatusMessage>();
    counts->text = L"Percentage complete 42%";
    counts->total = L"25";
    ASSERT_TRUE(PostStatus(recorder.Window(), STATUS_COUNTS, std::move(counts)));
    ASSERT_TRUE(PostStatus(recorder.Window(), STATUS_DONE, nullptr));
    ASSERT_TRUE(recorder.PumpUntil([&] { return recorder.SawDone(); }, 5000));
    ASSERT_EQ(recorder.Records().size(), 2u);
    EXPECT_EQ(recorder.Records()[0].message.total, L"25");
    EXPECT_FALSE(recorder.Records()[1].hadPayload);
}

TEST(StatusMessage, FailedPostFreesThePayload) {
    HWND gone = nullptr;
    {
        MessageRecorder recorder;
        gone = recorder.Window();
    }
    const long before = LiveAllocations();
    const bool posted = PostStatus(gone, STATUS_TEXT, LongMessage());
    EXPECT_EQ(LiveAllocations(), before);
    EXPECT_FALSE(posted);
}

TEST(StatusMessage, QueuedPayloadsAreFreedWhenDiscarded) {
    MessageRecorder recorder;
    const long before = LiveAllocations();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(PostStatus(recorder.Window(), STATUS_TEXT, LongMessage()));
    ASSERT_TRUE(PostStatus(recorder.Window(), STATUS_DONE, nullptr));
    const long queued = LiveAllocations();
    DiscardQueuedStatus(recorder.Window());
    EXPECT_EQ(queued - before, 6) << "three records, each with its text";
    EXPECT_EQ(LiveAllocations(), before);
    recorder.PumpPending();
    EXPECT_TRUE(recorder.Records().empty());
}
} // namespace
