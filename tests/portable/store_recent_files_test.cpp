#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory/memory_registry.h"
#include "store/recent_files.h"
#include "store/registry_paths.h"

namespace {

using namespace std::string_literals;

std::vector<std::string> Strings(const RecentFiles& files) { return {files.begin(), files.end()}; }

std::string Numbered(int count) {
    std::string data;
    for (int i = 1; i <= count; ++i) data += "C:\\s\\" + std::to_string(i) + ".wav" + '\0';
    return data + '\0';
}

TEST(RecentFilesTest, ParsesUntrustedValuesSafely) {
    struct Case {
        std::string data;
        std::vector<std::string> files;
    } cases[] = {
        {"C:\\a.wav\0D:\\b.wav\0\0"s, {"C:\\a.wav", "D:\\b.wav"}},
        {"C:\\a.wav\0D:\\b.wav\0"s, {"C:\\a.wav", "D:\\b.wav"}},  // no final empty string
        {"C:\\a.wav\0D:\\b.wav"s, {"C:\\a.wav", "D:\\b.wav"}},    // no terminating zero at all
        {"C:\\a.wav\0\0D:\\b.wav\0\0"s, {"C:\\a.wav"}},           // an empty string ends the list
        {"\0C:\\a.wav\0"s, {}},
        {""s, {}},
        {Numbered(12), {}},  // filled below: only the first 10
        // A path no event could keep is passed over.
        {std::string(260, 'p') + "\0"s + std::string(259, 'q') + "\0C:\\a.wav\0\0"s, {std::string(259, 'q'), "C:\\a.wav"}},
    };
    for (int i = 1; i <= 10; ++i) cases[6].files.push_back("C:\\s\\" + std::to_string(i) + ".wav");
    for (const Case& c : cases) EXPECT_EQ(Strings(ParseRecentFiles(c.data)), c.files) << c.data;
}

TEST(RecentFilesTest, FormatsAtMostTenWithTheFinalZero) {
    EXPECT_EQ(FormatRecentFiles({"C:\\a.wav", "b"}), "C:\\a.wav\0b\0\0"s);
    EXPECT_EQ(FormatRecentFiles(ParseRecentFiles(Numbered(12))), Numbered(10));
    RecentFiles twelve;
    for (int i = 1; i <= 12; ++i) twelve.push_back("C:\\s\\" + std::to_string(i) + ".wav");
    EXPECT_EQ(FormatRecentFiles(twelve), Numbered(10));
}

class RecentFilesRegistryTest : public testing::Test {
protected:
    MemoryRegistry memory;
    RecentFiles sounds{"stale"};
    RecentFiles launches{"stale"};
    const std::string user = std::string(kUserKeyPath) + "\\" + std::string(kUserId);

    void Store(const char* name, const std::string& data) {
        const RegKey key = RegKey::Create(memory, user, RegAccess::All);
        ASSERT_TRUE(memory.SetValue(key.Handle(), name, RegType::MultiSz, data.data(),
                                    static_cast<std::uint32_t>(data.size())));
    }
    std::string Peek(const char* name) {
        RegType type{};
        std::string bytes;
        if (!memory.Peek(user, name, type, bytes)) return "absent";
        EXPECT_EQ(type, RegType::MultiSz);
        return bytes;
    }
};

TEST_F(RecentFilesRegistryTest, ReadAndWrittenBack) {
    LoadRecentFiles(memory, "", sounds, launches);
    EXPECT_TRUE(sounds.empty() && launches.empty());  // no installation folder: no default sound
    LoadRecentFiles(memory, "C:\\Cal\\", sounds, launches);
    EXPECT_EQ(Strings(sounds), std::vector<std::string>{"C:\\Cal\\snd\\clock.wav"});

    // A value that fills the buffer is read; one byte more and it counts as absent.
    const std::string fits = std::string(kMaxRecentPath, 'x') + std::string(kRecentFilesBuffer - kMaxRecentPath, '\0');
    Store("SoundFiles", "y"s + fits);
    Store("LaunchFiles", fits);
    LoadRecentFiles(memory, "C:\\Cal\\", sounds, launches);
    EXPECT_EQ(Strings(sounds), std::vector<std::string>{"C:\\Cal\\snd\\clock.wav"});
    EXPECT_EQ(Strings(launches), std::vector<std::string>{std::string(kMaxRecentPath, 'x')});
    // No default sound in a folder that leaves it no room.
    Store("SoundFiles", "\0"s);
    LoadRecentFiles(memory, "C:\\"s + std::string(242, 'd') + "\\", sounds, launches);
    EXPECT_EQ(Strings(sounds), std::vector<std::string>{"C:\\"s + std::string(242, 'd') + "\\snd\\clock.wav"});
    LoadRecentFiles(memory, "C:\\"s + std::string(243, 'd') + "\\", sounds, launches);
    EXPECT_TRUE(sounds.empty());

    Store("SoundFiles", Numbered(12));
    LoadRecentFiles(memory, "C:\\Cal\\", sounds, launches);
    SaveRecentFiles(memory, sounds, {});
    EXPECT_EQ(Peek("SoundFiles"), Numbered(10));
    EXPECT_EQ(Peek("LaunchFiles"), "absent");  // an empty list deletes its value
}

}  // namespace
