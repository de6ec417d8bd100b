// Paint time of the calendar window: the same window with a month holding
// 361 events and with none, measured in one run, since only their ratio holds
// on a noisy machine; then a month change with its first paint, and one step
// of a resize with its repaint, over a plain background and, when PHOTO names
// an image, over that image as the wallpaper. Runs over a scratch registry
// key, so no real settings are touched. Usage: paint_bench [PAINTS] [PHOTO]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/calendar_app.h"
#include "app/main_frame.h"
#include "calendar/schedule_wnd.h"
#include "core/calendar.h"
#include "core/locale_names.h"
#include "ui/gdiplus.h"

namespace {

// HKEY_CURRENT_USER redirected to a fresh key while the object lives.
class ScratchUserKey {
public:
    ScratchUserKey() {
        path_ = "Software\\OrvCalendarBench\\" + std::to_string(GetCurrentProcessId());
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                            nullptr) == ERROR_SUCCESS) {
            ok_ = RegOverridePredefKey(HKEY_CURRENT_USER, key_) == ERROR_SUCCESS;
        }
    }
    ~ScratchUserKey() {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        if (key_ != nullptr) RegCloseKey(key_);
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\OrvCalendarBench");
    }
    ScratchUserKey(const ScratchUserKey&) = delete;
    ScratchUserKey& operator=(const ScratchUserKey&) = delete;
    bool Ok() const { return ok_; }

private:
    std::string path_;
    HKEY key_ = nullptr;
    bool ok_ = false;
};

struct Timing {
    double mean = 0;
    double median = 0;
};

