#include "editor/StartupArguments.h"

#include <filesystem>
#include <system_error>

#include "platform/FileAccess.h"

namespace brindlewick {

StartupArguments ParseStartupArguments(const std::vector<std::string>& arguments) {
    StartupArguments result;
    bool optionsEnded = false;
    std::vector<std::string> files;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && !argument.empty() && argument.front() == '-') {
            result.refused = true;
        } else {
            files.push_back(argument);
        }
    }
    if (files.size() > 1 || (files.size() == 1 && files.front().empty())) {
        result.refused = true;
    }
    if (!result.refused && files.size() == 1) {
        // Absolute, so that the file stays the same one whatever folder is current later.
        std::error_code error;
        const std::filesystem::path absolute =
            std::filesystem::absolute(PathFromUtf8(files.front()), error);
        if (error) {
            result.file = files.front();
        } else {
            const std::u8string text = absolute.lexically_normal().u8string();
            result.file.assign(text.begin(), text.end());
        }
    }
    return result;
}

StartupArguments ParseDroppedFiles(const std::vector<std::string>& paths) {
    if (paths.size() != 1) {
        return {true, {}};
    }
    // As a command line naming that one file after the end of the options.
    return ParseStartupArguments({std::string(), "--", paths.front()});
}

}  // namespace brindlewick
