#include "cli/CliArgs.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace cli {

std::string trimTrailingBlanks(std::string_view text)
{
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return std::string(text);
}

bool Args::has(std::string_view name) const
{
    return std::any_of(options.begin(), options.end(), [&](const auto& o) { return o.first == name; });
}

std::string Args::get(std::string_view name, std::string fallback) const
{
    for (const auto& [key, value] : options) {
        if (key == name)
            return value;
    }
    return fallback;
}

std::string parseArgs(const std::vector<std::string>& argv,
                      const std::vector<std::string_view>& flagOptions,
                      const std::vector<std::string_view>& valueOptions,
                      Args& out)
{
    auto contains = [](const auto& list, std::string_view s) {
        return std::find(list.begin(), list.end(), s) != list.end();
    };
    bool onlyPositional = false;
    for (std::size_t i = 0; i < argv.size(); ++i) {
        const std::string& arg = argv[i];
        if (onlyPositional || arg.size() < 2 || arg[0] != '-') {
            out.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyPositional = true;
            continue;
        }
        if (contains(flagOptions, arg)) {
            out.options.emplace_back(arg, "");
        } else if (contains(valueOptions, arg)) {
            if (i + 1 >= argv.size())
                return "option " + arg + " needs a value";
            out.options.emplace_back(arg, argv[++i]);
        } else {
            return "unknown option " + arg;
        }
    }
    return {};
}

std::vector<std::string> expandInputs(const std::vector<std::string>& paths, std::string& error)
{
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    for (const auto& path : paths) {
        std::error_code ec;
        auto status = fs::status(path, ec);
        if (ec || !fs::exists(status)) {
            error = "cannot open " + path;
            files.push_back(path); // reported per file by the caller's reader
            continue;
        }
        if (!fs::is_directory(status)) {
            files.push_back(path);
            continue;
        }
        std::vector<std::string> inDir;
        for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code fileEc;
            if (it->is_regular_file(fileEc))
                inDir.push_back(it->path().string());
        }
        std::sort(inDir.begin(), inDir.end());
        files.insert(files.end(), inDir.begin(), inDir.end());
    }
    return files;
}

} // namespace cli
