#include "sim/SimulatedBoard.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

#include "cards/CardCatalog.h"
#include "cards/DeviceManager.h"
#include "sim/BasicProgram.h"
#include "sim/BoardFigures.h"
#include "sim/ScriptProgram.h"

namespace {

constexpr uint8_t kEscape = 0x1b;
constexpr uint8_t kEndOfText = 0x04;
// A board's line buffer and its storage are small; random bytes must not grow them without end.
constexpr size_t kMaxLine = 1024;
constexpr size_t kMaxScript = 1 << 20;
// Immediate commands run at once, outside the clock; an endless one must not hang the editor.
constexpr int kMaxImmediateSteps = 100000;

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

// Words separated by single spaces, so "cat  uart >  ." is the same command.
std::string words(const std::string& text) {
    std::string out;
    bool space = false;
    for (char c : trimmed(text)) {
        if (c == ' ' || c == '\t') {
            space = true;
            continue;
        }
        if (space) {
            out += ' ';
            space = false;
        }
        out += c;
    }
    return out;
}

// Runs a program at once, without the clock and without a trace, as a board runs what is typed
// without a line number.
void runImmediately(BoardProgram& program, SimMachine& machine) {
    for (int i = 0; i < kMaxImmediateSteps; ++i) {
        const BoardProgram::Step step = program.step(machine);
        if (step.kind == BoardProgram::Step::End || step.kind == BoardProgram::Step::Error) {
            return;
        }
    }
}

}  // namespace

class SimulatedBoard::Impl {
public:
    explicit Impl(SimulatedBoard& board) : _board(board) {}

    void receive(uint8_t byte) {
        switch (_board._target) {
            case DeviceManager::LATTE:
                receiveLatte(byte);
                break;
            case DeviceManager::QUE:
                receiveQue();
                break;
            default:
                receiveJam(byte);
                break;
        }
    }

    void markSheetLine(int line) {
        if (_board._target == DeviceManager::LATTE && _mode == Capture) {
            _sheet = line;
            _sheetLines.back() = line;  // the text line that begins now
        } else if (_board._target == DeviceManager::QUE) {
            _sheet = line;
        }
    }

    void consoleEntry(const std::string& text) {
        if (_board._target != DeviceManager::QUE) {
            return;
        }
        // "12 beep();\n" becomes "beep();": the number is the entry's place in the image.
        size_t at = 0;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
            ++at;
        }
        if (at < text.size() && text[at] == ' ') {
            ++at;
        }
        std::string entry = text.substr(at);
        while (!entry.empty() && (entry.back() == '\n' || entry.back() == '\r')) {
            entry.pop_back();
        }
        std::replace(entry.begin(), entry.end(), '\n', ' ');
        _entries.push_back(entry);
        _entrySheets.push_back(_sheet);
    }

