#pragma once
// Event titles as DrawText cut them to a width with an ellipsis, kept across
// repaints: most repaints (the hover, the tip, the selection) draw the same
// month at the same size, and cutting a title costs more than drawing it.
#include <cstddef>
#include <functional>
#include <string>
#include <unordered_map>

#include "core/schedule_item.h"

class TitleCache {
public:
    // The cut text of item's title at width; null unless kept for this very title.
    const std::string* Find(const ScheduleItem* item, int width, const std::string& title) const {
        const auto found = entries_.find(Key{item, width});
        return found != entries_.end() && found->second.title == title ? &found->second.text : nullptr;
    }
    void Keep(const ScheduleItem* item, int width, const std::string& title, std::string text) {
        if (entries_.size() >= kMaxEntries) entries_.clear();  // deleted events' titles go too
        entries_[Key{item, width}] = Entry{title, std::move(text)};
    }
    // Another font or line height cuts otherwise.
    void Clear() { entries_.clear(); }

private:
    static constexpr std::size_t kMaxEntries = 4096;
    struct Key {
        const ScheduleItem* item;
        int width;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const {
            return std::hash<const void*>{}(k.item) ^ (static_cast<std::size_t>(k.width) * 0x9E3779B97F4A7C15ull);
        }
    };
    struct Entry {
        std::string title;  // what was cut: an event edited in place is cut again
        std::string text;
    };
    std::unordered_map<Key, Entry, KeyHash> entries_;
};
