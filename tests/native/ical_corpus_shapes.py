"""The repeat rules of the corpus: each shape's RRULE text and which days
may be its DTSTART (producers start a series on one of its occurrences,
except where a shape says otherwise)."""
import datetime

MO, TU, WE, TH, FR, SA, SU = range(7)


def _last_of_month(d):
    return (d + datetime.timedelta(days=1)).day == 1


def _nth(d, n, wd):
    """d is the n-th (-1: last) weekday wd of its month."""
    if d.weekday() != wd:
        return False
    if n > 0:
        return (d.day - 1) // 7 + 1 == n
    return (d + datetime.timedelta(days=7)).month != d.month


def _weekdays(*days):
    return lambda d: d.weekday() in days


def _last_workday(d):
    if d.weekday() >= 5:
        return False
    e = d + datetime.timedelta(days=1)
    while e.month == d.month:
        if e.weekday() < 5:
            return False
        e += datetime.timedelta(days=1)
    return True


# name -> (rule, DTSTART predicate, step in days between occurrences or None)
SHAPES = {
    "daily": ("FREQ=DAILY", lambda d: True, 1),
    "daily-interval": ("FREQ=DAILY;INTERVAL=3", lambda d: True, 3),
    "daily-workdays": ("FREQ=DAILY;BYDAY=MO,TU,WE,TH,FR", _weekdays(MO, TU, WE, TH, FR), None),
    "weekly": ("FREQ=WEEKLY", lambda d: True, 7),
    "weekly-byday": ("FREQ=WEEKLY;BYDAY={wd}", lambda d: True, 7),
    "weekly-several": ("FREQ=WEEKLY;BYDAY=MO,WE,FR", _weekdays(MO, WE, FR), None),
    "biweekly-several": ("FREQ=WEEKLY;INTERVAL=2;BYDAY=TU,TH", _weekdays(TU, TH), None),
    "biweekly-wkst-su": ("FREQ=WEEKLY;INTERVAL=2;WKST=SU;BYDAY=SU,WE", _weekdays(WE), None),
    "biweekly-starts-late": ("FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,FR", _weekdays(FR), None),
    "triweekly-weekend": ("FREQ=WEEKLY;INTERVAL=3;BYDAY=SA,SU;WKST=MO", _weekdays(SA, SU), None),
    "weekly-start-off-rule": ("FREQ=WEEKLY;BYDAY=MO,WE", _weekdays(TU), None),
    "monthly": ("FREQ=MONTHLY", lambda d: d.day <= 28, None),
    "monthly-day": ("FREQ=MONTHLY;BYMONTHDAY=15", lambda d: d.day == 15, None),
    "monthly-day-30": ("FREQ=MONTHLY;BYMONTHDAY=30", lambda d: d.day == 30, None),
    "monthly-day-31": ("FREQ=MONTHLY;BYMONTHDAY=31", lambda d: d.day == 31, None),
    "monthly-plain-31": ("FREQ=MONTHLY", lambda d: d.day == 31, None),
    "monthly-last-day": ("FREQ=MONTHLY;BYMONTHDAY=-1", _last_of_month, None),
    "monthly-two-days": ("FREQ=MONTHLY;BYMONTHDAY=1,15", lambda d: d.day in (1, 15), None),
    "monthly-nth": ("FREQ=MONTHLY;BYDAY=2TU", lambda d: _nth(d, 2, TU), None),
    "monthly-last-friday": ("FREQ=MONTHLY;BYDAY=-1FR", lambda d: _nth(d, -1, FR), None),
    "monthly-fifth": ("FREQ=MONTHLY;BYDAY=5TH", lambda d: d.weekday() == TH and d.day > 28, None),
    "monthly-setpos-last-workday": ("FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1", _last_workday, None),
    "monthly-setpos-first-sunday": ("FREQ=MONTHLY;BYDAY=SU;BYSETPOS=1", lambda d: _nth(d, 1, SU), None),
    "quarterly-nth": ("FREQ=MONTHLY;INTERVAL=3;BYDAY=1MO", lambda d: _nth(d, 1, MO), None),
    "friday-13th": ("FREQ=MONTHLY;BYDAY=FR;BYMONTHDAY=13", lambda d: d.weekday() == FR and d.day == 13, None),
    "monthly-bymonth-nth": ("FREQ=MONTHLY;BYMONTH=4;BYDAY=1SU", lambda d: d.month == 4 and _nth(d, 1, SU), None),
    "yearly": ("FREQ=YEARLY", lambda d: not (d.month == 2 and d.day == 29), None),
    "yearly-nth": ("FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU", lambda d: d.month == 3 and _nth(d, -1, SU), None),
    "yearly-thanksgiving": ("FREQ=YEARLY;BYMONTH=11;BYDAY=4TH", lambda d: d.month == 11 and _nth(d, 4, TH), None),
    "yearly-election-day": ("FREQ=YEARLY;BYMONTH=11;BYDAY=TU;BYMONTHDAY=2,3,4,5,6,7,8",
                            lambda d: d.month == 11 and d.weekday() == TU and 2 <= d.day <= 8, None),
    "yearly-date": ("FREQ=YEARLY;BYMONTH=6;BYMONTHDAY=21", lambda d: d.month == 6 and d.day == 21, None),
    "yearly-leap-day": ("FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=29", lambda d: d.month == 2 and d.day == 29, None),
    "yearly-byyearday": ("FREQ=YEARLY;BYYEARDAY=100", lambda d: d.timetuple().tm_yday == 100, None),
    # recurring_ical_events keeps one occurrence of a UID a day (the last),
    # so no rule here repeats within a day.
    "hourly": ("FREQ=HOURLY;INTERVAL=26;COUNT=6", lambda d: True, None),
}

WEEKDAY_CODES = ["MO", "TU", "WE", "TH", "FR", "SA", "SU"]


def align(shape, day):
    """The first day from `day` on that the shape may start on."""
    matches = SHAPES[shape][1]
    for i in range(3000):
        d = day + datetime.timedelta(days=i)
        if matches(d):
            return d
    raise ValueError(shape)


def rule_text(shape, start):
    return SHAPES[shape][0].replace("{wd}", WEEKDAY_CODES[start.weekday()])


def step(shape):
    return SHAPES[shape][2]
