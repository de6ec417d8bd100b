// Test entry point for the Windows builds.
//
// The Windows C runtime reads TZ in its own syntax and misreads an Olson name,
// while Wine maps the Olson TZ of the launching environment to the matching
// Windows zone. Clearing TZ before anything converts a time makes the runtime
// follow that Windows zone, as it does for the real program.
#include <cstdlib>
#include <ctime>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    _putenv("TZ=");
    _tzset();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
