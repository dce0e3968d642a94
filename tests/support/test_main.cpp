#include "watchdog.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    // ctest kills at its own timeout; end a little earlier from inside so Wine leaves no orphan.
    unsigned seconds = 110;
    if (const char* env = std::getenv("VANTREL_WATCHDOG_SECONDS")) {
        const int value = std::atoi(env);
        if (value > 15)
            seconds = static_cast<unsigned>(value - 10);
    }
    StartWatchdog(seconds);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
