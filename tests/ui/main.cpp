// Runs every registered widget test class. The file dialog keeps settings and history in the
// user's folders, so the whole run gets a temporary home that is removed afterwards.
#include <QApplication>
#include <QTest>

#include "support/TestSupport.h"
#include "support/UiTestSupport.h"

int main(int argc, char* argv[]) {
    const brindlewick::test::TempDir home;
    const QByteArray homePath = QByteArray::fromStdString(home.Path().string());
    qputenv("HOME", homePath);
    qputenv("XDG_CONFIG_HOME", homePath + "/config");
    qputenv("XDG_CACHE_HOME", homePath + "/cache");
    qputenv("XDG_DATA_HOME", homePath + "/data");

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brindlewick"));
    QApplication::setApplicationDisplayName(QStringLiteral("Brindlewick"));

    // BRINDLEWICK_UI_TEST_CLASS=MainWindowTest runs that class alone (the usual Qt Test
    // arguments, such as a test function's name, then apply to it).
    const QByteArray only = qgetenv("BRINDLEWICK_UI_TEST_CLASS");
    int failures = 0;
    for (const auto& makeTest : brindlewick::test::RegisteredTestClasses()) {
        const auto test = makeTest();
        const QByteArray name = test->metaObject()->className();
        if (only.isEmpty() || name.endsWith("::" + only)) {
            failures += QTest::qExec(test.get(), argc, argv);
        }
    }
    return failures == 0 ? 0 : 1;
}
