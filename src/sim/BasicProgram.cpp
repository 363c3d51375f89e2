#include "sim/BasicProgram.h"

#include <array>
#include <cctype>
#include <iterator>
#include <vector>

#include "sim/BoardFigures.h"
#include "sim/BoardPins.h"

namespace {

// An integer expression in postfix order, evaluated on a small stack.
struct Op {
    enum Kind { Number, Variable, Add, Sub, Mul, Div, Mod, Neg };
    Kind kind = Number;
    int32_t value = 0;  // the number, or the variable 0 ... 25
};
using Expr = std::vector<Op>;

struct Statement {
    enum Kind {
        Empty,
        Bad,
        Out,
        OutPort,
        Wait,
        Beep,
        Pwm,
        Led,
        For,
        Next,
        Label,
        Goto,
        GotoLine,
        Let,
        End
    };
    Kind kind = Empty;
    int var = 0;
    std::string label;
    Expr a, b;
};

int32_t wrap(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

// Reads one statement. Keywords in either case, spaces between the parts optional ("OUT0",
// "FORI=1TO3"); variables are single letters, as on the board.
class StatementParser {
public:
    explicit StatementParser(const std::string& text) : _text(text) {}

    Statement parse() {
        Statement s;
        skipSpaces();
        if (atEnd()) {
            return s;
        }
        s.kind = Statement::Bad;
        if (peek() == '@') {
            ++_at;
            s.label = name();
            s.kind = s.label.empty() ? Statement::Bad : Statement::Label;
        } else if (keyword("GOTO")) {
            skipSpaces();
            if (peek() == '@') {
                ++_at;
                s.label = name();
                s.kind = s.label.empty() ? Statement::Bad : Statement::Goto;
            } else if (expression(s.a)) {
                s.kind = Statement::GotoLine;
            }
        } else if (keyword("OUT")) {
            if (expression(s.a)) {
                s.kind = Statement::Out;
                if (symbol(',')) {
                    s.kind = expression(s.b) ? Statement::OutPort : Statement::Bad;
                }
            }
        } else if (keyword("WAIT")) {
            s.kind = expression(s.a) ? Statement::Wait : Statement::Bad;
        } else if (keyword("BEEP")) {
            // Pitch and length are accepted; the simulated speaker has one tone.
            s.kind = Statement::Beep;
            skipSpaces();
            if (!atEnd() && (!expression(s.a) || (symbol(',') && !expression(s.b)))) {
                s.kind = Statement::Bad;
            }
        } else if (keyword("PWM")) {
            if (expression(s.a) && symbol(',') && expression(s.b)) {
                s.kind = Statement::Pwm;
            }
        } else if (keyword("LED")) {
            s.kind = expression(s.a) ? Statement::Led : Statement::Bad;
        } else if (keyword("FOR")) {
            if (variable(s.var) && symbol('=') && expression(s.a) && keyword("TO") &&
                expression(s.b)) {
                s.kind = Statement::For;
            }
        } else if (keyword("NEXT")) {
            s.kind = Statement::Next;
            skipSpaces();
            if (!atEnd() && !variable(s.var)) {
                s.kind = Statement::Bad;
            }
        } else if (keyword("END")) {
            s.kind = Statement::End;
        } else if (keyword("REM") || symbol('\'')) {
            _at = _text.size();
            return Statement{};
        } else {
            keyword("LET");
            if (variable(s.var) && symbol('=') && expression(s.a)) {
                s.kind = Statement::Let;
            }
        }
        skipSpaces();
        if (!atEnd()) {
            s.kind = Statement::Bad;
        }
        return s;
    }

private:
    bool atEnd() const { return _at >= _text.size(); }
    char peek() const { return atEnd() ? '\0' : _text[_at]; }
    void skipSpaces() {
        while (!atEnd() && (_text[_at] == ' ' || _text[_at] == '\t')) {
            ++_at;
        }
    }
    bool keyword(const char* word) {
        skipSpaces();
        size_t at = _at;
        for (; *word; ++word, ++at) {
            if (at >= _text.size() ||
                std::toupper(static_cast<unsigned char>(_text[at])) != *word) {
                return false;
            }
        }
        _at = at;
        return true;
    }
    bool symbol(char c) {
        skipSpaces();
        if (peek() != c) {
            return false;
        }
        ++_at;
        return true;
    }
    std::string name() {
        std::string text;
        while (!atEnd() && (std::isalnum(static_cast<unsigned char>(peek())) || peek() == '_')) {
            text += static_cast<char>(std::toupper(static_cast<unsigned char>(_text[_at++])));
        }
        return text;
    }
    bool variable(int& var) {
        skipSpaces();
        if (!std::isalpha(static_cast<unsigned char>(peek()))) {
            return false;
        }
        var = std::toupper(static_cast<unsigned char>(_text[_at++])) - 'A';
        return true;
    }

    static constexpr int kMaxDepth = 32;

    bool expression(Expr& out) { return sum(out, 0); }

    // Nesting is bounded so that a line of "((((..." cannot exhaust the stack.
    bool sum(Expr& out, int depth) {
        if (!product(out, depth)) {
            return false;
        }
        while (true) {
            skipSpaces();
            const char c = peek();
            if (c != '+' && c != '-') {
                return true;
            }
            ++_at;
            if (!product(out, depth)) {
                return false;
            }
            out.push_back({c == '+' ? Op::Add : Op::Sub, 0});
        }
    }
    bool product(Expr& out, int depth) {
        if (!unary(out, depth)) {
            return false;
        }
        while (true) {
            skipSpaces();
            const char c = peek();
            if (c != '*' && c != '/' && c != '%') {
                return true;
            }
            ++_at;
            if (!unary(out, depth)) {
                return false;
            }
            out.push_back({c == '*' ? Op::Mul : (c == '/' ? Op::Div : Op::Mod), 0});
        }
    }
    bool unary(Expr& out, int depth) {
        if (symbol('-')) {
            if (depth >= kMaxDepth || !unary(out, depth + 1)) {
                return false;
            }
            out.push_back({Op::Neg, 0});
            return true;
        }
        symbol('+');
        return primary(out, depth);
    }
    bool primary(Expr& out, int depth) {
        skipSpaces();
        if (std::isdigit(static_cast<unsigned char>(peek()))) {
            int64_t value = 0;
            while (std::isdigit(static_cast<unsigned char>(peek()))) {
                value = value * 10 + (_text[_at++] - '0');
                if (value > 0x7fffffff) {
                    return false;  // Overflow: the board's numbers are smaller
                }
            }
            out.push_back({Op::Number, static_cast<int32_t>(value)});
            return true;
        }
        if (symbol('(')) {
            return depth < kMaxDepth && sum(out, depth + 1) && symbol(')');
        }
        int var = 0;
        if (variable(var)) {
            out.push_back({Op::Variable, var});
            return true;
        }
        return false;
    }

    const std::string& _text;
    size_t _at = 0;
};

std::vector<Statement> parseLine(const std::string& text) {
    std::vector<Statement> statements;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(':', start);
        statements.push_back(StatementParser(text.substr(start, end - start)).parse());
        if (end == std::string::npos) {
            return statements;
        }
        start = end + 1;
    }
}

}  // namespace

