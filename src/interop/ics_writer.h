#pragma once
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

// Builds iCalendar text: components, properties with parameters, folded
// content lines ending in CR LF.
class IcsWriter {
public:
    using Params = std::initializer_list<std::pair<std::string_view, std::string_view>>;

    void Begin(std::string_view component) { Property("BEGIN", component); }
    void End(std::string_view component) { Property("END", component); }
    // value goes out as it is: the caller formats and escapes it.
    void Property(std::string_view name, std::string_view value, Params params = {});
    // A TEXT value, escaped here.
    void Text(std::string_view name, std::string_view text, Params params = {});

    const std::string& Result() const { return out_; }

private:
    std::string out_;
};

// A parameter value, quoted when it holds ':', ';' or ','. A double quote
// cannot stand in one and becomes a single quote; control characters go.
std::string ParamValue(std::string_view value);
