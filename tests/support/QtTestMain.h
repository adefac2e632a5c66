// The main of a widget test program, one per test class:
//
//     BRINDLEWICK_QTEST_MAIN(brindlewick::test::EditingTest)
//
// at the end of the file, after the class and its moc include. The program runs on the
// platform the environment names (CTest sets the offscreen one) with QStandardPaths in test
// mode, so that settings and caches go to test folders rather than the user's own.
#pragma once

#include <QApplication>
#include <QTest>

namespace brindlewick::test {

// Test mode for QStandardPaths and the application's names, before the application exists.
void PrepareQtTestProcess();

}  // namespace brindlewick::test

#define BRINDLEWICK_QTEST_MAIN(TestClass)            \
    int main(int argc, char* argv[]) {               \
        ::brindlewick::test::PrepareQtTestProcess(); \
        QApplication application(argc, argv);        \
        TestClass test;                              \
        return QTest::qExec(&test, argc, argv);      \
    }
