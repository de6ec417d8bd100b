#include "app/ical_commands.h"

#include <string>

#include "core/product.h"
#include "platform/win32/file_dialog.h"
#include "platform/win32/wide_text.h"

namespace {

// Pairs of zero-terminated texts, ended by an empty one.
constexpr char kFilter[] = "iCalendar Files (*.ics)\0*.ics\0All Files (*.*)\0*.*\0";
// Room for long paths: the dialog reports a longer choice as an error.
constexpr std::size_t kPathRoom = 32768;

bool AskPath(HWND owner, bool save, std::string& path) {
    FileDialogRequest request;
    request.owner = owner;
    request.save = save;
    request.filter = kFilter;
    request.defaultExtension = "ics";
    if (save) request.initialFile = std::string(kAppTitle) + ".ics";
    request.flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                    (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    request.room = kPathRoom;
    return AskFilePath(request, path);
}

}  // namespace

bool AskExportPath(HWND owner, std::string& path) { return AskPath(owner, true, path); }

bool AskImportPath(HWND owner, std::string& path) { return AskPath(owner, false, path); }

void ShowExchangeOutcome(HWND owner, const ExchangeOutcome& outcome) {
    if (outcome.message.empty()) return;
    const UINT icon = outcome.code == kExchangeOk ? MB_ICONINFORMATION : MB_ICONEXCLAMATION;
    MessageBoxW(owner, Wide(outcome.message).c_str(), Wide(kAppTitle).c_str(), MB_OK | icon | MB_SETFOREGROUND);
}
