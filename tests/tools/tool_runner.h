#pragma once
// Runs the built marovin-tool as a separate process with exact arguments (no shell), and
// collects its exit status, standard output and standard error.

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>

#include <fstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "testkit/temp_folder.h"

namespace marovin::tool::testing {

// An old-format game: a Big5 subject, a note on the start and on the first move, and a
// branch for Black's first reply (main line H7-E7 B0-C2, side line B9-C7).
inline const std::string kSampleGameFile = "GAME\r\n"
                                             "TIME    0\t0\t600\t540\r\n"
                                             "SUBJECT \xA4\xA4\xB0\xEA test\r\n" // 中國
                                             "RESULT  Unknown\r\n"
                                             "RED     alice; 1500\r\n"
                                             "BLACK   bob; 1480\r\n"
                                             "DATE    2024-03-05\r\n"
                                             "PLACE   club\r\n"
                                             "START\r\n"
                                             "#start note\r\n"
                                             "H2-E2\r\n"
                                             "#central cannon\r\n"
                                             "#second line\r\n"
                                             "BB\r\n"
                                             "H7-E7\r\n"
                                             "B0-C2\r\n"
                                             "BE\r\n"
                                             "BB\r\n"
                                             "B9-C7\r\n"
                                             "BE\r\n";

struct ToolRun {
    int status = -1; // exit status; -1 when the program did not exit normally
    std::string out;
    std::string err;
};

inline std::string ToolPath()
{
    return std::string(MAROVIN_BINARY_DIR) + "/bin/marovin-tool";
}

inline ToolRun RunToolProgram(const std::vector<std::string>& arguments,
                              const std::string& program = ToolPath())
{
    testkit::TempFolder folder;
    const std::string outPath = folder.file("out"), errPath = folder.file("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ToolRun run;
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        int wstatus = 0;
        waitpid(pid, &wstatus, 0);
        run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = testkit::TempFolder::read(outPath);
    run.err = testkit::TempFolder::read(errPath);
    return run;
}

// A scripted engine in folder: a normal handshake, the shell lines onGo on every "go", and,
// when log is given, every line it gets appended to that file.
inline std::string WriteScriptedEngine(const testkit::TempFolder& folder, const std::string& name,
                                       const std::string& onGo, const std::string& log = {})
{
    const std::string path = folder.file(name);
    std::ofstream(path) << "#!/bin/sh\n"
                           "while read line; do\n"
                        << (log.empty() ? "" : "  echo \"$line\" >> '" + log + "'\n")
                        << "  case \"$line\" in\n"
                           "    uci) echo 'id name scripted'; echo uciok ;;\n"
                           "    isready) echo readyok ;;\n"
                           "    go*) " << onGo << " ;;\n"
                           "    quit) exit 0 ;;\n"
                           "  esac\n"
                           "done\n";
    ::chmod(path.c_str(), 0755);
    return path;
}

} // namespace marovin::tool::testing
