#include "core/schedule_item.h"

#include <algorithm>

namespace {

// Field by field, so the stored layout never depends on struct padding or
// the host's byte order.
void PutU32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

void PutU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

std::uint32_t GetU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint16_t GetU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

template <std::size_t N>
std::array<std::uint8_t, N> ZeroPadded(const std::uint8_t* data, std::size_t size) {
    std::array<std::uint8_t, N> buf{};
    if (data != nullptr) std::copy_n(data, std::min(size, N), buf.begin());
    return buf;
}

}  // namespace

ScheduleFront::Bytes ScheduleFront::Encode() const {
    Bytes b{};
    PutU32(&b[0], id);
    PutU32(&b[4], parentId);
    b[8] = linkKind;
    PutU32(&b[12], startDate);
    PutU32(&b[16], static_cast<std::uint32_t>(startTime));
    PutU32(&b[20], endDate);
    PutU32(&b[24], static_cast<std::uint32_t>(endTime));
    b[28] = recurFlags;
    b[29] = recurKind;
    PutU16(&b[30], recurPattern);
    b[32] = recurInterval;
    return b;
}

ScheduleFront ScheduleFront::Decode(const std::uint8_t* data, std::size_t size) {
    const Bytes b = ZeroPadded<kSize>(data, size);
    ScheduleFront f;
    f.id = GetU32(&b[0]);
    f.parentId = GetU32(&b[4]);
    f.linkKind = b[8];
    f.startDate = GetU32(&b[12]);
    f.startTime = static_cast<std::int32_t>(GetU32(&b[16]));
    f.endDate = GetU32(&b[20]);
    f.endTime = static_cast<std::int32_t>(GetU32(&b[24]));
    f.recurFlags = b[28];
    f.recurKind = b[29];
    f.recurPattern = GetU16(&b[30]);
    f.recurInterval = b[32];
    return f;
}

ActionsBlock::Bytes ActionsBlock::Encode() const {
    Bytes b{};
    b[0] = actions;
    PutU16(&b[2], static_cast<std::uint16_t>(remindMinutes));
    return b;
}

ActionsBlock ActionsBlock::Decode(const std::uint8_t* data, std::size_t size) {
    const Bytes b = ZeroPadded<kSize>(data, size);
    ActionsBlock a;
    a.actions = b[0];
    a.remindMinutes = static_cast<std::int16_t>(GetU16(&b[2]));
    return a;
}
