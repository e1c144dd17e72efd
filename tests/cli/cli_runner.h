#pragma once
// Runs the built dotforge-cli (path from DOTFORGE_CLI) as a child process and
// collects its exit status, standard output and standard error.

#include "tests/support/test_workspace.h"

#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace dotforge::test {

struct CliRun {
    int status = -1; // exit status; -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// `dropEnv`: variables removed from the child's environment; `addEnv`:
// "NAME=value" entries added to it.
inline CliRun runCli(const std::vector<std::string> &args, const std::vector<std::string> &dropEnv = {},
    const std::vector<std::string> &addEnv = {})
{
    TempDir io;
    const std::string outPath = io.file("stdout");
    const std::string errPath = io.file("stderr");
    std::vector<std::string> words{DOTFORGE_CLI};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (auto &w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);

    std::vector<std::string> envWords;
    for (char **e = environ; *e; ++e) {
        const std::string entry = *e;
        bool dropped = false;
        for (const auto &name : dropEnv)
            dropped = dropped || entry.starts_with(name + "=");
        if (!dropped)
            envWords.push_back(entry);
    }
    envWords.insert(envWords.end(), addEnv.begin(), addEnv.end());
    std::vector<char *> envp;
    for (auto &w : envWords)
        envp.push_back(w.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    CliRun run;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
        int wstatus = 0;
        waitpid(pid, &wstatus, 0);
        run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = readFile(outPath);
    run.err = readFile(errPath);
    return run;
}

} // namespace dotforge::test
