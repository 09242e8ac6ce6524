#pragma once

// Runs the built tolan tool in a test and collects what it printed: the
// command-line contract (exit code, stdout, stderr) is what these tests check.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace clitest {

struct TolanRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string readWhole(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A fresh folder of its own for one test, removed with it.
class TempFolder {
public:
    explicit TempFolder(const std::string& name)
        : m_path(std::filesystem::temp_directory_path() / ("tv-cli-" + std::to_string(::getpid()) + "-" + name))
    {
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder() { std::filesystem::remove_all(m_path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// Runs TV_TOLAN_PATH with the arguments (each quoted for the shell); stdout
// and stderr go to files in folder. A non-empty shellPrefix runs before it in
// the same shell (such as a ulimit the run is to meet).
inline TolanRun runTolan(const std::vector<std::string>& args, const std::filesystem::path& folder,
                         const std::string& shellPrefix = {})
{
    auto quote = [](const std::string& s) {
        std::string q = "'";
        for (char c : s)
            q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return q + "'";
    };
    std::string command = shellPrefix + quote(TV_TOLAN_PATH);
    for (const auto& arg : args)
        command += " " + quote(arg);
    const auto outPath = folder / "stdout.txt";
    const auto errPath = folder / "stderr.txt";
    command += " >" + quote(outPath.string()) + " 2>" + quote(errPath.string());
    const int status = std::system(command.c_str());
    TolanRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = readWhole(outPath);
    run.err = readWhole(errPath);
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return run;
}

} // namespace clitest
