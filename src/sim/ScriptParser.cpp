#include "sim/ScriptParser.h"

#include <algorithm>

namespace {

using Node = ScriptCode::Node;
using Op = ScriptCode::Op;
using Statement = ScriptCode::Statement;

// Far beyond any program made of cards, far below what the stack takes.
constexpr int kMaxNesting = 64;
constexpr int kMaxTreeDepth = 256;
constexpr size_t kShownTokenLength = 16;

struct OpName {
    const char* text;
    Op op;
};

// The binary operators by binding, loosest first.
const std::vector<std::vector<OpName>> kLevels = {
    {{"||", Op::Or}},
    {{"&&", Op::And}},
    {{"|", Op::BitOr}},
    {{"^", Op::BitXor}},
    {{"&", Op::BitAnd}},
    {{"==", Op::Equal}, {"!=", Op::NotEqual}, {"===", Op::Equal}, {"!==", Op::NotEqual}},
    {{"<", Op::Less}, {">", Op::Greater}, {"<=", Op::LessEqual}, {">=", Op::GreaterEqual}},
    {{"<<", Op::Shl}, {">>", Op::Shr}},
    {{"+", Op::Add}, {"-", Op::Sub}},
    {{"*", Op::Mul}, {"/", Op::Div}, {"%", Op::Mod}},
};

const OpName kAssignments[] = {
    {"=", Op::Assign},  {"+=", Op::Add},  {"-=", Op::Sub},   {"*=", Op::Mul},
    {"/=", Op::Div},    {"%=", Op::Mod},  {"|=", Op::BitOr}, {"&=", Op::BitAnd},
    {"^=", Op::BitXor}, {"<<=", Op::Shl}, {">>=", Op::Shr},
};

const OpName kUnaries[] = {{"-", Op::Negate}, {"+", Op::Plus}, {"~", Op::BitNot}, {"!", Op::Not}};

struct FunctionName {
    const char* text;
    ScriptCode::Function function;
};

const FunctionName kFunctions[] = {
    {"out", ScriptCode::Function::Out},   {"sleep", ScriptCode::Function::Sleep},
    {"beep", ScriptCode::Function::Beep}, {"pwm", ScriptCode::Function::Pwm},
    {"led", ScriptCode::Function::Led},   {"uart", ScriptCode::Function::Uart},
    {"exit", ScriptCode::Function::Exit},
};

bool isKeyword(const std::string& name) {
    static const char* const kKeywords[] = {"var", "let",  "const", "while",
                                            "if",  "else", "true",  "false"};
    return std::find(std::begin(kKeywords), std::end(kKeywords), name) != std::end(kKeywords);
}

}  // namespace

class ScriptParser::Nesting {
public:
    explicit Nesting(ScriptParser& parser) : _parser(parser) { ++_parser._depth; }
    ~Nesting() { --_parser._depth; }
    // False (and the error set) when the text nests deeper than the parser goes.
    bool ok() {
        return _parser._depth <= kMaxNesting ||
               _parser.fail("too deeply nested", _parser.peek().line);
    }

private:
    ScriptParser& _parser;
};

ScriptCode ScriptParser::parse(const std::string& text) {
    std::vector<Token> tokens;
    std::string error;
    if (!ScriptLexer::tokenize(text, tokens, error)) {
        ScriptCode code;
        code.error = error;
        return code;
    }
    ScriptParser parser(std::move(tokens));
    while (parser.peek().kind != Token::End && parser.statement()) {
    }
    return std::move(parser._code);
}

bool ScriptParser::statement() {
    Nesting nesting(*this);
    if (!nesting.ok())
        return false;
    const Token& token = peek();
    if (token.kind == Token::Punct && token.text == ";") {
        next();
        return true;
    }
    if (token.kind == Token::Punct && token.text == "{")
        return block();
    if (token.kind == Token::Name) {
        if (token.text == "while")
            return whileLoop();
        if (token.text == "if")
            return ifElse();
        if (token.text == "var" || token.text == "let" || token.text == "const")
            return declaration();
    }
    return expressionStatement();
}

bool ScriptParser::block() {
    next();
    while (!accept("}")) {
        if (peek().kind == Token::End)
            return unexpected(peek());
        if (!statement())
            return false;
    }
    return true;
}

// "while(c)" or "if(c)": the check of c, whose target the caller sets; -1 when it does not parse.
int ScriptParser::conditionCheck() {
    const int line = next().line;
    if (!expect("("))
        return -1;
    const int condition = expression();
    if (condition < 0 || !expect(")"))
        return -1;
    return addStatement({Statement::Check, condition, 0, -1, line});
}

