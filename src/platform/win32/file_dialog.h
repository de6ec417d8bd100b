#pragma once
#include <windows.h>
#include <commdlg.h>

#include <cstddef>
#include <string>

// What an Open or Save As dialog shows and allows; text in UTF-8.
struct FileDialogRequest {
    HWND owner = nullptr;
    bool save = false;            // Save As; else Open
    const char* filter = nullptr;  // description and pattern pairs, each with its zero, then one more zero
    const char* defaultExtension = nullptr;
    std::string initialFolder;    // none: the dialog's own choice
    std::string initialFile;      // cut to what the buffer holds
    DWORD flags = 0;              // OFN_ flags
    // Characters the chosen path may take, its terminating zero included;
    // the dialog refuses a longer choice.
    std::size_t room = MAX_PATH;
};

// Shows the dialog (comdlg32 is loaded only then); false when the user
// cancelled or it failed, and path is left as it was.
bool AskFilePath(const FileDialogRequest& request, std::string& path);