struct BasicProgram::Impl {
    using LineIt = Lines::const_iterator;
    struct Place {
        LineIt line;
        size_t index = 0;
    };
    struct Loop {
        int var;
        int32_t limit;
        Place back;
    };
    static constexpr size_t kMaxLoops = 32;

    const Lines lines;
    std::map<int, std::vector<Statement>> parsed;
    Place at;
    const std::vector<Statement>* statements = nullptr;
    std::vector<Loop> loops;
    std::array<int32_t, 26> vars{};
    bool over = false;

    explicit Impl(Lines l) : lines(std::move(l)) { moveTo({lines.begin(), 0}); }

    const std::vector<Statement>& statementsOf(LineIt line) {
        auto found = parsed.find(line->first);
        if (found == parsed.end()) {
            found = parsed.emplace(line->first, parseLine(line->second)).first;
        }
        return found->second;
    }
    void moveTo(Place place) {
        at = place;
        statements = at.line == lines.end() ? nullptr : &statementsOf(at.line);
    }
    // The next statement that does something, across line ends; false at the program's end.
    bool settle() {
        while (at.line != lines.end()) {
            while (at.index < statements->size() &&
                   (*statements)[at.index].kind == Statement::Empty) {
                ++at.index;
            }
            if (at.index < statements->size()) {
                return true;
            }
            moveTo({std::next(at.line), 0});
        }
        return false;
    }
    bool findLabel(const std::string& label, Place& place) {
        for (LineIt line = lines.begin(); line != lines.end(); ++line) {
            const auto& list = statementsOf(line);
            for (size_t i = 0; i < list.size(); ++i) {
                if (list[i].kind == Statement::Label && list[i].label == label) {
                    place = {line, i};
                    return true;
                }
            }
        }
        return false;
    }

