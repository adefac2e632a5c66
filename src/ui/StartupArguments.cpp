#include "ui/StartupArguments.h"

#include <QTimer>

#include "ui/Form1.h"

namespace brindlewick {

StartupArguments ParseStartupArguments(const QStringList& arguments) {
    std::vector<std::string> utf8;
    utf8.reserve(static_cast<std::size_t>(arguments.size()));
    for (const QString& argument : arguments) {
        utf8.push_back(argument.toStdString());
    }
    return ParseStartupArguments(utf8);
}

void ShowAndOpen(Form1& window, const std::string& file) {
    window.show();
    if (!file.empty()) {
        const QString path = QString::fromStdString(file);
        QTimer::singleShot(0, &window, [&window, path] { window.OpenRomPath(path); });
    }
}

}  // namespace brindlewick
