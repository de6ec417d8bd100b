#include "app/ical_commands.h"

#include <string>
#include <vector>

#include "core/product.h"
#include "platform/win32/common_dialogs.h"

namespace {

// Pairs of zero-terminated texts, ended by an empty one.
constexpr char kFilter[] = "iCalendar Files (*.ics)\0*.ics\0All Files (*.*)\0*.*\0";
// Room for long paths: the dialog reports a longer choice as an error.
constexpr DWORD kPathRoom = 32768;

bool AskPath(HWND owner, bool save, std::string& path) {
    std::vector<char> buffer(kPathRoom, '\0');
    if (save) {
        const std::string suggested = std::string(kAppTitle) + ".ics";
        suggested.copy(buffer.data(), suggested.size());
    }
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = kPathRoom;
    ofn.lpstrDefExt = "ics";
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    if (!(save ? ShowSaveFileDialog(ofn) : ShowOpenFileDialog(ofn))) return false;
    path = buffer.data();
    return true;
}

}  // namespace

bool AskExportPath(HWND owner, std::string& path) { return AskPath(owner, true, path); }

bool AskImportPath(HWND owner, std::string& path) { return AskPath(owner, false, path); }

void ShowExchangeOutcome(HWND owner, const ExchangeOutcome& outcome) {
    if (outcome.message.empty()) return;
    const UINT icon = outcome.code == kExchangeOk ? MB_ICONINFORMATION : MB_ICONEXCLAMATION;
    MessageBoxA(owner, outcome.message.c_str(), kAppTitle, MB_OK | icon | MB_SETFOREGROUND);
}
