#include "TestDeadline.h"

#include <QApplication>
#include <gtest/gtest.h>

// Widgets need an application object; tests run under the offscreen platform. No test may run
// longer than SC_TEST_SECONDS (default 30), well inside ctest's limit for the whole binary; a
// death test's child ends with it.
int main(int argc, char** argv) {
    sc::test::endDeathTestChildrenWithTheirParent(argc, argv);
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    bool given = false;
    const int seconds = qEnvironmentVariableIntValue("SC_TEST_SECONDS", &given);
    // Owned by gtest's listener list, which outlives the run.
    ::testing::UnitTest::GetInstance()->listeners().Append(
        new sc::test::TestDeadline(std::chrono::seconds(given && seconds > 0 ? seconds : 30)));
    return RUN_ALL_TESTS();
}
