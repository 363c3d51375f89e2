#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "support/TempDir.h"

// Runs the editor's binary as a user would start it, but always in a network namespace of its
// own, from a clean environment (only what the test names), with a time limit.
namespace editor {

struct Outcome {
    int status = -1;  // the exit status; 124 when the time limit ended it
    std::string out;
    std::string err;
};

inline std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// environment: assignments such as "SDL_VIDEODRIVER=offscreen", separated by spaces; paths must
// not hold quotes or spaces, nor must `arguments`. `home`, when given, is the home directory.
inline Outcome run(const std::string& binary, const std::string& environment,
                   const std::string& workingDirectory, int seconds,
                   const std::string& arguments = "", const TempDir* givenHome = nullptr) {
    TempDir ownHome;
    const TempDir& home = givenHome ? *givenHome : ownHome;
    const std::string out = home.path() + "stdout", err = home.path() + "stderr";
    const std::string command = "cd '" + workingDirectory + "' && env -i HOME=" + home.path() +
                                " XDG_DATA_HOME=" + home.path() + "data " + environment +
                                " timeout -k 5 " + std::to_string(seconds) + " unshare -n '" +
                                binary + "' " + arguments + " >'" + out + "' 2>'" + err + "'";
    Outcome outcome;
    const int status = std::system(command.c_str());
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.out = readAll(out);
    outcome.err = readAll(err);
    return outcome;
}

}  // namespace editor
