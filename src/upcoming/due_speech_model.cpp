#include "upcoming/due_speech_model.h"

namespace {

// The last " (": a title may hold one of its own, the time never does.
std::size_t WhenAt(const std::string& text) {
    if (text.empty() || text.back() != ')') return std::string::npos;
    return text.rfind(" (");
}

std::string Count(long long n, const char* unit) {
    return std::to_string(n) + " " + unit + (n == 1 ? "" : "s");
}

std::string BeginsIn(Instant seconds) {
    const long long minutes = (seconds + 59) / 60;  // "in 0 minutes" would never be said
    if (minutes < 60) return "begins in " + Count(minutes, "minute");
    const long long hours = minutes / 60;
    return "begins in " + Count(hours, "hour") + (minutes % 60 == 0 ? "" : " " + Count(minutes % 60, "minute"));
}

}  // namespace

std::string DueRowTitle(const DueRow& row) {
    const std::size_t at = WhenAt(row.text);
    return at == std::string::npos ? row.text : row.text.substr(0, at);
}

std::string DueRowSpeech(const DueRow& row, Instant now) {
    const std::size_t at = WhenAt(row.text);
    if (at == std::string::npos) return row.text;
    std::string text = row.text.substr(0, at) + ", " + row.text.substr(at + 2, row.text.size() - at - 3);
    if (row.kind == kDueMissed) return text;  // its time already says so
    if (row.kind == kDueBegun || row.start <= now) return text + ", begun";
    return text + ", " + BeginsIn(row.start - now);
}
