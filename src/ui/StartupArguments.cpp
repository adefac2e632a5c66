#include "ui/StartupArguments.h"

#include <QTimer>

#include "ui/Form1.h"

namespace brindlewick {

StartupArguments ParseStartupArguments(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 0; i < argc && argv[i] != nullptr; ++i) {
        arguments.emplace_back(argv[i]);
    }
    return ParseStartupArguments(arguments);
}

void ShowAndOpen(Form1& window, const std::string& file) {
    window.show();
    if (!file.empty()) {
        QTimer::singleShot(0, &window, [&window, file] { window.OpenRomPath(file); });
    }
}

}  // namespace brindlewick
