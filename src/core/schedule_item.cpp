#include "core/schedule_item.h"

#include <algorithm>

#include "core/little_endian.h"

namespace {

template <std::size_t N>
std::array<std::uint8_t, N> ZeroPadded(const std::uint8_t* data, std::size_t size) {
    std::array<std::uint8_t, N> buf{};
    if (data != nullptr) std::copy_n(data, std::min(size, N), buf.begin());
    return buf;
}

}  // namespace

ScheduleFront::Bytes ScheduleFront::Encode() const {
    Bytes b{};
    PutLe32(&b[0], id);
    PutLe32(&b[4], parentId);
    b[8] = linkKind;
    PutLe32(&b[12], startDate);
    PutLe32(&b[16], static_cast<std::uint32_t>(startTime));
    PutLe32(&b[20], endDate);
    PutLe32(&b[24], static_cast<std::uint32_t>(endTime));
    b[28] = recurFlags;
    b[29] = recurKind;
    PutLe16(&b[30], recurPattern);
    b[32] = recurInterval;
    return b;
}

ScheduleFront ScheduleFront::Decode(const std::uint8_t* data, std::size_t size) {
    const Bytes b = ZeroPadded<kSize>(data, size);
    ScheduleFront f;
    f.id = GetLe32(&b[0]);
    f.parentId = GetLe32(&b[4]);
    f.linkKind = b[8];
    f.startDate = GetLe32(&b[12]);
    f.startTime = static_cast<std::int32_t>(GetLe32(&b[16]));
    f.endDate = GetLe32(&b[20]);
    f.endTime = static_cast<std::int32_t>(GetLe32(&b[24]));
    f.recurFlags = b[28];
    f.recurKind = b[29];
    f.recurPattern = GetLe16(&b[30]);
    f.recurInterval = b[32];
    return f;
}

ActionsBlock::Bytes ActionsBlock::Encode() const {
    Bytes b{};
    b[0] = actions;
    PutLe16(&b[2], static_cast<std::uint16_t>(remindMinutes));
    return b;
}

ActionsBlock ActionsBlock::Decode(const std::uint8_t* data, std::size_t size) {
    const Bytes b = ZeroPadded<kSize>(data, size);
    ActionsBlock a;
    a.actions = b[0];
    a.remindMinutes = static_cast<std::int16_t>(GetLe16(&b[2]));
    return a;
}
