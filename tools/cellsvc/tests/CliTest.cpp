// Runs the real cellsvc program: import the sample, serve it, ask it, stop it by signal.
#include "tools/cellsvc/tests/TestSupport.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

using namespace cellsvc::test;

namespace
{

// A child process with its standard output on a pipe.
class Program
{
public:
    explicit Program(std::vector<std::string> args)
    {
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe failed");
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::dup2(out[1], STDERR_FILENO);
            std::vector<char*> argv{const_cast<char*>(CELLSVC_BINARY)};
            for (std::string& arg : args) {
                argv.push_back(arg.data());
            }
            argv.push_back(nullptr);
            ::execv(CELLSVC_BINARY, argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        output_ = ::fdopen(out[0], "r");
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        std::fclose(output_);
    }

    // The next line of output; empty at its end.
    std::string line()
    {
        char buffer[4096];
        return std::fgets(buffer, sizeof buffer, output_) ? buffer : "";
    }
    std::string rest()
    {
        std::string all;
        for (std::string l = line(); !l.empty(); l = line()) {
            all += l;
        }
        return all;
    }
    void signal(int number) { ::kill(pid_, number); }
    int exitCode()
    {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    pid_t pid_ = -1;
    std::FILE* output_ = nullptr;
};

unsigned portOf(const std::string& readyLine)
{
    const auto colon = readyLine.find(':', readyLine.find("http://") + 5);
    return colon == std::string::npos ? 0u : std::stoul(readyLine.substr(colon + 1));
}

TEST(Cli, ImportsTheSampleAndReportsBadLines)
{
    TempDir dir;
    Program import({"import", kSample, dir.file("cells.db")});
    const std::string output = import.rest();
    EXPECT_EQ(import.exitCode(), 0) << output;
    EXPECT_NE(output.find("read 395 rows"), std::string::npos) << output;
    EXPECT_NE(output.find("392 added or updated"), std::string::npos) << output;
    EXPECT_NE(output.find("line 40: lat \"91.500000\" is not a latitude"), std::string::npos);
    EXPECT_NE(output.find("line 120: "), std::string::npos);
    EXPECT_NE(output.find("line 300: "), std::string::npos);
}

class ServeUntil : public testing::TestWithParam<int>
{
};

TEST_P(ServeUntil, TheSignalStopsItCleanly)
{
    TempDir dir;
    const std::string database = dir.file("cells.db");
    Program import({"import", kSample, database});
    ASSERT_EQ(import.exitCode(), 0);

    Program serve({"serve", database, "--listen", "127.0.0.1:0"});
    const std::string ready = serve.line();
    ASSERT_NE(ready.find("serving 392 cells"), std::string::npos) << ready;
    Client client(portOf(ready));
    EXPECT_EQ(
        client.get("/cellid_location/?&cellid=314&operatorid=1&countrycode=250&lac=78").status,
        200);

    serve.signal(GetParam());
    EXPECT_NE(serve.rest().find("stopped on"), std::string::npos);
    EXPECT_EQ(serve.exitCode(), 0);
    EXPECT_TRUE(client.closedByServer());
}

INSTANTIATE_TEST_SUITE_P(Cli, ServeUntil, testing::Values(SIGINT, SIGTERM), [](const auto& info) {
    return info.param == SIGINT ? "Sigint" : "Sigterm";
});

TEST(Cli, ServeRefusesAMissingDatabaseWithoutCreatingIt)
{
    TempDir dir;
    Program serve({"serve", dir.file("none.db"), "--listen", "127.0.0.1:0"});
    const std::string output = serve.rest();
    EXPECT_EQ(serve.exitCode(), 1);
    EXPECT_NE(output.find("none.db"), std::string::npos) << output;
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.db")));
}

} // namespace
