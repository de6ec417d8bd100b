#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// An iCalendar file as read: components holding properties and components.
// Names are kept in upper case; values as they stand in the file (TEXT
// values still escaped).
struct IcsParam {
    std::string name;
    std::vector<std::string> values;
};

struct IcsProperty {
    std::string name;
    std::vector<IcsParam> params;
    std::string value;
    std::size_t line = 0;  // where the content line starts, from 1

    // The first value of a parameter, or null.
    const std::string* Param(std::string_view paramName) const {
        for (const IcsParam& p : params)
            if (p.name == paramName && !p.values.empty()) return &p.values.front();
        return nullptr;
    }
};

struct IcsComponent {
    std::string name;
    std::vector<IcsProperty> properties;
    std::vector<IcsComponent> components;

    const IcsProperty* Find(std::string_view propertyName) const {
        for (const IcsProperty& p : properties)
            if (p.name == propertyName) return &p;
        return nullptr;
    }
    std::vector<const IcsProperty*> FindAll(std::string_view propertyName) const {
        std::vector<const IcsProperty*> found;
        for (const IcsProperty& p : properties)
            if (p.name == propertyName) found.push_back(&p);
        return found;
    }
};
