#include "sim/ScriptProgram.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "sim/BoardFigures.h"
#include "sim/BoardPins.h"
#include "sim/ScriptCode.h"
#include "sim/ScriptParser.h"

namespace {

using Node = ScriptCode::Node;
using Op = ScriptCode::Op;
using Function = ScriptCode::Function;
using Statement = ScriptCode::Statement;

// sleep() of more than about 31 years is cut there, so that summing waits cannot overflow.
constexpr double kMaxSleepMs = 1e12;
constexpr int64_t kMaxWaitNs = 1000000000000000000;

bool truthy(double v) { return v != 0 && !std::isnan(v); }

// Numbers are doubles, as in the language the board's script follows; bit operations and the
// board's functions see them as 32-bit integers, wrapping the same way.
int32_t toInt32(double v) {
    // Nearly every value a card program makes fits; only the rest needs the slow wrap.
    if (v > -2147483649.0 && v < 2147483648.0)
        return static_cast<int32_t>(v);
    if (!std::isfinite(v))
        return 0;
    double wrapped = std::fmod(std::trunc(v), 4294967296.0);
    if (wrapped < 0)
        wrapped += 4294967296.0;
    return static_cast<int32_t>(static_cast<uint32_t>(wrapped));
}

double binary(Op op, double a, double b) {
    switch (op) {
        case Op::Add:
            return a + b;
        case Op::Sub:
            return a - b;
        case Op::Mul:
            return a * b;
        case Op::Div:
            return a / b;
        case Op::Mod:
            return std::fmod(a, b);
        case Op::BitOr:
            return toInt32(a) | toInt32(b);
        case Op::BitAnd:
            return toInt32(a) & toInt32(b);
        case Op::BitXor:
            return toInt32(a) ^ toInt32(b);
        case Op::Shl:
            return static_cast<int32_t>(static_cast<uint32_t>(toInt32(a)) << (toInt32(b) & 31));
        case Op::Shr:
            return toInt32(a) >> (toInt32(b) & 31);
        case Op::Less:
            return a < b;
        case Op::Greater:
            return a > b;
        case Op::LessEqual:
            return a <= b;
        case Op::GreaterEqual:
            return a >= b;
        case Op::Equal:
            return a == b;
        case Op::NotEqual:
            return a != b;
        default:
            return 0;  // And, Or and the unary ones are not handled here
    }
}

int arity(Function function) {
    switch (function) {
        case Function::Out:
        case Function::Sleep:
        case Function::Led:
            return 1;
        case Function::Pwm:
            return 2;
        default:
            return 0;
    }
}

}  // namespace

struct ScriptProgram::Impl {
    enum class State { Running, Ended, Failed };

    ScriptCode code;
    std::vector<int> sheetLines;
    std::vector<double> values;  // per slot of code.names
    std::vector<char> declared;  // per slot: reading an undeclared name is an error
    size_t next = 0;             // the statement that runs next
    State state = State::Running;
    bool exited = false;

    // What the running statement did.
    BoardPins* pins = nullptr;
    bool stopped = false;  // an error or exit(): evaluate nothing more
    bool slept = false;
    int64_t waitNs = 0;
    std::string error;

    int sheetLineOf(int textLine) const {
        return textLine >= 1 && textLine <= static_cast<int>(sheetLines.size())
                   ? sheetLines[textLine - 1]
                   : 0;
    }

    double fail(const Node& node, const std::string& what) {
        if (!stopped)
            error = what + " in line " + std::to_string(node.line);
        stopped = true;
        return 0;
    }

    double notDefined(const Node& node) {
        return fail(node, "ReferenceError: " + code.names[node.slot] + " is not defined");
    }

    // Recursion is bounded by the parser's limit on the depth of a tree.
    double eval(int index) {
        const Node& node = code.nodes[index];
        switch (node.kind) {
            case Node::Number:
                return node.number;
            case Node::Variable:
                return declared[node.slot] ? values[node.slot] : notDefined(node);
            case Node::Assign:
                return assign(node);
            case Node::Increment: {
                if (!declared[node.slot])
                    return notDefined(node);
                const double old = values[node.slot];
                values[node.slot] = old + node.number;
                return node.postfix ? old : values[node.slot];
            }
            case Node::Unary:
                return unary(node);
            case Node::Binary:
                return binaryNode(node);
            case Node::Call:
                return call(node);
        }
        return 0;
    }

    // A plain assignment declares a name it does not know, as the language does outside strict
    // mode; a compound one must read it first.
    double assign(const Node& node) {
        if (node.op != Op::Assign && !declared[node.slot])
            return notDefined(node);
        const double value = eval(node.left);
        if (stopped)
            return 0;
        values[node.slot] =
            node.op == Op::Assign ? value : binary(node.op, values[node.slot], value);
        declared[node.slot] = 1;
        return values[node.slot];
    }

    double unary(const Node& node) {
        const double v = eval(node.left);
        switch (node.op) {
            case Op::Negate:
                return -v;
            case Op::BitNot:
                return ~toInt32(v);
            case Op::Not:
                return !truthy(v);
            default:
                return v;
        }
    }

