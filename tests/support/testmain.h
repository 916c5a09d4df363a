#pragma once

#include <QApplication>
#include <QTest>

namespace rvktest {
// Before the application exists: offscreen platform, a private temporary
// working directory and private settings locations, so no test touches the
// user's files, native settings or "RVKReport.ini".
void prepareEnvironment();
// After the application exists: a desktop-services handler that records
// every URL instead of opening a browser, and the SSU looked for at the
// test database with no password to be had (SsuEndpoints).
void prepareApplication();
// The temporary directory the test runs in.
QString workDir();
} // namespace rvktest

#define RVK_TEST_MAIN(TestObject)                                                                                      \
    int main(int argc, char *argv[])                                                                                   \
    {                                                                                                                  \
        rvktest::prepareEnvironment();                                                                                 \
        QApplication application(argc, argv);                                                                          \
        rvktest::prepareApplication();                                                                                 \
        TestObject testObject;                                                                                         \
        return QTest::qExec(&testObject, argc, argv);                                                                  \
    }
