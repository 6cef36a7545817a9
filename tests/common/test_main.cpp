#include "TestDeadline.h"
#include "platform/FileWrites.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <optional>

// Widgets need an application object; tests run under the offscreen platform. No test may run
// longer than SC_TEST_SECONDS (default 30), well inside ctest's limit for the whole binary; a
// death test's child ends with it. SC_TEST_NAMED_TEMPORARIES=1 writes every file as on a file
// system without unnamed files.
int main(int argc, char** argv) {
    sc::test::endDeathTestChildrenWithTheirParent(argc, argv);
    std::optional<sc::fileops::NamedTemporariesOnly> namedTemporaries;
    if (qEnvironmentVariableIntValue("SC_TEST_NAMED_TEMPORARIES") == 1)
        namedTemporaries.emplace();
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