// while(c) body: a check that leaves the loop when c is false, the body, a jump back.
bool ScriptParser::whileLoop() {
    const int check = conditionCheck();
    if (check < 0 || !statement())
        return false;
    addStatement({Statement::Jump, -1, 0, check, _code.statements[check].line});
    _code.statements[check].target = static_cast<int>(_code.statements.size());
    return true;
}

bool ScriptParser::ifElse() {
    const int check = conditionCheck();
    if (check < 0 || !statement())
        return false;
    const int line = _code.statements[check].line;
    if (peek().kind == Token::Name && peek().text == "else") {
        next();
        const int skip = addStatement({Statement::Jump, -1, 0, -1, line});
        _code.statements[check].target = static_cast<int>(_code.statements.size());
        if (!statement())
            return false;
        _code.statements[skip].target = static_cast<int>(_code.statements.size());
    } else {
        _code.statements[check].target = static_cast<int>(_code.statements.size());
    }
    return true;
}

bool ScriptParser::declaration() {
    const int line = next().line;
    const int first = static_cast<int>(_code.declarations.size());
    do {
        const Token& name = next();
        if (name.kind != Token::Name || isKeyword(name.text))
            return unexpected(name);
        ScriptCode::Declaration declaration{slotOf(name.text), -1};
        if (accept("=")) {
            declaration.init = assignment();
            if (declaration.init < 0)
                return false;
        }
        _code.declarations.push_back(declaration);
    } while (accept(","));
    const int count = static_cast<int>(_code.declarations.size()) - first;
    addStatement({Statement::Declare, first, count, -1, line});
    return endOfStatement();
}

bool ScriptParser::expressionStatement() {
    const int line = peek().line;
    const int expr = expression();
    if (expr < 0)
        return false;
    addStatement({Statement::Eval, expr, 0, -1, line});
    return endOfStatement();
}

// A statement ends at ";", before "}" or the end, or where a new line starts.
bool ScriptParser::endOfStatement() {
    if (accept(";"))
        return true;
    const Token& token = peek();
    if (token.kind == Token::End || isPunct("}") ||
        (_pos > 0 && token.line > _tokens[_pos - 1].line))
        return true;
    return unexpected(token);
}

int ScriptParser::expression() { return assignment(); }

int ScriptParser::assignment() {
    Nesting nesting(*this);
    if (!nesting.ok())
        return -1;
    const int target = binary(0);
    if (target < 0 || peek().kind != Token::Punct)
        return target;
    for (const OpName& assign : kAssignments) {
        if (peek().text != assign.text)
            continue;
        const int line = next().line;
        if (_code.nodes[target].kind != Node::Variable) {
            fail("invalid assignment", line);
            return -1;
        }
        const int value = assignment();
        if (value < 0)
            return -1;
        Node node;
        node.kind = Node::Assign;
        node.op = assign.op;
        node.slot = _code.nodes[target].slot;
        node.left = value;
        node.line = line;
        return add(node);
    }
    return target;
}

int ScriptParser::binary(size_t level) {
    if (level == kLevels.size())
        return unary();
    int left = binary(level + 1);
    while (left >= 0 && peek().kind == Token::Punct) {
        const auto& ops = kLevels[level];
        const auto found = std::find_if(ops.begin(), ops.end(),
                                        [&](const OpName& op) { return peek().text == op.text; });
        if (found == ops.end())
            break;
        Node node;
        node.kind = Node::Binary;
        node.op = found->op;
        node.line = next().line;
        node.left = left;
        node.right = binary(level + 1);
        if (node.right < 0)
            return -1;
        left = add(node);
    }
    return left;
}

int ScriptParser::unary() {
    Nesting nesting(*this);
    if (!nesting.ok())
        return -1;
    if (isPunct("++") || isPunct("--")) {
        Node node;
        node.kind = Node::Increment;
        node.number = peek().text == "++" ? 1 : -1;
        node.line = next().line;
        const int operand = unary();
        if (operand < 0)
            return -1;
        if (_code.nodes[operand].kind != Node::Variable) {
            fail("invalid increment", node.line);
            return -1;
        }
        node.slot = _code.nodes[operand].slot;
        return add(node);
    }
    for (const OpName& op : kUnaries) {
        if (!isPunct(op.text))
            continue;
        Node node;
        node.kind = Node::Unary;
        node.op = op.op;
        node.line = next().line;
        node.left = unary();
        return node.left < 0 ? -1 : add(node);
    }
    return postfix();
}

