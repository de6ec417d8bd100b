#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "platform/win32/trace.h"
#include "ui/wnd.h"

namespace {

class CThrowingWnd final : public CWnd {
    DECLARE_MESSAGE_TABLE()
public:
    bool Create() {
        WNDCLASSW wc = {};
        wc.lpszClassName = L"OrvThrowingWnd";
        RECT rc = {0, 0, 10, 10};
        return RegisterWindowClass(wc) && CreateEx(0, L"OrvThrowingWnd", "", WS_POPUP, rc, nullptr, 0);
    }

private:
    LRESULT OnUser(WPARAM, LPARAM) { throw std::runtime_error("disk on fire"); }
};

BEGIN_MESSAGE_TABLE(CThrowingWnd, CWnd)
    ON_MESSAGE(WM_USER, &CThrowingWnd::OnUser)
END_MESSAGE_TABLE()

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
    CThrowingWnd wnd;
    ASSERT_TRUE(wnd.Create());
    EXPECT_EQ(SendMessageA(wnd, WM_USER, 0, 0), 0);  // stopped, and traced
    wnd.DestroyWindow();

    SetEnvironmentVariableA("ORVCALENDAR_LOG", nullptr);
    EXPECT_FALSE(ORV_CHECK(FALSE));  // no file named: nothing appended

    const std::string text = ReadAll(log);
    EXPECT_NE(text.find("DeleteFileA(\"C:\\\\no such folder\\\\no such file\") failed at trace_test.cpp:"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(", error 3\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("ERROR_ACCESS_DENIED failed at trace_test.cpp:"), std::string::npos) << text;
    EXPECT_NE(text.find(", error 5\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("OrvCalendar: exception in window procedure: disk on fire\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("FALSE"), std::string::npos) << text;
    EXPECT_EQ(text.find("GetModuleHandleA"), std::string::npos) << text;
    DeleteFileA(log.c_str());
}

}  // namespace
