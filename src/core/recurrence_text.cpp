#include "core/recurrence_text.h"

#include <cstddef>
#include <string_view>

#include "core/schedule_item.h"

namespace {

// Stored values outside the tables read as an empty name rather than out of bounds.
template <std::size_t N>
std::string_view NameAt(const std::array<std::string, N>& table, int index) {
    return index >= 0 && index < static_cast<int>(N) ? std::string_view(table[static_cast<std::size_t>(index)])
                                                     : std::string_view();
}

const char* Ordinal(int nth) {
    static const char* const kOrdinals[] = {"1st", "2nd", "3rd", "4th", "last"};
    return nth >= 0 && nth < 5 ? kOrdinals[nth] : "";
}

std::string Unit(int interval, const char* single, const char* plural) {
    if (interval < 2) return single;
    return std::to_string(interval) + " " + plural;
}

}  // namespace

void DescribeRecurrence(std::uint8_t recurKind, std::uint16_t recurPattern, std::uint8_t recurInterval,
                        std::string& text, const LocaleNames& names) {
    const int interval = recurInterval;
    const int low = recurPattern & 0xFF;
    const int month = recurPattern >> 8;
    const int nth = low >> 4;
    const int weekday = low & 15;

    if (recurKind >= 150) return;  // never written; the caller keeps its text
    switch (ClassifyKind(recurKind)) {
        case RecurClass::None:
            text = "No Recurrence";
            break;
        case RecurClass::Daily:
            text = interval < 2 ? std::string("Everyday") : "Every " + std::to_string(interval) + " days";
            break;
        case RecurClass::Weekly:
            text = interval < 2 ? std::string("Every") : "Every " + std::to_string(interval) + " weeks";
            for (int i = 0; i < 7; ++i) {
                if ((low & (1 << i)) != 0) text += " " + names.ShortDayNames[static_cast<std::size_t>(i)];
            }
            break;
        case RecurClass::Monthly:
            if (recurKind == kKindMonthlyNth) {
                text = std::string("The ") + Ordinal(nth) + " ";
                text.append(NameAt(names.DayNames, weekday)).append(" of every ");
            } else {
                text = "Day " + std::to_string(low) + " of every ";
            }
            text += Unit(interval, "month", "months");
            break;
        case RecurClass::Yearly:
            if (recurKind == kKindYearlyNth) {
                text = std::string("The ") + Ordinal(nth) + " ";
                text.append(NameAt(names.DayNames, weekday)).append(" of ");
                text.append(NameAt(names.MonthNames, month - 1)).append(" of every ");
            } else {
                text.assign(NameAt(names.MonthNames, month - 1)).append(" " + std::to_string(low) + " of every ");
            }
            text += Unit(interval, "year", "years");
            break;
    }
}