// i++ and i-- bind only on the operand's line, as a line end may close the statement before.
int ScriptParser::postfix() {
    const int operand = primary();
    if (operand < 0 || !(isPunct("++") || isPunct("--")) || peek().line != _tokens[_pos - 1].line)
        return operand;
    Node node;
    node.kind = Node::Increment;
    node.postfix = true;
    node.number = peek().text == "++" ? 1 : -1;
    node.line = next().line;
    if (_code.nodes[operand].kind != Node::Variable) {
        fail("invalid increment", node.line);
        return -1;
    }
    node.slot = _code.nodes[operand].slot;
    return add(node);
}

int ScriptParser::primary() {
    const Token& token = next();
    Node node;
    node.line = token.line;
    if (token.kind == Token::Number) {
        node.number = token.number;
        return add(node);
    }
    if (token.kind == Token::Punct && token.text == "(") {
        const int inner = expression();
        return inner < 0 || !expect(")") ? -1 : inner;
    }
    if (token.kind != Token::Name ||
        (isKeyword(token.text) && token.text != "true" && token.text != "false")) {
        unexpected(token);
        return -1;
    }
    if (token.text == "true" || token.text == "false") {
        node.number = token.text == "true" ? 1 : 0;
        return add(node);
    }
    if (isPunct("("))
        return call(token);
    node.kind = Node::Variable;
    node.slot = slotOf(token.text);
    return add(node);
}

// name(a, b): the arguments go to `args` together, after any that nested calls put there.
int ScriptParser::call(const Token& name) {
    next();
    std::vector<int> args;
    if (!accept(")")) {
        do {
            const int arg = assignment();
            if (arg < 0)
                return -1;
            args.push_back(arg);
        } while (accept(","));
        if (!expect(")"))
            return -1;
    }
    Node node;
    node.kind = Node::Call;
    node.line = name.line;
    node.slot = slotOf(name.text);
    for (const FunctionName& f : kFunctions)
        if (name.text == f.text)
            node.function = f.function;
    node.left = static_cast<int>(_code.args.size());
    node.right = static_cast<int>(args.size());
    _code.args.insert(_code.args.end(), args.begin(), args.end());
    return add(node);
}

// Appends the node, refusing trees that would recurse too deep when evaluated: a long chain
// like 1+1+1+... is built by a loop here but walked recursively by the runner.
int ScriptParser::add(const Node& node) {
    int depth = 0;
    auto child = [&](int index) {
        if (index >= 0)
            depth = std::max(depth, _treeDepth[index]);
    };
    if (node.kind == Node::Call) {
        for (int k = 0; k < node.right; ++k)
            child(_code.args[node.left + k]);
    } else if (node.kind != Node::Number && node.kind != Node::Variable &&
               node.kind != Node::Increment) {
        child(node.left);
        child(node.right);
    }
    if (depth + 1 > kMaxTreeDepth) {
        fail("expression too long", node.line);
        return -1;
    }
    _code.nodes.push_back(node);
    _treeDepth.push_back(depth + 1);
    return static_cast<int>(_code.nodes.size()) - 1;
}

int ScriptParser::addStatement(const Statement& statement) {
    _code.statements.push_back(statement);
    return static_cast<int>(_code.statements.size()) - 1;
}

int ScriptParser::slotOf(const std::string& name) {
    const auto found = std::find(_code.names.begin(), _code.names.end(), name);
    if (found != _code.names.end())
        return static_cast<int>(found - _code.names.begin());
    _code.names.push_back(name);
    return static_cast<int>(_code.names.size()) - 1;
}

// Never steps past the End token, so peek() stays valid whatever the text.
const ScriptLexer::Token& ScriptParser::next() {
    const Token& token = _tokens[_pos];
    if (token.kind != Token::End)
        ++_pos;
    return token;
}

bool ScriptParser::isPunct(const char* text) const {
    return peek().kind == Token::Punct && peek().text == text;
}

bool ScriptParser::accept(const char* text) {
    if (!isPunct(text))
        return false;
    next();
    return true;
}

bool ScriptParser::expect(const char* text) { return accept(text) || unexpected(peek()); }

// Keeps the first error: the ones after it are only its echo.
bool ScriptParser::fail(const std::string& what, int line) {
    if (_code.error.empty())
        _code.error = "SyntaxError: " + what + " in line " + std::to_string(line);
    return false;
}

bool ScriptParser::unexpected(const Token& token) {
    if (token.kind == Token::End)
        return fail("unexpected end of script", token.line);
    std::string shown = token.text.substr(0, kShownTokenLength);
    return fail("unexpected '" + shown + "'", token.line);
}