    double binaryNode(const Node& node) {
        const double left = eval(node.left);
        if (stopped)
            return 0;
        // && and || yield the operand that decided, and skip the other.
        if (node.op == Op::And)
            return truthy(left) ? eval(node.right) : left;
        if (node.op == Op::Or)
            return truthy(left) ? left : eval(node.right);
        const double right = eval(node.right);
        return stopped ? 0 : binary(node.op, left, right);
    }

    double call(const Node& node) {
        const std::string& name = code.names[node.slot];
        if (node.function == Function::Unknown)
            return notDefined(node);
        const int count = arity(node.function);
        if (node.right != count) {
            return fail(node, "TypeError: " + name + "() takes " + std::to_string(count) +
                                  (count == 1 ? " argument" : " arguments"));
        }
        double a[2] = {0, 0};
        for (int k = 0; k < count; ++k) {
            a[k] = eval(code.args[node.left + k]);
            if (stopped)
                return 0;
        }
        switch (node.function) {
            case Function::Out:
                pins->setOutputs(toInt32(a[0]));
                return 0;
            case Function::Sleep:
                sleep(a[0]);
                return 0;
            case Function::Beep:
                pins->beep();
                return 0;
            case Function::Pwm:
                return pwm(node, a[0], a[1]);
            case Function::Led:
                pins->setLed(truthy(a[0]) ? 1 : 0);
                return 0;
            case Function::Uart:
                return pins->readUart();
            case Function::Exit:
                exited = true;
                stopped = true;
                return 0;
            case Function::Unknown:
                break;
        }
        return 0;
    }

    void sleep(double ms) {
        const double clamped = std::isnan(ms) ? 0 : std::min(std::max(ms, 0.0), kMaxSleepMs);
        waitNs = std::min<int64_t>(waitNs + std::llround(clamped * 1e6), kMaxWaitNs);
        slept = true;
    }

    double pwm(const Node& node, double port, double us) {
        const int32_t p = toInt32(port);
        if (p < 1 || p > BoardFigures::kOutputCount)
            return fail(node, "RangeError: no pwm port " + std::to_string(p));
        const double clamped = std::isnan(us) ? 0 : std::min(std::max(us, 0.0), 1e15);
        pins->setPwm(p, std::llround(clamped));
        return 0;
    }

    void run(const Statement& statement) {
        switch (statement.kind) {
            case Statement::Eval:
                eval(statement.expr);
                ++next;
                break;
            case Statement::Check: {
                const bool holds = truthy(eval(statement.expr));
                next = holds ? next + 1 : static_cast<size_t>(statement.target);
                break;
            }
            case Statement::Declare:
                for (int k = 0; k < statement.count && !stopped; ++k) {
                    const ScriptCode::Declaration& d = code.declarations[statement.expr + k];
                    // `var x;` keeps what x held, as a repeated declaration does.
                    const double value = d.init >= 0 ? eval(d.init) : 0;
                    if (stopped)
                        break;
                    if (d.init >= 0 || !declared[d.slot])
                        values[d.slot] = value;
                    declared[d.slot] = 1;
                }
                ++next;
                break;
            case Statement::Jump:
                break;
        }
    }

    Step finish() {
        Step step;
        if (!error.empty()) {
            pins->print(error + "\n");
            state = State::Failed;
            step.kind = Step::Error;
        } else if (exited) {
            state = State::Ended;
            step.kind = Step::End;
        } else if (slept) {
            step.kind = Step::Wait;
            step.waitNs = waitNs;
        }
        return step;
    }
};

ScriptProgram::ScriptProgram() : _impl(std::make_unique<Impl>()) {}
ScriptProgram::~ScriptProgram() = default;

std::unique_ptr<ScriptProgram> ScriptProgram::parse(const std::string& text,
                                                    std::vector<int> sheetLines) {
    std::unique_ptr<ScriptProgram> program(new ScriptProgram());
    Impl& impl = *program->_impl;
    impl.code = ScriptParser::parse(text);
    impl.sheetLines = std::move(sheetLines);
    impl.values.assign(impl.code.names.size(), 0);
    impl.declared.assign(impl.code.names.size(), 0);
    return program;
}

BoardProgram::Step ScriptProgram::step(BoardPins& pins) {
    Impl& impl = *_impl;
    Step step;
    if (impl.state != Impl::State::Running) {
        step.kind = Step::End;
        return step;
    }
    impl.pins = &pins;
    if (!impl.code.error.empty()) {
        impl.error = impl.code.error;
        return impl.finish();
    }
    // Jumps cost nothing; every backward one lands on a loop's check, so this ends.
    while (impl.next < impl.code.statements.size() &&
           impl.code.statements[impl.next].kind == Statement::Jump) {
        impl.next = static_cast<size_t>(impl.code.statements[impl.next].target);
    }
    if (impl.next >= impl.code.statements.size()) {
        impl.state = Impl::State::Ended;
        step.kind = Step::End;
        return step;
    }
    const Statement& statement = impl.code.statements[impl.next];
    pins.lineStarts(impl.sheetLineOf(statement.line));
    impl.stopped = false;
    impl.slept = false;
    impl.waitNs = 0;
    impl.run(statement);
    return impl.finish();
}

bool ScriptProgram::exited() const { return _impl->exited; }
