#include "upcoming/due_speech_model.h"

#include <gtest/gtest.h>

namespace {

DueRow Row(std::uint8_t kind, const char* text, Instant start) {
    DueRow row;
    row.kind = kind;
    row.text = text;
    row.start = start;
    return row;
}

TEST(DueSpeech, RowsSayTitleTimeAndState) {
    constexpr Instant now = 1'000'000;
    struct Case {
        DueRow row;
        const char* title;
        const char* speech;
    };
    const Case cases[] = {
        {Row(kDueUpcoming, "Dentist (9:00 AM)", now + 25 * 60), "Dentist", "Dentist, 9:00 AM, begins in 25 minutes"},
        {Row(kDueReminded, "Dentist (9:00 AM)", now + 30), "Dentist", "Dentist, 9:00 AM, begins in 1 minute"},
        {Row(kDueUpcoming, "Call (14:30)", now + 2 * 3600), "Call", "Call, 14:30, begins in 2 hours"},
        {Row(kDueUpcoming, "Call (14:30)", now + 3600 + 5 * 60), "Call", "Call, 14:30, begins in 1 hour 5 minutes"},
        {Row(kDueBegun, "Standup (10:00 AM)", now - 60), "Standup", "Standup, 10:00 AM, begun"},
        // Listed before its start, read after it.
        {Row(kDueReminded, "Standup (10:00 AM)", now), "Standup", "Standup, 10:00 AM, begun"},
        {Row(kDueMissed, "Review (12/8/2026 9:00 AM, missed)", now - 86400), "Review",
         "Review, 12/8/2026 9:00 AM, missed"},
        // A title with brackets of its own keeps them.
        {Row(kDueUpcoming, "Lunch (with Ann) (12:00)", now + 600), "Lunch (with Ann)",
         "Lunch (with Ann), 12:00, begins in 10 minutes"},
        {Row(kDueUpcoming, kNoUpcomingText, 0), kNoUpcomingText, kNoUpcomingText},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DueRowTitle(c.row), c.title) << c.row.text;
        EXPECT_EQ(DueRowSpeech(c.row, now), c.speech) << c.row.text;
    }
}

}  // namespace
