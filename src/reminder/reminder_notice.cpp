#include "reminder/reminder_notice.h"

#include "platform/text_codec.h"

namespace {

// Cut with an ellipsis rather than mid-word without a sign; the tray's
// fields count UTF-16 units, and no character is cut in two.
std::string Fit(std::string text, std::size_t length) {
    if (Utf16Length(text) <= length) return text;
    return std::string(CutUtf8(text, length - 3)) + "...";
}

std::string FirstLine(const std::string& note) {
    const std::size_t end = note.find_first_of("\r\n");
    return end == std::string::npos ? note : note.substr(0, end);
}

}  // namespace

NoticeText MakeNoticeText(const std::vector<NoticeEntry>& entries, bool missed,
                          const std::function<std::string(Instant start, bool withDate)>& startText) {
    NoticeText out;
    if (entries.empty()) return out;
    if (entries.size() == 1) {
        const NoticeEntry& e = entries.front();
        out.title = missed ? "Missed: " + e.title : e.title;
        out.text = startText(e.start, missed);
        const std::string note = FirstLine(e.note);
        if (!note.empty()) out.text.append("\n").append(note);
    } else {
        out.title = std::to_string(entries.size()) + (missed ? " missed events: " : " events: ");
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (i > 0) out.title += ", ";
            out.title += entries[i].title;
        }
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (i > 0) out.text += "\n";
            out.text.append(startText(entries[i].start, missed)).append(" ").append(entries[i].title);
        }
    }
    out.title = Fit(out.title, kNoticeTitleLength);
    out.text = Fit(out.text, kNoticeTextLength);
    return out;
}
