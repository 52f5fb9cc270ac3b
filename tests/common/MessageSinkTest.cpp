#include "common/MessageSink.h"
#include "support/MessageRecorder.h"

#include <gtest/gtest.h>

namespace vorn {

TEST(MessageSinkTest, RecorderSeesMessagesAndRestoresTheDefaultSink) {
    MessageSink* before = &Messages();
    {
        test::MessageRecorder recorder;
        recorder.answers.push_back(MessageAnswer::Yes);
        ShowMessage("VRON", "first", MessageIcon::Stop);
        EXPECT_EQ(Messages().Show("VORN", "second?", MessageIcon::Question, MessageButtons::YesNo),
                  MessageAnswer::Yes);
        EXPECT_EQ(Messages().Show("VORN", "third?", MessageIcon::Question, MessageButtons::YesNo),
                  MessageAnswer::No);
        ASSERT_EQ(recorder.messages.size(), 3u);
        EXPECT_EQ(recorder.messages[0].caption, "VRON");
        EXPECT_EQ(recorder.messages[0].icon, MessageIcon::Stop);
        {
            WaitCursor outer;
            WaitCursor inner;
            EXPECT_EQ(recorder.waitDepth, 2);
        }
        EXPECT_EQ(recorder.waitDepth, 0);
    }
    EXPECT_EQ(&Messages(), before);
}

}  // namespace vorn
