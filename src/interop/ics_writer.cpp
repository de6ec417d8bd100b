#include "interop/ics_writer.h"

#include "interop/ics_text.h"

std::string ParamValue(std::string_view value) {
    std::string clean;
    bool quote = false;
    for (char c : value) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) continue;
        if (c == '"') c = '\'';
        if (c == ':' || c == ';' || c == ',') quote = true;
        clean += c;
    }
    return quote ? "\"" + clean + "\"" : clean;
}

void IcsWriter::Property(std::string_view name, std::string_view value, Params params) {
    std::string line(name);
    for (const auto& [param, paramValue] : params) {
        line += ';';
        line += param;
        line += '=';
        line += ParamValue(paramValue);
    }
    line += ':';
    line += value;
    AppendFolded(out_, line);
}

void IcsWriter::Text(std::string_view name, std::string_view text, Params params) {
    Property(name, EscapeText(text), params);
}
