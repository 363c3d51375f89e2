#pragma once

#include <iosfwd>
#include <string>

// What the editor's binary was asked on its command line: the editor itself (no arguments),
// its usage or version, or a program file run on the simulated board without a window, its
// trace printed.
class CommandLine {
public:
    enum class Mode { Editor, Help, Version, Simulate, Invalid };
    // The status of a bad option, or of a file that holds no program.
    static constexpr int kBadInput = 2;

    static CommandLine parse(int argc, const char* const* argv);

    Mode mode() const { return _mode; }
    const std::string& file() const { return _file; }
    int target() const { return _target; }
    double seconds() const { return _seconds; }
    const std::string& error() const { return _error; }

    // Carries out everything but the editor; the process's exit status.
    int run(std::ostream& out, std::ostream& err) const;
    static std::string usage();

private:
    void take(const std::string& option, const std::string& value);
    void fail(const std::string& message);

    Mode _mode = Mode::Editor;
    std::string _file;
    int _target = 0;
    double _seconds = 0;
    std::string _error;
};
