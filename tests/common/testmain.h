#pragma once

// qcd_add_test includes this file ahead of every test source, so QTEST_MAIN and
// QTEST_GUILESS_MAIN in the tests run with the shared message capture (messagecapture.h).

#include "messagecapture.h"

#include <QtTest/qtest.h>

#if defined(QT_WIDGETS_LIB)
#include <QApplication>
#define QCD_TEST_APPLICATION QApplication
#elif defined(QT_GUI_LIB)
#include <QGuiApplication>
#define QCD_TEST_APPLICATION QGuiApplication
#else
#define QCD_TEST_APPLICATION QCoreApplication
#endif

#define QCD_TEST_MAIN(Application, TestObject)                                                     \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        QT_PREPEND_NAMESPACE(QTest::Internal::callInitMain)<TestObject>();                         \
        Application app(argc, argv);                                                               \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTest::setMainSourcePath(__FILE__);                                                        \
        return MessageCapture::runTests(&tc, argc, argv);                                          \
    }

#undef QTEST_MAIN
#define QTEST_MAIN(TestObject) QCD_TEST_MAIN(QCD_TEST_APPLICATION, TestObject)
#undef QTEST_GUILESS_MAIN
#define QTEST_GUILESS_MAIN(TestObject) QCD_TEST_MAIN(QCoreApplication, TestObject)
