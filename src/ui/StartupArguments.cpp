#include "ui/StartupArguments.h"

#include <QFileInfo>
#include <QTimer>

#include "ui/Form1.h"

namespace brindlewick {

StartupArguments ParseStartupArguments(const QStringList& arguments) {
    StartupArguments result;
    bool optionsEnded = false;
    QStringList files;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!optionsEnded && argument == QStringLiteral("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && argument.startsWith(QLatin1Char('-'))) {
            result.refused = true;
        } else {
            files.append(argument);
        }
    }
    if (files.size() > 1 || (files.size() == 1 && files.front().isEmpty())) {
        result.refused = true;
    }
    if (!result.refused && files.size() == 1) {
        // Absolute, so that the file stays the same one whatever folder is current later.
        result.file = QFileInfo(files.front()).absoluteFilePath();
    }
    return result;
}

void ShowAndOpen(Form1& window, const QString& file) {
    window.show();
    if (!file.isEmpty()) {
        QTimer::singleShot(0, &window, [&window, file] { window.OpenRomPath(file); });
    }
}

}  // namespace brindlewick
