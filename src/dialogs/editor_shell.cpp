#include "dialogs/editor_shell.h"

#include "platform/win32/file_dialog.h"
#include "platform/win32/late_bound.h"
#include <mmsystem.h>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_reminder_links.h"

namespace {

// Description and pattern pairs, each with its zero, then one more zero.
constexpr char kSoundFilter[] = "Sound Files (*.wav)\0*.wav\0";
constexpr char kLaunchFilter[] =
    "Media Files (*.mp3;*.mp4;*.avi;*.wma;*.asf;*.mkv;*.rmvb)\0*.mp3;*.mp4;*.avi;*.wma;*.asf;*.mkv;*.rmvb\0"
    "Executable/Shortcut Files (*.exe;*.lnk)\0*.exe;*.lnk\0"
    "Document Files (*.txt;*.rtf;*.doc)\0*.txt;*.rtf;*.doc\0"
    "All Files (*.*)\0*.*\0";

}  // namespace

bool EditorShell::FileExists(const std::string& path) { return FileIsThere(path); }

void EditorShell::PlaySoundFile(const std::string& path) {
    PlayWaveFile(path.c_str(), SND_FILENAME | SND_NODEFAULT | SND_ASYNC);
}

bool EditorShell::ChooseFile(HWND owner, FileKind kind, const std::string& initialFolder, std::string& path) {
    FileDialogRequest request;
    request.owner = owner;
    request.filter = kind == FileKind::Sound ? kSoundFilter : kLaunchFilter;
    request.initialFolder = initialFolder;
    request.flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    // The event keeps the path where the program reads MAX_PATH characters back.
    request.room = MAX_PATH;
    return AskFilePath(request, path);
}

bool SamePath(const std::string& a, const std::string& b) {
    const std::wstring wa = Wide(a);
    const std::wstring wb = Wide(b);
    return CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(), static_cast<int>(wb.size()),
                                TRUE) == CSTR_EQUAL;
}