private:
    enum Mode { Shell, Capture, Interactive };

    SimMachine& machine() { return _board._machine; }

    void start(std::unique_ptr<BoardProgram> program) {
        machine().start(std::move(program));
        _board._started = true;
    }

    // Collects a typed line; true when `byte` ended one, which is then in `line`.
    bool typed(uint8_t byte, std::string& line) {
        if (byte == '\r' || byte == '\n') {
            line.swap(_line);
            _line.clear();
            return true;
        }
        if (byte == 0x08 || byte == 0x7f) {
            if (!_line.empty()) {
                _line.pop_back();
            }
        } else if ((byte >= 0x20 || byte == '\t') && _line.size() < kMaxLine) {
            _line += static_cast<char>(byte);
        }
        return false;
    }

    void receiveJam(uint8_t byte) {
        if (byte == kEscape) {
            _line.clear();
            // The board's break ends the program as if it had finished; "stop" is the editor's.
            machine().interrupt("end");
            return;
        }
        if (machine().running()) {
            machine().pushUart(byte);
            return;
        }
        std::string line;
        if (typed(byte, line)) {
            jamLine(trimmed(line));
        }
    }

    void jamLine(const std::string& text) {
        if (text.empty()) {
            return;
        }
        if (std::isdigit(static_cast<unsigned char>(text[0]))) {
            size_t at = 0;
            long number = 0;
            while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) &&
                   number <= 32767) {
                number = number * 10 + (text[at++] - '0');
            }
            if (number < 1 || number > 32767) {
                machine().print("Line error\n");
                return;
            }
            const std::string body = trimmed(text.substr(at));
            if (body.empty()) {
                _lines.erase(static_cast<int>(number));
            } else {
                _lines[static_cast<int>(number)] = body;
            }
            return;
        }
        const std::string command = upper(words(text));
        if (command == "NEW") {
            _lines.clear();
        } else if (command == "RUN") {
            start(std::make_unique<BasicProgram>(_lines));
        } else if (command.rfind("SAVE", 0) == 0 || command.rfind("LOAD", 0) == 0 ||
                   command == "LIST") {
            // Storage and listing change nothing the simulator shows.
        } else {
            BasicProgram immediate({{0, text}});
            runImmediately(immediate, machine());
        }
    }

    void receiveLatte(uint8_t byte) {
        if (_mode == Capture) {
            if (byte == kEndOfText) {
                _mode = Shell;
            } else if (_script.size() < kMaxScript) {
                _script += static_cast<char>(byte);
                if (byte == '\n') {
                    _sheetLines.push_back(_sheet);
                }
            }
            return;
        }
        if (machine().running()) {
            machine().pushUart(byte);
            return;
        }
        std::string line;
        if (!typed(byte, line)) {
            return;
        }
        if (_mode == Interactive) {
            if (!trimmed(line).empty()) {
                auto program = ScriptProgram::parse(line);
                runImmediately(*program, machine());
                if (program->exited()) {
                    _mode = Shell;
                }
            }
            return;
        }
        latteCommand(words(line));
    }

    void latteCommand(const std::string& command) {
        if (command == "cat uart > .") {
            _mode = Capture;
            _script.clear();
            _sheetLines.assign(1, 0);
            _sheet = 0;
        } else if (command == "ms .") {
            start(ScriptProgram::parse(_script, _sheetLines));
        } else if (command == "ms") {
            _mode = Interactive;
        }
    }

    void receiveQue() {
        const int32_t imageSize = CardCatalog::get().target(DeviceManager::QUE).imageSize;
        if (++_received < imageSize) {
            return;
        }
        // The image is complete: run the latte text its console showed, one entry a line.
        std::string script = "var i=0;var o=0;\n";
        std::vector<int> sheets = {0};
        for (size_t i = 0; i < _entries.size(); ++i) {
            script += _entries[i] + "\n";
            sheets.push_back(_entrySheets[i]);
        }
        _received = 0;
        _entries.clear();
        _entrySheets.clear();
        _sheet = 0;
        start(ScriptProgram::parse(script, sheets));
    }

    SimulatedBoard& _board;
    std::string _line;
    int _sheet = 0;
    // jam
    BasicProgram::Lines _lines;
    // latte
    Mode _mode = Shell;
    std::string _script;
    std::vector<int> _sheetLines{0};
    // que
    int32_t _received = 0;
    std::vector<std::string> _entries;
    std::vector<int> _entrySheets;
};

SimulatedBoard::SimulatedBoard(int target)
    : _target(target), _impl(std::make_unique<Impl>(*this)) {}

SimulatedBoard::~SimulatedBoard() = default;

void SimulatedBoard::receive(uint8_t byte) { _impl->receive(byte); }

void SimulatedBoard::receive(const std::string& bytes) {
    for (char c : bytes) {
        _impl->receive(static_cast<uint8_t>(c));
    }
}

void SimulatedBoard::markSheetLine(int line) { _impl->markSheetLine(line); }

void SimulatedBoard::consoleEntry(const std::string& text) { _impl->consoleEntry(text); }

namespace {

int64_t nanoseconds(double seconds) {
    if (!(seconds > 0)) {
        return 0;
    }
    return static_cast<int64_t>(std::llround(std::min(seconds, 9.0e9) * 1e9));
}

}  // namespace

bool SimulatedBoard::advance(double seconds, int64_t budget) {
    const int64_t ns = nanoseconds(seconds);
    const int64_t before = _machine.elapsed();
    _machine.run(ns, budget);
    return _machine.elapsed() - before >= ns;
}

void SimulatedBoard::runToEnd(double seconds) {
    const int64_t limit = nanoseconds(seconds);
    while (_machine.running()) {
        const int64_t remaining = limit - _machine.elapsed();
        if (remaining <= 0) {
            _machine.interrupt("timeout");
            break;
        }
        _machine.run(remaining, BoardFigures::kStatementsPerFrame);
    }
}

void SimulatedBoard::halt() { _machine.interrupt("stop"); }
