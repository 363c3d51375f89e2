#include "cards/CodeGenerator.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <locale>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "cards/DeviceManager.h"

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The catalog rejects a tab outside its tables; a card that names one contributes nothing
// rather than ending the transfer thread.
CodeFragment catalogFragment(int32_t index, int32_t tab) {
    try {
        return DeviceManager::getInstance()->codeFragment(index, tab);
    } catch (const std::out_of_range&) {
        return CodeFragment();
    }
}

// Writes `value` as 16 bits, low byte first, when the patch asks for two bytes that fit.
void patch16(std::vector<uint8_t>& bytes, const CodeFragment::Patch& where, int32_t value) {
    auto size = where.find("size");
    auto position = where.find("position");
    if (size == where.end() || size->second != 2 || position == where.end()) {
        return;
    }
    const int32_t at = position->second;
    if (at < 0 || static_cast<size_t>(at) + 2 > bytes.size()) {
        return;
    }
    bytes[at] = static_cast<uint8_t>(value & 0xFF);
    bytes[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

int32_t truncateToInt(double value) {
    if (!(value > static_cast<double>(INT32_MIN) - 1.0)) {
        return std::isnan(value) ? 0 : INT32_MIN;
    }
    if (value >= static_cast<double>(INT32_MAX) + 1.0) {
        return INT32_MAX;
    }
    return static_cast<int32_t>(value);
}

// The state of one byte-image run.
class ByteImageRun {
public:
    ByteImageRun(CodeSink& sink, const CodeGenerator::FragmentLookup& lookup)
        : _sink(sink), _lookup(lookup), _pause(DeviceManager::getInstance()->defaultCharDelay()) {}

    // `sheetLine` is the line (from 1) when the slot is its line's first card, else 0.
    void slot(const CardProgram::Slot& slot, int sheetLine) {
        if (!slot) {
            ++_emptyRun;
            return;
        }
        // The fill of empty places before this card belongs to the lines before it.
        flushEmptyRun();
        if (sheetLine > 0) {
            _sink.lineStarts(sheetLine);
        }
        card(*slot);
    }

    void pad() {
        auto* device = DeviceManager::getInstance();
        while (_written < device->imageSize() && !_sink.aborted()) {
            _sink.sendByte(static_cast<uint8_t>(device->padByte()), _pause, true);
            ++_written;
        }
    }

private:
    void write(uint8_t value) {
        if (_sink.sendByte(value, _pause, false)) {
            ++_written;
        }
    }

    void flushEmptyRun() {
        auto* device = DeviceManager::getInstance();
        for (int32_t e = 0; e < _emptyRun; ++e) {
            const int32_t count = device->fillCount();
            for (int32_t i = 0; i < count; ++i) {
                write(static_cast<uint8_t>(device->fillByte()));
            }
            _sink.log(std::to_string(_position + e + 1) + "\n");
        }
        _position += _emptyRun;
        _emptyRun = 0;
    }

    void card(const CardProgram::Card& card) {
        const CodeFragment fragment = _lookup(card.index, card.tab);
        std::string text = fragment.code;
        std::vector<uint8_t> bytes = fragment.byteCode;

        bool loopClosed = false;
        if (const CodeFragment* open = matchingLoop(card)) {
            const int32_t start = open->loopPosition;
            _loops.erase(_loops.begin() + (open - _loops.data()));
            auto line = fragment.patches.find("line");
            if (line == fragment.patches.end()) {
                ++_emptyRun;
                return;
            }
            patch16(bytes, line->second, start);
            if (!fragment.placeholder.empty()) {
                const float count = static_cast<float>(start + 1) * fragment.scale;
                text = CodeGenerator::replacePlaceholder(text, fragment.placeholder,
                                                         CodeGenerator::formatNumber(count));
            }
            loopClosed = true;
        }
        const double number = CodeGenerator::readNumber(card.number);
        if (!loopClosed && !fragment.placeholder.empty()) {
            text = CodeGenerator::replacePlaceholder(
                text, fragment.placeholder,
                CodeGenerator::formatNumber(number * static_cast<double>(fragment.scale)));
        }
        auto input = fragment.patches.find("input");
        if (input != fragment.patches.end()) {
            patch16(bytes, input->second,
                    truncateToInt(number * static_cast<double>(fragment.scale)));
        }
        for (uint8_t value : bytes) {
            write(value);
        }
        logCardText(text);
        _position += static_cast<int32_t>(bytes.size() / 8);
        if (fragment.loopEndIndex >= 0 || fragment.loopEndTab >= 0) {
            CodeFragment open = fragment;
            open.loopPosition = _position - 1;
            _loops.push_back(std::move(open));
        }
    }

    // The innermost open loop that this card closes, when its start position is known.
    const CodeFragment* matchingLoop(const CardProgram::Card& card) const {
        for (auto it = _loops.rbegin(); it != _loops.rend(); ++it) {
            if (it->loopEndIndex == card.index && it->loopEndTab == card.tab) {
                return it->loopPosition >= 0 ? &*it : nullptr;
            }
        }
        return nullptr;
    }

    void logCardText(const std::string& text) {
        if (text.empty()) {
            return;
        }
        int32_t number = _position + 1;
        size_t start = 0;
        while (true) {
            const size_t end = text.find('\n', start);
            _sink.log(std::to_string(number++) + " " + text.substr(start, end - start) + "\n");
            if (end == std::string::npos) {
                break;
            }
            start = end + 1;
        }
    }

    CodeSink& _sink;
    const CodeGenerator::FragmentLookup& _lookup;
    const int32_t _pause;
    int32_t _written = 0;
    int32_t _emptyRun = 0;
    int32_t _position = 0;
    std::vector<CodeFragment> _loops;
};

}  // namespace

CodeGenerator::CodeGenerator(CodeSink& sink, FragmentLookup lookup)
    : _sink(sink), _lookup(lookup ? std::move(lookup) : FragmentLookup(catalogFragment)) {}

double CodeGenerator::readNumber(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && isSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const size_t start = i;
    size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i, ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i, ++digits;
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) {
                ++j;
            }
            i = j;
        }
    }
    double value = 0.0;
    // from_chars reads the same decimal form as strtod, but never depends on the C locale.
    auto result = std::from_chars(text.data() + start, text.data() + i, value);
    if (result.ec != std::errc() || !std::isfinite(value)) {
        return 0.0;
    }
    return negative ? -value : value;
}

