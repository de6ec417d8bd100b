#include "platform/win32/file_dialog.h"

#include <algorithm>
#include <vector>

#include "platform/win32/common_dialogs.h"

bool AskFilePath(const FileDialogRequest& request, std::string& path) {
    if (request.room == 0 || request.room > MAXDWORD) return false;
    std::vector<char> buffer(request.room, '\0');
    request.initialFile.copy(buffer.data(), std::min(request.initialFile.size(), request.room - 1));
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = request.owner;
    ofn.lpstrFilter = request.filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(request.room);
    ofn.lpstrInitialDir = request.initialFolder.empty() ? nullptr : request.initialFolder.c_str();
    ofn.lpstrDefExt = request.defaultExtension;
    ofn.Flags = request.flags;
    if (!(request.save ? ShowSaveFileDialog(ofn) : ShowOpenFileDialog(ofn))) return false;
    path = buffer.data();
    return true;
}
