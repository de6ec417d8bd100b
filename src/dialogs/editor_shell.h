#pragma once
#include <windows.h>

#include <string>

// What the event editor asks of the system besides its own controls: file
// existence, trying a sound and the open-file dialog. Tests replace parts.
class EditorShell {
public:
    enum class FileKind { Sound, Launch };

    virtual ~EditorShell() = default;
    // FindFirstFileA finds it.
    virtual bool FileExists(const std::string& path);
    // Played asynchronously, never the system's default sound instead; a new
    // sound stops the one playing.
    virtual void PlaySoundFile(const std::string& path);
    // The open-file dialog with the kind's filters; false when cancelled.
    virtual bool ChooseFile(HWND owner, FileKind kind, const std::string& initialFolder, std::string& path);
};

// Paths compare as the file system compares them: ignoring case, character
// by character in the ANSI code page.
bool SamePath(const std::string& a, const std::string& b);
