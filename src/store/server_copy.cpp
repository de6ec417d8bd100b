#include "store/server_copy.h"

#include <algorithm>

#include "store/registry_paths.h"

namespace {

bool Printable(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x20 && u != 0x7F;
    });
}

}  // namespace

bool IsStorableHref(std::string_view href) {
    return !href.empty() && href.size() <= kMaxHrefLength && Printable(href);
}

bool IsStorableEtag(std::string_view etag) { return etag.size() <= kMaxEtagLength && Printable(etag); }

ServerCopy ReadServerCopy(const RegKey& eventKey) {
    ServerCopy copy;
    if (!eventKey.ReadString(kServerHrefValue, kMaxHrefLength + 1, copy.href) || !IsStorableHref(copy.href))
        return {};
    if (!eventKey.ReadString(kServerEtagValue, kMaxEtagLength + 1, copy.etag) || !IsStorableEtag(copy.etag))
        copy.etag.clear();  // unknown: the server's copy is fetched and compared
    return copy;
}

bool WriteServerCopy(const RegKey& eventKey, const ServerCopy& copy) {
    if (!IsStorableHref(copy.href) || !IsStorableEtag(copy.etag)) return false;
    return eventKey.WriteString(kServerHrefValue, copy.href) && eventKey.WriteString(kServerEtagValue, copy.etag);
}

std::string EncodePendingDeletions(const std::vector<ServerCopy>& list) {
    std::string bytes;
    const std::size_t skip = list.size() > kMaxPendingDeletions ? list.size() - kMaxPendingDeletions : 0;
    for (std::size_t i = skip; i < list.size(); ++i) {
        if (!IsStorableHref(list[i].href) || !IsStorableEtag(list[i].etag)) continue;
        bytes += list[i].href;
        bytes += '\0';
        bytes += list[i].etag;
        bytes += '\0';
    }
    return bytes;
}

std::vector<ServerCopy> DecodePendingDeletions(std::string_view bytes) {
    std::vector<ServerCopy> list;
    while (list.size() < kMaxPendingDeletions) {
        const std::size_t hrefEnd = bytes.find('\0');
        if (hrefEnd == std::string_view::npos) break;
        const std::size_t etagEnd = bytes.find('\0', hrefEnd + 1);
        if (etagEnd == std::string_view::npos) break;  // a trailing part is not an entry
        ServerCopy entry{std::string(bytes.substr(0, hrefEnd)),
                         std::string(bytes.substr(hrefEnd + 1, etagEnd - hrefEnd - 1))};
        if (IsStorableHref(entry.href) && IsStorableEtag(entry.etag)) list.push_back(std::move(entry));
        bytes.remove_prefix(etagEnd + 1);
    }
    return list;
}

std::vector<ServerCopy> LoadPendingDeletions(Registry& registry) {
    const RegKey key = OpenUserKey(registry, RegAccess::Read);
    std::string bytes;
    // A buffer of the longest list: anything larger is not ours.
    if (!key.ReadBinary(kSyncDeletedValue, kMaxPendingDeletions * (kMaxHrefLength + kMaxEtagLength + 2), bytes))
        return {};
    return DecodePendingDeletions(bytes);
}

bool SavePendingDeletions(Registry& registry, const std::vector<ServerCopy>& list) {
    const RegKey key = OpenUserKey(registry, RegAccess::Write);
    if (!key) return false;
    const std::string bytes = EncodePendingDeletions(list);
    if (bytes.empty()) {
        key.DeleteValue(kSyncDeletedValue);  // absent already is as good
        return true;
    }
    return key.WriteBinary(kSyncDeletedValue, bytes.data(), bytes.size());
}

bool RememberDeletion(Registry& registry, const RegKey& eventKey) {
    ServerCopy copy = ReadServerCopy(eventKey);
    if (copy.href.empty()) return true;
    std::vector<ServerCopy> list = LoadPendingDeletions(registry);
    std::erase_if(list, [&](const ServerCopy& c) { return c.href == copy.href; });
    list.push_back(std::move(copy));
    return SavePendingDeletions(registry, list);
}
