#include <gtest/gtest.h>

#include <string>

#include "core/local_path.h"

namespace {

struct PathCase {
    std::string path;
    bool file;  // a local file path
    bool wave;  // and a WAV sound
};

TEST(LocalPath, OnlyLocalDrivePathsToAFilePass) {
    const std::string longest = "C:\\" + std::string(252, 'a') + ".wav";  // 259 bytes
    const PathCase cases[] = {
        {"C:\\Windows\\Media\\chimes.wav", true, true},
        {"d:/sounds/Bell.WAV", true, true},
        {"C:\\Tools\\agenda.exe", true, false},
        {"C:\\my..notes.txt", true, false},  // dots inside a name are no parent folder
        {longest, true, true},
        {longest + "x", false, false},
        {std::string(300, 'a'), false, false},
        {"", false, false},
        {"C:", false, false},
        {"C:\\", false, false},
        {"C:\\Media\\", false, false},         // a folder
        {"C:chime.wav", false, false},         // relative to the drive's current folder
        {"chime.wav", false, false},
        {"Media\\chime.wav", false, false},
        {"\\Media\\chime.wav", false, false},  // the current drive's root
        {"\\\\attacker.example\\share\\chime.wav", false, false},
        {"//attacker.example/share/chime.wav", false, false},
        {"\\\\?\\C:\\chime.wav", false, false},
        {"\\\\.\\PhysicalDrive0", false, false},
        {"\\??\\C:\\chime.wav", false, false},
        {"file://attacker.example/share/chime.wav", false, false},
        {"file:///C:/chime.wav", false, false},
        {"http://attacker.example/chime.wav", false, false},
        {"C:\\Media\\..\\..\\chime.wav", false, false},
        {"C:\\Media\\.. .\\chime.wav", false, false},
        {"C:/Media/../chime.wav", false, false},
        {"C:\\Media\\chime.wav:stream", false, false},
        {"C:\\Media\\*.wav", false, false},
        {"C:\\Media\\chime?.wav", false, false},
        {"C:\\Media\\chime\t.wav", false, false},
        {"C:\\Media\\NUL.wav", false, false},
        {"C:\\com1", false, false},
        {"C:\\aux .txt", false, false},
        {"C:\\console.wav", true, true},  // only the exact device names
        {"1:\\chime.wav", false, false},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(IsLocalFilePath(c.path), c.file) << c.path;
        EXPECT_EQ(IsLocalWavePath(c.path), c.wave) << c.path;
    }
}

}  // namespace
