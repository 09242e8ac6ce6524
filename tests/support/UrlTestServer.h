#pragma once

// A server of tests/scripts/url_test_server.py on 127.0.0.1, started for
// one test and killed when it goes out of scope.

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

class UrlTestServer {
public:
    // Exit code of the script when a Python module it needs is missing.
    static constexpr int MissingModule = 77;

    // mode: "http", "https" or "ftp"; extra: the certificate folder for https.
    UrlTestServer(const std::string& mode, const std::string& root, const std::string& extra = {})
    {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0)
            return;
        const std::string script = TV_SOURCE_DIR "/tests/scripts/url_test_server.py";
        // Debian's Python: the one whose packages deps.sh installs.
        const char* python = ::access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3";
        std::vector<std::string> args{ python, script, mode, root };
        if (!extra.empty())
            args.push_back(extra);
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(pipeFds[1], STDOUT_FILENO);
            ::close(pipeFds[0]);
            ::close(pipeFds[1]);
            std::vector<char*> argv;
            for (std::string& arg : args)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            ::execvp(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(pipeFds[1]);
        readPort(pipeFds[0]);
        ::close(pipeFds[0]);
    }
    ~UrlTestServer()
    {
        if (m_pid > 0 && m_exitCode < 0) {
            ::kill(m_pid, SIGTERM);
            int status = 0;
            ::waitpid(m_pid, &status, 0);
        }
    }
    UrlTestServer(const UrlTestServer&) = delete;
    UrlTestServer& operator=(const UrlTestServer&) = delete;

    // 0 when the server did not start; then exitCode() tells why.
    int port() const { return m_port; }
    int exitCode() const { return m_exitCode; }
    std::string base(const std::string& scheme = "http") const
    {
        return scheme + "://127.0.0.1:" + std::to_string(m_port);
    }

private:
    void readPort(int fd)
    {
        std::string line;
        pollfd wait{ fd, POLLIN, 0 };
        while (line.find('\n') == std::string::npos && ::poll(&wait, 1, 30000) > 0) {
            char buffer[64];
            const ssize_t count = ::read(fd, buffer, sizeof buffer);
            if (count <= 0)
                break;
            line.append(buffer, static_cast<std::size_t>(count));
        }
        if (line.rfind("PORT ", 0) == 0) {
            m_port = std::stoi(line.substr(5));
            return;
        }
        ::kill(m_pid, SIGTERM);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    }

    pid_t m_pid = -1;
    int m_port = 0;
    int m_exitCode = -1;
};
