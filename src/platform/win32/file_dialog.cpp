#include "platform/win32/file_dialog.h"

#include <algorithm>
#include <vector>

#include "platform/text_codec.h"
#include "platform/win32/common_dialogs.h"
#include "platform/win32/wide_text.h"

namespace {

// Pairs each ending in a zero, then one more zero.
std::wstring WideFilter(const char* filter) {
    if (filter == nullptr) return {};
    std::size_t length = 0;
    while (filter[length] != '\0' || filter[length + 1] != '\0') ++length;
    return Wide(std::string_view(filter, length + 2));
}

}  // namespace

bool AskFilePath(const FileDialogRequest& request, std::string& path) {
    if (request.room == 0 || request.room > MAXDWORD) return false;
    std::vector<wchar_t> buffer(request.room, L'\0');
    const std::wstring initialFile = Wide(request.initialFile);
    // Never a half of a surrogate pair at the end.
    const std::u16string_view cut =
        CutUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(initialFile.data()), initialFile.size()),
                 request.room - 1);
    std::copy(cut.begin(), cut.end(), buffer.begin());
    const std::wstring filter = WideFilter(request.filter);
    const std::wstring initialFolder = Wide(request.initialFolder);
    const std::wstring defaultExtension = request.defaultExtension != nullptr ? Wide(request.defaultExtension) : L"";
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = request.owner;
    ofn.lpstrFilter = request.filter != nullptr ? filter.c_str() : nullptr;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(request.room);
    ofn.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    ofn.lpstrDefExt = request.defaultExtension != nullptr ? defaultExtension.c_str() : nullptr;
    ofn.Flags = request.flags;
    if (!(request.save ? ShowSaveFileDialog(ofn) : ShowOpenFileDialog(ofn))) return false;
    path = Utf8(buffer.data());
    return true;
}
