#include "interop/ics_reader.h"

#include "interop/ics_text.h"

namespace {

bool IsNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

std::string LineText(std::size_t line, std::string_view what) {
    return "Line " + std::to_string(line) + " " + std::string(what);
}

// name *(";" param) ":" value, with quoted parameter values that may hold
// the separators.
bool ParseContentLine(std::string_view text, IcsProperty& out) {
    std::size_t i = 0;
    while (i < text.size() && IsNameChar(text[i])) ++i;
    if (i == 0) return false;
    out.name = UpperAscii(text.substr(0, i));
    while (i < text.size() && text[i] == ';') {
        const std::size_t nameStart = ++i;
        while (i < text.size() && IsNameChar(text[i])) ++i;
        if (i == nameStart || i == text.size() || text[i] != '=') return false;
        IcsParam param;
        param.name = UpperAscii(text.substr(nameStart, i - nameStart));
        do {
            ++i;  // past '=' or ','
            std::string value;
            if (i < text.size() && text[i] == '"') {
                const std::size_t close = text.find('"', i + 1);
                if (close == std::string_view::npos) return false;
                value = text.substr(i + 1, close - i - 1);
                i = close + 1;
            } else {
                const std::size_t start = i;
                while (i < text.size() && text[i] != ';' && text[i] != ':' && text[i] != ',') ++i;
                value = text.substr(start, i - start);
            }
            param.values.push_back(std::move(value));
        } while (i < text.size() && text[i] == ',');
        out.params.push_back(std::move(param));
    }
    if (i == text.size() || text[i] != ':') return false;
    out.value = text.substr(i + 1);
    return true;
}

// Content lines after unfolding: a line that starts with a space or a tab
// continues the one before. Lines end in CR LF; a bare LF is taken too.
class LineSource {
public:
    explicit LineSource(std::string_view text) : text_(text) {}

    // False at the end of the text.
    bool Next(std::string& line, std::size_t& number, std::size_t maxBytes, bool& tooLong) {
        line.clear();
        tooLong = false;
        if (pos_ >= text_.size()) return false;
        number = physical_ + 1;
        bool first = true;
        while (pos_ < text_.size()) {
            if (!first && text_[pos_] != ' ' && text_[pos_] != '\t') break;
            std::size_t end = text_.find('\n', pos_);
            if (end == std::string_view::npos) end = text_.size();
            std::string_view piece = text_.substr(pos_, end - pos_);
            if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
            if (!first) piece.remove_prefix(1);
            if (line.size() + piece.size() > maxBytes) {
                tooLong = true;
                return true;
            }
            line.append(piece);
            pos_ = end + 1;
            ++physical_;
            first = false;
        }
        return true;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t physical_ = 0;
};

// Where a component may stand; unknown (X-, IANA) components go anywhere
// below a calendar.
bool Allowed(const std::string& name, const std::string& parent) {
    if (name == "VCALENDAR") return parent.empty();
    if (parent.empty()) return false;
    if (name == "VEVENT" || name == "VTODO" || name == "VJOURNAL" || name == "VFREEBUSY" || name == "VTIMEZONE")
        return parent == "VCALENDAR";
    if (name == "VALARM") return parent == "VEVENT" || parent == "VTODO";
    if (name == "STANDARD" || name == "DAYLIGHT") return parent == "VTIMEZONE";
    return true;
}

}  // namespace

IcsReadResult ReadIcs(std::string_view text, const IcsLimits& limits) {
    IcsReadResult result;
    auto fail = [&result](std::string message) {
        result.calendars.clear();
        result.error = std::move(message);
        return std::move(result);
    };
    if (text.size() > limits.maxBytes)
        return fail("The file is larger than " + std::to_string(limits.maxBytes >> 20) + " MB.");
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);

    LineSource source(text);
    std::vector<IcsComponent> open;  // the components begun and not yet ended
    std::size_t components = 0;
    bool sawCalendar = false;
    std::string line;
    std::size_t number = 0;
    bool tooLong = false;
    while (source.Next(line, number, limits.maxLineBytes, tooLong)) {
        if (tooLong)
            return fail(LineText(number, "is longer than " + std::to_string(limits.maxLineBytes >> 10) + " KB."));
        if (line.empty()) continue;
        if (!IsValidUtf8(line)) return fail(LineText(number, "is not valid UTF-8 text."));
        IcsProperty property;
        if (!ParseContentLine(line, property)) {
            if (!sawCalendar) return fail("This is not an iCalendar file.");
            return fail(LineText(number, "is not an iCalendar content line."));
        }
        property.line = number;
        if (!sawCalendar && !(property.name == "BEGIN" && UpperAscii(property.value) == "VCALENDAR"))
            return fail("This is not an iCalendar file.");
        sawCalendar = true;
        if (property.name == "BEGIN") {
            const std::string name = UpperAscii(property.value);
            const std::string parent = open.empty() ? std::string() : open.back().name;
            if (name.empty()) return fail(LineText(number, "begins a component without a name."));
            if (static_cast<int>(open.size()) >= limits.maxDepth)
                return fail(LineText(number, "nests components too deeply."));
            if (!Allowed(name, parent))
                return fail(LineText(number, "puts " + name + (parent.empty() ? " outside a calendar." : " inside " + parent + ".")));
            if (++components > limits.maxComponents)
                return fail("The file holds more than " + std::to_string(limits.maxComponents) + " components.");
            open.push_back(IcsComponent{name, {}, {}});
        } else if (property.name == "END") {
            const std::string name = UpperAscii(property.value);
            if (name.empty()) return fail(LineText(number, "ends a component without a name."));
            if (open.empty() || open.back().name != name)
                return fail(LineText(number, "ends " + name + (open.empty() ? ", which was not begun." : " inside " + open.back().name + ".")));
            IcsComponent done = std::move(open.back());
            open.pop_back();
            if (open.empty()) result.calendars.push_back(std::move(done));
            else open.back().components.push_back(std::move(done));
        } else {
            if (open.empty()) return fail(LineText(number, "stands outside the calendar."));
            open.back().properties.push_back(std::move(property));
        }
    }
    if (!sawCalendar) return fail("This is not an iCalendar file.");
    if (!open.empty()) return fail("The file ends inside " + open.back().name + ": it is incomplete.");
    return result;
}
