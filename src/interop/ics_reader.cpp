#include "interop/ics_reader.h"

#include <algorithm>
#include <iterator>

#include "interop/ics_text.h"
#include "platform/windows1252.h"

namespace {

bool IsNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

std::string LineText(std::size_t line, std::string_view what) {
    return "Line " + std::to_string(line) + " " + std::string(what);
}

// Free text, which a line break written as it is may continue; a date,
// a rule or an identifier never.
bool IsTextValue(const std::string& name) {
    static constexpr std::string_view kNames[] = {"SUMMARY",  "DESCRIPTION", "LOCATION",  "COMMENT",
                                                  "CONTACT",  "RESOURCES",   "CATEGORIES", "X-ALT-DESC"};
    return std::find(std::begin(kNames), std::end(kNames), name) != std::end(kNames);
}

// name *(";" param) ":" value. Quoted parameter values may hold the
// separators; an unquoted one may hold them escaped with a backslash, as
// some writers do. A parameter that cannot be read is left out: the
// property stands when its name and value can be told apart.
bool ParseContentLine(std::string_view text, IcsProperty& out) {
    std::size_t i = 0;
    while (i < text.size() && IsNameChar(text[i])) ++i;
    if (i == 0) return false;
    out.name = UpperAscii(text.substr(0, i));
    // Past the rest of a parameter that cannot be read, to the next ';' or ':'.
    auto skipParam = [&text, &i]() {
        bool quoted = false;
        while (i < text.size() && (quoted || (text[i] != ';' && text[i] != ':'))) {
            if (text[i] == '"') quoted = !quoted;
            ++i;
        }
    };
    while (i < text.size() && text[i] == ';') {
        const std::size_t nameStart = ++i;
        while (i < text.size() && IsNameChar(text[i])) ++i;
        if (i == nameStart || i == text.size() || text[i] != '=') {
            skipParam();
            continue;
        }
        IcsParam param;
        param.name = UpperAscii(text.substr(nameStart, i - nameStart));
        bool readable = true;
        do {
            ++i;  // past '=' or ','
            std::string value;
            if (i < text.size() && text[i] == '"') {
                const std::size_t close = text.find('"', i + 1);
                if (close == std::string_view::npos) return false;
                value = text.substr(i + 1, close - i - 1);
                i = close + 1;
            } else {
                while (i < text.size() && text[i] != ';' && text[i] != ':' && text[i] != ',') {
                    if (text[i] == '\\' && i + 1 < text.size() &&
                        (text[i + 1] == ';' || text[i + 1] == ':' || text[i + 1] == ','))
                        ++i;
                    value += text[i++];
                }
            }
            param.values.push_back(std::move(value));
        } while (i < text.size() && text[i] == ',');
        if (i < text.size() && text[i] != ';' && text[i] != ':') {
            readable = false;  // text after a closing quote
            skipParam();
        }
        if (readable) out.params.push_back(std::move(param));
    }
    if (i == text.size() || text[i] != ':') return false;
    out.value = text.substr(i + 1);
    return true;
}

bool IsBlank(std::string_view line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

// Content lines after unfolding: a line that starts with a space or a tab
// continues the one before. Lines end in CR LF; a bare LF is taken too.
class LineSource {
public:
    explicit LineSource(std::string_view text) : text_(text) {}

    // False at the end of the text. lastPiece: the octets of the content
    // line's last physical line, as written.
    bool Next(std::string& line, std::size_t& number, std::size_t& lastPiece, std::size_t maxBytes, bool& tooLong) {
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
            lastPiece = piece.size();
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

bool HasEvent(const std::vector<IcsComponent>& calendars) {
    for (const IcsComponent& calendar : calendars)
        for (const IcsComponent& c : calendar.components)
            if (c.name == "VEVENT") return true;
    return false;
}

// Writers fold at 75 octets; some count the line end or stop short of a
// character split. A line of about that length was cut by a fold.
constexpr std::size_t kFoldShortest = 72;
constexpr std::size_t kFoldLongest = 76;

class Reader {
public:
    Reader(const IcsLimits& limits, IcsReadResult& result) : limits_(limits), result_(result) {}

    // False when the file is refused; error_ says why.
    bool Read(std::string_view text);
    const std::string& Error() const { return error_; }

private:
    bool Line(std::string& line, std::size_t number, std::size_t previousPiece);
    bool Begin(const std::string& name, std::size_t number);
    void End(const std::string& name, std::size_t number);
    void Close();
    void Skip(std::size_t number, std::string_view why, std::size_t lines = 1);
    void Count(std::size_t number);
    bool Refuse(std::string message) {
        error_ = std::move(message);
        return false;
    }

    const IcsLimits& limits_;
    IcsReadResult& result_;
    std::string error_;
    std::string firstProblem_;
    std::vector<IcsComponent> open_;       // the components begun and not yet ended
    struct Opened {
        std::size_t contentLine;  // counted from 0
        std::size_t fileLine;     // from 1
        std::size_t skipped;      // lines skipped before it
    };
    std::vector<Opened> openedAt_;         // where each began
    std::size_t contentLines_ = 0;
    std::size_t components_ = 0;
    int skipDepth_ = 0;                    // inside a component that is left out
    bool sawCalendar_ = false;
    bool afterProperty_ = false;           // the line before was a property of open_.back()
};

void Reader::Skip(std::size_t number, std::string_view why, std::size_t lines) {
    Count(number);
    result_.skippedLines += lines - 1;
    if (firstProblem_.empty()) firstProblem_ = LineText(number, why);
}

// The report names the first few.
constexpr std::size_t kLinesNamed = 5;

void Reader::Count(std::size_t number) {
    ++result_.skippedLines;
    if (result_.skippedAt.size() < kLinesNamed) result_.skippedAt.push_back(number);
}

void Reader::Close() {
    IcsComponent done = std::move(open_.back());
    open_.pop_back();
    openedAt_.pop_back();
    if (open_.empty()) result_.calendars.push_back(std::move(done));
    else open_.back().components.push_back(std::move(done));
}

bool Reader::Begin(const std::string& name, std::size_t number) {
    if (static_cast<int>(open_.size()) + skipDepth_ >= limits_.maxDepth)
        return Refuse(LineText(number, "nests components too deeply."));
    if (++components_ > limits_.maxComponents)
        return Refuse("The file holds more than " + std::to_string(limits_.maxComponents) + " components.");
    if (skipDepth_ > 0) {
        ++skipDepth_;
        Count(number);
        return true;
    }
    if (name.empty()) {
        Skip(number, "begins a component without a name.");
        return true;
    }
    // One whose END was left out: it ends where a component that may only
    // stand beside it begins.
    std::size_t keep = open_.size();
    while (keep > 0 && !Allowed(name, open_[keep - 1].name)) --keep;
    if (keep == 0 && !Allowed(name, "")) {
        Skip(number, "puts " + name + (open_.empty() ? " outside a calendar." : " inside " + open_.back().name + "."));
        skipDepth_ = 1;
        return true;
    }
    while (open_.size() > keep) Close();
    open_.push_back(IcsComponent{name, {}, {}});
    openedAt_.push_back({contentLines_ - 1, number, result_.skippedLines});
    return true;
}

void Reader::End(const std::string& name, std::size_t number) {
    if (skipDepth_ > 0) {
        --skipDepth_;
        Count(number);
        return;
    }
    const auto match = std::find_if(open_.rbegin(), open_.rend(), [&](const IcsComponent& c) { return c.name == name; });
    if (name.empty() || match == open_.rend()) {
        Skip(number, name.empty() ? std::string("ends a component without a name.")
                                  : "ends " + name + ", which was not begun.");
        return;
    }
    // Components left open inside it end with it.
    const std::size_t depth = static_cast<std::size_t>(open_.rend() - match);
    while (open_.size() >= depth) Close();
}

bool Reader::Line(std::string& line, std::size_t number, std::size_t previousPiece) {
    if (!IsValidUtf8(line)) {
        if (HasUtf8Sequence(line)) result_.replacedBytes += ReplaceBadUtf8(line);
        else line = Windows1252ToUtf8(line);
    }
    IcsProperty property;
    const bool parsed = ParseContentLine(line, property);
    const bool begin = parsed && property.name == "BEGIN";
    const bool end = parsed && property.name == "END";
    // Blanks around the name, as hand edits and blank-looking folds leave them.
    std::string_view named = begin || end ? std::string_view(property.value) : std::string_view();
    while (!named.empty() && (named.front() == ' ' || named.front() == '\t')) named.remove_prefix(1);
    while (!named.empty() && (named.back() == ' ' || named.back() == '\t')) named.remove_suffix(1);
    const std::string component = UpperAscii(named);
    if (!sawCalendar_) {
        // Whatever stands before the calendar, such as a web server's header.
        if (!(begin && component == "VCALENDAR")) {
            Skip(number, "stands before the calendar.");
            return true;
        }
        sawCalendar_ = true;
    }
    if (skipDepth_ > 0) {
        if (begin) return Begin(component, number);
        if (end) End(component, number);
        else Count(number);
        return true;
    }
    // A line that is no property, right after a text, is the rest of its
    // value: a fold that lost its space when the line before fills a fold's
    // length, else a line break written as it is.
    if (afterProperty_ && !open_.empty() && !parsed && IsTextValue(open_.back().properties.back().name)) {
        std::string& value = open_.back().properties.back().value;
        const bool fold = previousPiece >= kFoldShortest && previousPiece <= kFoldLongest;
        if (value.size() + line.size() + 2 > limits_.maxLineBytes)
            return Refuse(LineText(number, "is longer than " + std::to_string(limits_.maxLineBytes >> 10) + " KB."));
        if (!fold) value += "\\n";
        value += line;
        return true;
    }
    afterProperty_ = false;
    if (begin) return Begin(component, number);
    if (end) {
        End(component, number);
        return true;
    }
    if (!parsed) {
        Skip(number, "is not an iCalendar content line.");
        return true;
    }
    if (open_.empty()) {
        Skip(number, "stands outside the calendar.");
        return true;
    }
    property.line = number;
    open_.back().properties.push_back(std::move(property));
    afterProperty_ = true;
    return true;
}

bool Reader::Read(std::string_view text) {
    if (text.size() > limits_.maxBytes)
        return Refuse("The file is larger than " + std::to_string(limits_.maxBytes >> 20) + " MB.");
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);

    LineSource source(text);
    std::string line;
    std::size_t number = 0;
    std::size_t piece = 0;
    std::size_t previousPiece = 0;
    bool tooLong = false;
    while (source.Next(line, number, piece, limits_.maxLineBytes, tooLong)) {
        if (tooLong)
            return Refuse(LineText(number, "is longer than " + std::to_string(limits_.maxLineBytes >> 10) + " KB."));
        if (IsBlank(line)) continue;
        ++contentLines_;
        const bool read = Line(line, number, previousPiece);
        if (!read) return false;
        previousPiece = piece;
    }
    if (!sawCalendar_) return Refuse("This is not an iCalendar file.");
    if (open_.size() > 1) {
        // Cut off: the calendar keeps what ended before the cut.
        // Every line from its begin, those skipped inside it counted once.
        result_.skippedLines = openedAt_[1].skipped + contentLines_ - openedAt_[1].contentLine;
        std::erase_if(result_.skippedAt, [this](std::size_t at) { return at >= openedAt_[1].fileLine; });
        if (result_.skippedAt.size() < kLinesNamed) result_.skippedAt.push_back(openedAt_[1].fileLine);
        if (firstProblem_.empty()) firstProblem_ = "The file ends inside " + open_[1].name + ": it is incomplete.";
        open_.resize(1);
        openedAt_.resize(1);
    }
    if (!open_.empty()) Close();
    if (result_.skippedLines > 0 && !HasEvent(result_.calendars))
        return Refuse("No event in the file could be read. " + firstProblem_);
    return true;
}

}  // namespace

IcsReadResult ReadIcs(std::string_view text, const IcsLimits& limits) {
    IcsReadResult result;
    Reader reader(limits, result);
    if (!reader.Read(text)) {
        result.calendars.clear();
        result.skippedLines = 0;
        result.skippedAt.clear();
        result.replacedBytes = 0;
        result.error = reader.Error();
    }
    return result;
}