double Now() {
    LARGE_INTEGER t;
    LARGE_INTEGER f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

// A memory bitmap of the window's client size, to paint the window into.
class PaintTarget {
public:
    explicit PaintTarget(HWND hwnd) : hwnd_(hwnd) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, rc.right, rc.bottom);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~PaintTarget() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    PaintTarget(const PaintTarget&) = delete;
    PaintTarget& operator=(const PaintTarget&) = delete;

    // Milliseconds of one full paint of the client area.
    double Paint() const {
        const double start = Now();
        SendMessageA(hwnd_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
        GdiFlush();
        return Now() - start;
    }

private:
    HWND hwnd_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// Adds the milliseconds of each full paint of the client area to samples.
void TimePaints(HWND hwnd, int paints, std::vector<double>& samples) {
    const PaintTarget target(hwnd);
    target.Paint();  // warm: the background cache
    for (int i = 0; i < paints; ++i) samples.push_back(target.Paint());
}

// The milliseconds of step() followed by a full paint of the client area.
double TimeStepAndPaint(HWND hwnd, const std::function<void()>& step) {
    const double start = Now();
    step();
    const double stepped = Now() - start;
    const PaintTarget target(hwnd);  // of the new size, made outside the timing
    return stepped + target.Paint();
}

Timing Summarise(std::vector<double> samples) {
    Timing t;
    if (samples.empty()) return t;
    for (double s : samples) t.mean += s;
    t.mean /= static_cast<double>(samples.size());
    std::sort(samples.begin(), samples.end());
    t.median = samples[samples.size() / 2];
    return t;
}

// 361 events in the given month, of every kind the month view draws:
// bars within the month and across both of its ends, daily, weekly, monthly
// and yearly occurrences.
void FillMonth(EventStore& store, int year, int month) {
    const int days = DaysInMonth(year, month);
    for (int i = 0; i < 361; ++i) {
        auto item = std::make_unique<ScheduleItem>();
        ScheduleFront& f = item->front;
        f.id = store.NextEventId();
        f.startTime = (7 * 3600 + i * 97) % 86400;
        f.endTime = f.startTime;
        int firstDay = 1 + i % days;
        int lastDay = std::min(days, firstDay + i % 5);
        int startMonth = month;
        int endMonth = month;
        switch (i % 8) {
            case 0:  // from the month before
                startMonth = month - 1;
                firstDay = 20;
                break;
            case 1:  // into the month after
                endMonth = month + 1;
                lastDay = 5;
                break;
            case 2:
                f.recurKind = kKindDaily;
                f.recurInterval = static_cast<std::uint8_t>(1 + i % 3);
                firstDay = 1;
                lastDay = days;
                break;
            case 3:
                f.recurKind = kKindWeekly;
                f.recurPattern = static_cast<std::uint16_t>((1u << (i % 7)) | (1u << ((i + 3) % 7)));
                firstDay = 1;
                lastDay = days;
                break;
            case 4:
                f.recurKind = kKindMonthlyDay;
                f.recurPattern = static_cast<std::uint16_t>(1 + i % 31);
                firstDay = 1;
                lastDay = days;
                break;
            case 5:
                f.recurKind = kKindYearlyDate;
                f.recurPattern = static_cast<std::uint16_t>((month << 8) | (1 + i % 28));
                firstDay = 1;
                lastDay = days;
                break;
            default:
                break;
        }
        f.startDate = static_cast<std::int32_t>(MakeLocalTime(year, startMonth, firstDay, 0, 0, 0));
        f.endDate = static_cast<std::int32_t>(EndOfDay(MakeLocalTime(year, endMonth, lastDay, 0, 0, 0)));
        item->title = "Event number ";
        item->title += std::to_string(i + 1);
        store.SaveEvent(item, true, true);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // As in the tests: the Windows runtime must follow the Windows zone.
    _putenv("TZ=");
    _tzset();
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const int paints = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;

    ScratchUserKey hive;
    if (!hive.Ok()) {
        std::fprintf(stderr, "no scratch registry key\n");
        return 1;
    }
    GdiplusSession gdiplus;
    TheLocaleNames() = EnglishLocaleNames();
    int rc = 0;
    {
        CCalendarApp app(0);
        const SystemClock clock;
        CMainFrame frame(app, clock);
        if (!frame.Create() || frame.ScheduleWnd() == nullptr) {
            std::fprintf(stderr, "calendar window not created\n");
            return 1;
        }
        auto* wnd = dynamic_cast<CScheduleWnd*>(CWnd::FromHandle(frame.ScheduleWnd()));
        // A month three ahead: none of its occurrences is due for a reminder.
        for (int i = 0; i < 3; ++i) wnd->NextMonth();
        const int year = wnd->Layout().year;
        const int month = wnd->Layout().month;
        const HWND hwnd = wnd->Hwnd();
        RECT opened;
        GetWindowRect(hwnd, &opened);
        // The size the window opens at, and a large one that shows five lines a day.
        const SIZE sizes[] = {{opened.right - opened.left, opened.bottom - opened.top}, {800, 700}};
        const auto resize = [hwnd](SIZE s) {
            SetWindowPos(hwnd, nullptr, 0, 0, s.cx, s.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        };

        std::vector<double> none[2];
        for (int k = 0; k < 2; ++k) {
            resize(sizes[k]);
            TimePaints(hwnd, paints, none[k]);
        }
        FillMonth(frame.Store(), year, month);
        if (frame.Store().Count() != 361) {
            std::fprintf(stderr, "%zu events stored instead of 361\n", frame.Store().Count());
            rc = 1;
        }
        // Days hold 20 lines at most: the other events find no room.
        std::printf("%d paints per case; %zu of the 361 events have lines in the month\n", paints,
                    wnd->Layout().monthEvents.size());

        for (int k = 0; k < 2; ++k) {
            resize(sizes[k]);
            // The full month against a month a year later that none of the
            // events reaches, in alternating rounds so that drift hits both.
            std::vector<double> full;
            std::vector<double> empty;
            constexpr int kRounds = 10;
            for (int round = 0; round < kRounds; ++round) {
                TimePaints(hwnd, std::max(1, paints / kRounds), full);
                for (int i = 0; i < 12; ++i) wnd->NextMonth();
                TimePaints(hwnd, std::max(1, paints / kRounds), empty);
                for (int i = 0; i < 12; ++i) wnd->PrevMonth();
            }
            const Timing tNone = Summarise(none[k]);
            const Timing tEmpty = Summarise(empty);
            const Timing tFull = Summarise(full);
            std::printf("%ld x %ld, %d event lines a day:\n", sizes[k].cx, sizes[k].cy, wnd->Layout().VisibleLines());
            std::printf("  no events stored:        mean %.3f ms, median %.3f ms per paint\n", tNone.mean,
                        tNone.median);
            std::printf("  361 stored, empty month: mean %.3f ms, median %.3f ms per paint\n", tEmpty.mean,
                        tEmpty.median);
            std::printf("  361 stored, full month:  mean %.3f ms, median %.3f ms per paint\n", tFull.mean,
                        tFull.median);
            std::printf("  ratio full month / no events stored: %.2f (medians)\n", tFull.median / tNone.median);
            std::printf("  ratio full month / empty month, alternating: %.2f (medians)\n",
                        tFull.median / tEmpty.median);
        }
        // Navigation: to the full month from the month after it and back, each
        // change with its first paint.
        resize(sizes[0]);
        std::vector<double> intoFull;
        std::vector<double> outOfFull;
        for (int i = 0; i < paints / 2; ++i) {
            outOfFull.push_back(TimeStepAndPaint(hwnd, [wnd] { wnd->NextMonth(); }));
            intoFull.push_back(TimeStepAndPaint(hwnd, [wnd] { wnd->PrevMonth(); }));
        }
        std::printf("month change with its first paint, %ld x %ld: into the full month median %.3f ms, out of it %.3f ms\n",
                    sizes[0].cx, sizes[0].cy, Summarise(intoFull).median, Summarise(outOfFull).median);

        // A resize step: the background cache is drawn again, wallpaper included.
        const auto timeResizes = [&](const char* what) {
            std::vector<double> steps;
            for (int i = 0; i < paints / 2; ++i) {
                const SIZE s = {sizes[0].cx + (i % 2), sizes[0].cy + (i % 2)};
                steps.push_back(TimeStepAndPaint(hwnd, [&] { resize(s); }));
            }
            std::printf("resize step with its repaint, %s: median %.3f ms\n", what, Summarise(steps).median);
        };
        timeResizes("plain background");
        if (argc > 2) {
            frame.Prefs().BkgImgFile = argv[2];
            frame.Prefs().BkgImgFit = 1;
            wnd->ReloadBackImage();
            if (!wnd->HasBackImage()) {
                std::fprintf(stderr, "wallpaper %s not loaded\n", argv[2]);
                rc = 1;
            }
            timeResizes("photo wallpaper");
        }
        frame.DestroyWindow();
    }
    return rc;
}
