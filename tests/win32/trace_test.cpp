#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "platform/win32/trace.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(Trace, FailedCallsGoToTheLogFileWithWhereAndWhy) {
    char dir[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof dir, dir), 0u);
    const std::string log = std::string(dir) + "orv_trace_test.log";
    DeleteFileA(log.c_str());
    SetEnvironmentVariableA("ORVCALENDAR_LOG", log.c_str());

    EXPECT_TRUE(ORV_CHECK(GetModuleHandleA(nullptr) != nullptr));
    EXPECT_FALSE(ORV_CHECK(DeleteFileA("C:\\no such folder\\no such file")));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));  // the caller still reads the error
    EXPECT_FALSE(ORV_CHECK_STATUS(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(ORV_CHECK_STATUS(ERROR_SUCCESS));

    SetEnvironmentVariableA("ORVCALENDAR_LOG", nullptr);
    EXPECT_FALSE(ORV_CHECK(FALSE));  // no file named: nothing appended

    const std::string text = ReadAll(log);
    EXPECT_NE(text.find("DeleteFileA(\"C:\\\\no such folder\\\\no such file\") failed at trace_test.cpp:"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(", error 3\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("ERROR_ACCESS_DENIED failed at trace_test.cpp:"), std::string::npos) << text;
    EXPECT_NE(text.find(", error 5\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("FALSE"), std::string::npos) << text;
    EXPECT_EQ(text.find("GetModuleHandleA"), std::string::npos) << text;
    DeleteFileA(log.c_str());
}

}  // namespace