    bool eval(const Expr& expr, int32_t& result) {
        int32_t stack[256];
        size_t top = 0;
        for (const Op& op : expr) {
            if (op.kind == Op::Number || op.kind == Op::Variable) {
                if (top == 256) {
                    return false;
                }
                stack[top++] = op.kind == Op::Number ? op.value : vars[op.value];
                continue;
            }
            if (op.kind == Op::Neg) {
                stack[top - 1] = wrap(-static_cast<int64_t>(stack[top - 1]));
                continue;
            }
            const int64_t r = stack[--top];
            const int64_t l = stack[top - 1];
            if ((op.kind == Op::Div || op.kind == Op::Mod) && r == 0) {
                return false;
            }
            switch (op.kind) {
                case Op::Add:
                    stack[top - 1] = wrap(l + r);
                    break;
                case Op::Sub:
                    stack[top - 1] = wrap(l - r);
                    break;
                case Op::Mul:
                    stack[top - 1] = wrap(l * r);
                    break;
                case Op::Div:
                    stack[top - 1] = wrap(l / r);
                    break;
                default:
                    stack[top - 1] = wrap(l % r);
                    break;
            }
        }
        result = top == 1 ? stack[0] : 0;
        return top == 1;
    }

    Step fail(BoardPins& pins, const std::string& what) {
        const int number = at.line->first;
        pins.print(what + (number > 0 ? " in " + std::to_string(number) : std::string()) + "\n");
        over = true;
        return {Step::Error, 0};
    }

    Step execute(BoardPins& pins, const Statement& s) {
        int32_t a = 0;
        int32_t b = 0;
        if ((!s.a.empty() && !eval(s.a, a)) || (!s.b.empty() && !eval(s.b, b))) {
            return fail(pins, "Divide by zero");
        }
        Place next{at.line, at.index + 1};
        Step step{Step::Next, 0};
        switch (s.kind) {
            case Statement::Empty:
            case Statement::Label:
                break;
            case Statement::Bad:
                return fail(pins, "Syntax error");
            case Statement::Out:
                pins.setOutputs(a);
                break;
            case Statement::OutPort:
                if (a < 1 || a > BoardFigures::kOutputCount) {
                    return fail(pins, "Illegal argument");
                }
                pins.setOutput(a, b);
                break;
            case Statement::Wait:
                // n sixtieths of a second, rounded to the nearest nanosecond.
                step = {Step::Wait, a > 0 ? (static_cast<int64_t>(a) * 1000000000 + 30) / 60 : 0};
                break;
            case Statement::Beep:
                pins.beep();
                break;
            case Statement::Pwm:
                if (a < 1 || a > BoardFigures::kOutputCount) {
                    return fail(pins, "Illegal argument");
                }
                pins.setPwm(a, static_cast<int64_t>(b) * BoardFigures::kJamPwmUnitUs);
                break;
            case Statement::Led:
                pins.setLed(a != 0);
                break;
            case Statement::For:
                if (loops.size() == kMaxLoops) {
                    return fail(pins, "Stack overflow");
                }
                vars[s.var] = a;
                loops.push_back({s.var, b, next});
                break;
            case Statement::Next: {
                if (loops.empty()) {
                    return fail(pins, "NEXT without FOR");
                }
                // The top loop, whatever variable NEXT names: nested loops of one counter
                // behave as they do on the board.
                const Loop& loop = loops.back();
                vars[loop.var] = wrap(static_cast<int64_t>(vars[loop.var]) + 1);
                if (vars[loop.var] <= loop.limit) {
                    next = loop.back;
                } else {
                    loops.pop_back();
                }
                break;
            }
            case Statement::Goto:
                if (!findLabel(s.label, next)) {
                    return fail(pins, "Undefined label");
                }
                break;
            case Statement::GotoLine: {
                const LineIt line = lines.find(a);
                if (line == lines.end()) {
                    return fail(pins, "Undefined line");
                }
                next = {line, 0};
                break;
            }
            case Statement::Let:
                vars[s.var] = a;
                break;
            case Statement::End:
                over = true;
                return {Step::End, 0};
        }
        moveTo(next);
        return step;
    }
};

BasicProgram::BasicProgram(Lines lines) : _impl(std::make_unique<Impl>(std::move(lines))) {}

BasicProgram::~BasicProgram() = default;

BoardProgram::Step BasicProgram::step(BoardPins& pins) {
    Impl& p = *_impl;
    if (p.over || !p.settle()) {
        p.over = true;
        return {Step::End, 0};
    }
    // BASIC line L comes from sheet line L / 10; lines below 10 (and immediate ones) from none.
    pins.lineStarts(p.at.line->first >= 10 ? p.at.line->first / 10 : 0);
    return p.execute(pins, (*p.statements)[p.at.index]);
}