std::string CodeGenerator::formatNumber(double value) {
    if (!std::isfinite(value) || value == 0.0) {
        value = 0.0;  // no "-0", no "inf" on the board
    }
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}

std::string CodeGenerator::replacePlaceholder(std::string text, const std::string& placeholder,
                                              const std::string& number) {
    if (placeholder.empty()) {
        return text;
    }
    size_t at = 0;
    while ((at = text.find(placeholder, at)) != std::string::npos) {
        text.replace(at, placeholder.size(), number);
        at += number.size();
    }
    return text;
}

int CodeGenerator::indentation(const std::string& lineText, int32_t& depth) {
    const int32_t before = depth;
    int32_t balance = 0;
    for (char c : lineText) {
        if (c == '{') {
            ++balance;
        } else if (c == '}') {
            --balance;
        } else if (c == '\n') {
            depth += balance;
        }
    }
    const int32_t count = std::min(before, depth);
    return count > 0 ? count : 0;
}

bool CodeGenerator::run(const CardProgram& program, int32_t& depth) {
    if (DeviceManager::getInstance()->transferMode() == 1) {
        runBytes(program);
        return true;
    }
    return runText(program, depth);
}

bool CodeGenerator::sendFragment(const CodeFragment& fragment) {
    auto* device = DeviceManager::getInstance();
    TransmissionUnit unit;
    unit.text = fragment.code + (fragment.appendLineEnd ? device->lineEnd() : "");
    unit.pause = fragment.charDelay >= 0 ? fragment.charDelay : device->defaultCharDelay();
    unit.echo = fragment.echo;
    return _sink.sendUnit(unit);
}

std::string CodeGenerator::composeLine(const CardProgram::Line& line, int32_t lineNumber,
                                       int32_t& pause, bool& lineEnd) const {
    auto* device = DeviceManager::getInstance();
    std::string text;
    pause = device->defaultCharDelay();
    lineEnd = true;
    bool firstCard = false;
    for (const auto& slot : line) {
        if (!slot) {
            continue;
        }
        const CodeFragment fragment = _lookup(slot->index, slot->tab);
        std::string cardText = fragment.code;
        if (!fragment.placeholder.empty()) {
            const double number =
                std::round(readNumber(slot->number) * static_cast<double>(fragment.scale));
            cardText = replacePlaceholder(cardText, fragment.placeholder, formatNumber(number));
        }
        if (!firstCard) {
            text += device->lineNumbers() ? std::to_string(lineNumber) + " " + cardText : cardText;
            firstCard = true;
        } else {
            text += device->statementSeparator() + cardText;
        }
        if (fragment.charDelay >= 0) {
            pause = fragment.charDelay;
        }
        lineEnd = fragment.appendLineEnd;
    }
    return text;
}

bool CodeGenerator::runText(const CardProgram& program, int32_t& depth) {
    auto* device = DeviceManager::getInstance();
    const CodeFragment stop = device->stopCommand();
    if (!_sink.sendUnit({stop.code, stop.charDelay, false})) {
        return false;
    }
    if (!_sink.sendUnit({device->resetCommand().code, device->defaultCharDelay(), false})) {
        return false;
    }
    for (const auto& fragment : device->prologue()) {
        if (!sendFragment(fragment)) {
            return false;
        }
    }
    int32_t lineNumber = 10;
    int sheetLine = 0;
    for (const auto& line : program.lines()) {
        ++sheetLine;
        int32_t pause = 0;
        bool lineEnd = true;
        std::string text = composeLine(line, lineNumber, pause, lineEnd);
        lineNumber += 10;
        if (text.empty()) {
            continue;
        }
        if (lineEnd) {
            text += device->lineEnd();
        }
        const int steps = device->target == DeviceManager::LATTE ? indentation(text, depth) : 0;
        std::string indent;
        for (int i = 0; i < steps; ++i) {
            indent += "  ";
        }
        _sink.lineStarts(sheetLine);
        if (!_sink.sendUnit({indent + text, pause, true})) {
            return false;
        }
    }
    // What follows belongs to no sheet line (the script's closing loop on the latte board).
    _sink.lineStarts(0);
    for (const auto& fragment : device->epilogue()) {
        if (!sendFragment(fragment)) {
            return false;
        }
    }
    return true;
}

void CodeGenerator::runBytes(const CardProgram& program) {
    ByteImageRun run(_sink, _lookup);
    int sheetLine = 0;
    for (const auto& line : program.lines()) {
        ++sheetLine;
        bool first = true;
        for (const auto& slot : line) {
            run.slot(slot, slot && first ? sheetLine : 0);
            first = first && !slot;
        }
        if (_sink.aborted()) {
            return;
        }
    }
    run.pad();
}
