#include "support/QtTestMain.h"

#include <QStandardPaths>

namespace brindlewick::test {

void PrepareQtTestProcess() {
    QStandardPaths::setTestModeEnabled(true);
    QApplication::setApplicationName(QStringLiteral("Brindlewick"));
    QApplication::setApplicationDisplayName(QStringLiteral("Brindlewick"));
}

}  // namespace brindlewick::test
