#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A latte script after parsing: expression trees and a flat list of statements with jumps, so
// that the runner can stop after any one statement without keeping a stack of its own. Names
// are resolved to slots here, once, because an endless loop without a wait runs a great many
// statements in each frame of the editor.
struct ScriptCode {
    enum class Function : uint8_t { Out, Sleep, Beep, Pwm, Led, Uart, Exit, Unknown };

    // clang-format off
    enum class Op : uint8_t {
        // binary
        Add, Sub, Mul, Div, Mod, BitOr, BitAnd, BitXor, Shl, Shr,
        Less, Greater, LessEqual, GreaterEqual, Equal, NotEqual, And, Or,
        // unary
        Negate, Plus, BitNot, Not,
        // plain assignment (compound ones carry their binary operator)
        Assign,
    };
    // clang-format on

    struct Node {
        enum Kind : uint8_t { Number, Variable, Assign, Unary, Binary, Call, Increment };
        Kind kind = Number;
        Op op = Op::Add;
        Function function = Function::Unknown;
        bool postfix = false;  // Increment: i++ yields the old value
        double number = 0;     // Number: the value; Increment: +1 or -1
        int slot = -1;         // Variable, Assign, Increment, Call: index into names
        int left = -1;         // operand, assigned value, or first argument (into args)
        int right = -1;        // second operand, or the argument count of a Call
        int line = 0;          // the script's text line, for runtime errors
    };

    struct Statement {
        // Eval and Declare are a statement each; Check tests a loop or if condition and jumps
        // to `target` when it is false; Jump costs nothing, so that a loop costs one check per
        // round besides its body.
        enum Kind : uint8_t { Eval, Declare, Check, Jump };
        Kind kind = Eval;
        int expr = -1;    // Eval, Check: the expression; Declare: first entry in declarations
        int count = 0;    // Declare: how many names it declares
        int target = -1;  // Check, Jump: the statement to go on with
        int line = 0;
    };

    struct Declaration {
        int slot = -1;
        int init = -1;  // the initial value's expression, -1 when there is none
    };

    std::vector<Node> nodes;
    std::vector<int> args;  // the arguments of calls, in order
    std::vector<Statement> statements;
    std::vector<Declaration> declarations;
    std::vector<std::string> names;  // variables and called functions, one slot each

    // Set when the text does not parse: the board's message without its line feed.
    std::string error;
};
