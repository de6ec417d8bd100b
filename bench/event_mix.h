#pragma once
// A store's worth of events resembling real use, shared by the benchmarks:
// mostly one-off and weekly events, some daily, monthly and yearly ones, a few
// with longer intervals and half of the recurring ones without end, starting
// over `months` months from (year, firstMonth) and kept in order of their time
// of day, as the store keeps them.
#include <iterator>
#include <memory>
#include <random>
#include <string>

#include "core/calendar.h"
#include "core/schedule_item.h"
#include "store/store_links.h"

inline EventList MakeEventMix(int count, int year, int firstMonth, int months, unsigned seed = 361) {
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const std::uint8_t kinds[] = {1, 1, 1, 1, 30, 30, 60, 60, 60, 90, 91, 120, 121};
    EventList events;
    for (int i = 0; i < count; ++i) {
        auto item = std::make_unique<ScheduleItem>();
        ScheduleFront& f = item->front;
        f.id = static_cast<std::uint32_t>(i + 1);
        f.recurKind = kinds[i % std::size(kinds)];
        f.recurInterval = static_cast<std::uint8_t>(pick(0, 3) == 0 ? pick(2, 4) : 1);
        const Instant startDay = MakeLocalTime(year, firstMonth + pick(0, months - 1), pick(1, 28), 0, 0, 0);
        f.startDate = static_cast<std::int32_t>(startDay);
        f.startTime = pick(6 * 4, 22 * 4) * 900;
        f.endTime = f.startTime + 3600;
        const int nth = pick(0, 4) << 4 | pick(0, 6);
        switch (ClassifyKind(f.recurKind)) {
            case RecurClass::Weekly:
                f.recurPattern = static_cast<std::uint16_t>(pick(1, 127));
                break;
            case RecurClass::Monthly:
                f.recurPattern = static_cast<std::uint16_t>(f.recurKind == kKindMonthlyNth ? nth : pick(1, 31));
                break;
            case RecurClass::Yearly:
                f.recurPattern =
                    static_cast<std::uint16_t>(pick(1, 12) << 8 | (f.recurKind == kKindYearlyNth ? nth : pick(1, 31)));
                break;
            default:
                break;
        }
        f.recurFlags = static_cast<std::uint8_t>(IsRecurring(f.recurKind) && pick(0, 1) == 0 ? 1 : 0);
        const int days = IsRecurring(f.recurKind) ? pick(30, 400) : pick(0, 3);
        f.endDate = static_cast<std::int32_t>(EndOfDay(startDay + days * kSecondsPerDay));
        item->title = "Event " + std::to_string(i + 1);
        item->actions = kActionPlaySound;
        item->remindMinutes = static_cast<std::int16_t>(pick(0, 60));
        item->soundfile = "chime.wav";
        auto pos = events.begin();
        while (pos != events.end() && (*pos)->front.startTime <= f.startTime) ++pos;
        events.insert(pos, std::move(item));
    }
    return events;
}
