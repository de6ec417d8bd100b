// Text from a phone in any script comes in as it was written and goes back
// unchanged when the event is edited here in time only.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "portable/sync_fixture.h"

namespace {

TEST(SyncText, APhonesTitleInCyrillicWithAnEmojiSurvivesAnEditInTime) {
    const std::string title = "\xD0\x92\xD1\x81\xD1\x82\xD1\x80\xD0\xB5\xD1\x87\xD0\xB0 \xF0\x9F\x99\x82";  // Встреча 🙂
    MemoryCalDav server;
    SyncDevice here{Local(2026, 12, 8, 12)};
    server.DevicePut("phone.ics", PhoneEvent("phone", title, "20261211T120000", "20261211T130000",
                                             "DESCRIPTION:\xE4\xBC\x9A\xE8\xAE\xAE\r\n"));
    EXPECT_EQ(here.Sync(server).received, 1);
    const ScheduleItem* e = here.ByTitle(title);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->note, "\xE4\xBC\x9A\xE8\xAE\xAE");
    auto moved = std::make_unique<ScheduleItem>(*e);
    moved->front.startTime += 3600;
    moved->front.endTime += 3600;
    here.store.SaveEvent(moved, true, false);
    EXPECT_EQ(here.Sync(server).sent, 1);
    ASSERT_EQ(server.Resources().size(), 1u);
    const std::string& text = server.Resources().begin()->second.text;
    EXPECT_NE(text.find("\r\nSUMMARY:" + title + "\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\nDESCRIPTION:\xE4\xBC\x9A\xE8\xAE\xAE\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("DTSTART:20261211T130000"), std::string::npos) << text;
}

}  // namespace
