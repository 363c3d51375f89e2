#include "app/CommandLine.h"

#include <cmath>
#include <cstdlib>
#include <ostream>

#include "app/HeadlessSimulation.h"
#include "cards/DeviceManager.h"
#include "sim/BoardFigures.h"

namespace {

// An hour of virtual time in a loop without a wait is already billions of statements.
constexpr double kMaxSeconds = 3600.0;

bool readSeconds(const std::string& text, double& seconds) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(value) || value <= 0 ||
        value > kMaxSeconds) {
        return false;
    }
    seconds = value;
    return true;
}

}  // namespace

CommandLine CommandLine::parse(int argc, const char* const* argv) {
    CommandLine line;
    line._seconds = BoardFigures::kDefaultSimulateSeconds;
    line._target = DeviceManager::JAM;
    bool targetGiven = false, secondsGiven = false;
    for (int i = 1; i < argc && line._mode != Mode::Invalid; ++i) {
        std::string option = argv[i];
        std::string value;
        bool joined = false;
        if (const size_t equals = option.find('=');
            option.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = option.substr(equals + 1);
            option.erase(equals);
            joined = true;
        }
        if (option == "--help" || option == "-h" || option == "--version") {
            line._mode = joined ? Mode::Invalid : option == "--version" ? Mode::Version : Mode::Help;
            line._error = joined ? option + " takes no value" : "";
            break;
        }
        if (option != "--simulate" && option != "--target" && option != "--seconds") {
            line.fail("unknown option " + option);
            break;
        }
        if (!joined) {
            if (i + 1 >= argc) {
                line.fail(option + " needs a value");
                break;
            }
            value = argv[++i];
        }
        targetGiven = targetGiven || option == "--target";
        secondsGiven = secondsGiven || option == "--seconds";
        line.take(option, value);
    }
    if (line._mode == Mode::Editor && (targetGiven || secondsGiven)) {
        line.fail("--target and --seconds go with --simulate FILE");
    }
    return line;
}

void CommandLine::take(const std::string& option, const std::string& value) {
    if (option == "--simulate") {
        if (value.empty()) {
            fail("--simulate needs a file");
            return;
        }
        _file = value;
        _mode = Mode::Simulate;
    } else if (option == "--target") {
        const char* const names[] = {"jam", "latte", "que"};
        _target = -1;
        for (int t = 0; t < 3; ++t) {
            _target = value == names[t] ? t : _target;
        }
        if (_target < 0) {
            fail("--target must be jam, latte or que, not \"" + value + "\"");
        }
    } else if (!readSeconds(value, _seconds)) {
        fail("--seconds must be a number above 0 and at most 3600, not \"" + value + "\"");
    }
}

void CommandLine::fail(const std::string& message) {
    _mode = Mode::Invalid;
    _error = message;
}

int CommandLine::run(std::ostream& out, std::ostream& err) const {
    switch (_mode) {
        case Mode::Help:
            out << usage();
            return 0;
        case Mode::Version:
            out << "tarnixworks-zoa " ZOA_VERSION "\n";
            return 0;
        case Mode::Invalid:
            err << "tarnixworks-zoa: " << _error << " (see --help)\n";
            return kBadInput;
        case Mode::Simulate: {
            std::string trace, message;
            if (!HeadlessSimulation::run(_file, _target, _seconds, trace, message)) {
                err << "tarnixworks-zoa: " << message << "\n";
                return kBadInput;
            }
            out << trace;
            return 0;
        }
        case Mode::Editor:
            break;
    }
    return 0;
}

std::string CommandLine::usage() {
    return "Usage: tarnixworks-zoa                 open the editor\n"
           "       tarnixworks-zoa --simulate FILE [--target jam|latte|que] [--seconds S]\n"
           "       tarnixworks-zoa --help | --version\n"
           "\n"
           "Options:\n"
           "  --simulate FILE  run the program in FILE (a program file from savedatas, or a\n"
           "                   program shared as a PNG) on the simulated board, without a window,\n"
           "                   and print its trace: one event a line, the virtual time first in\n"
           "                   milliseconds. Exit status 2 when FILE holds no program.\n"
           "  --target T       the board: jam (default), latte or que\n"
           "  --seconds S      stop the run after S virtual seconds (default 60, at most 3600)\n"
           "  --help           print this text\n"
           "  --version        print the version\n"
           "\n"
           "Environment:\n"
           "  ZOA_EXTRA_PORTS  serial device paths, separated by \":\", listed after the\n"
           "                   system's ports\n"
           "  ZOA_SYSTEM_PORTS \"none\": list none of the system's serial ports\n"
           "  ZOA_SIM_TRACE    a file the editor writes the trace of each simulated run to\n"
           "  ZOA_EXIT_AFTER_FIRST_FRAME  \"1\": end after the first frame (checks of a build)\n"
           "  ZOA_DRIVER_PIPE  a FIFO through which a test drives the editor: typed text and\n"
           "                   input-method compositions in, what the screen shows out\n"
           "  DISPLAY, WAYLAND_DISPLAY  the desktop the window opens on\n"
           "  SDL_VIDEODRIVER  \"offscreen\" runs the editor without a display\n"
           "  LC_ALL, LC_MESSAGES, LANG, LANGUAGE  Japanese texts when the language is \"ja\"\n"
           "  HOME, XDG_CONFIG_HOME  where the documents folder for shared pictures is found\n"
           "  XDG_DATA_HOME    where the saved programs live (tarnixworks-zoa's data folder)\n";
}
