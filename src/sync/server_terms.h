#pragma once
#include <map>
#include <string>
#include <vector>

#include "interop/ics_document.h"
#include "interop/ics_values.h"
#include "interop/ics_zone.h"

// A wall-clock time of this computer: local days (DaysFromCivil's) and the time of day.
struct LocalWall {
    long long days = 0;
    int seconds = 0;
};

// The zones of a server's text, to write a local time back the way the
// server wrote the time it replaces: in the same zone, in UTC, as a date or
// floating. A zone the text names but does not define was read as local
// time, and is written back so.
class ServerTerms {
public:
    explicit ServerTerms(const std::vector<IcsComponent>& calendars);

    // `local` in the form of `like`; false when it has no such form (a
    // local time that does not exist, or a zone's time before 1970).
    bool Write(const LocalWall& local, const IcsTime& like, IcsTime& out) const;
    // The local wall-clock time a server's time stands for.
    bool ToLocal(const IcsTime& t, LocalWall& out) const;

private:
    const IcsZone* Zone(const IcsTime& t) const;
    std::map<std::string, IcsZone> zones_;
};

bool IsUtcZoneName(std::string_view tzid);
std::string FormatIcsValue(const IcsTime& t);
// The property's value and its VALUE and TZID parameters for `t`; other parameters stay.
void SetIcsTime(IcsProperty& p, const IcsTime& t);
