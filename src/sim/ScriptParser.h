#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "sim/ScriptCode.h"
#include "sim/ScriptLexer.h"

// Turns a latte script into ScriptCode: statements end at ";" or a line end, loops and ifs
// become checks and jumps. Nesting is bounded, so that no text can exhaust the stack, here or
// when the runner walks an expression.
class ScriptParser {
public:
    // Never fails: a script that does not parse comes back with `error` set.
    static ScriptCode parse(const std::string& text);

private:
    using Token = ScriptLexer::Token;
    explicit ScriptParser(std::vector<Token> tokens) : _tokens(std::move(tokens)) {}

    bool statement();
    bool block();
    int conditionCheck();
    bool whileLoop();
    bool ifElse();
    bool declaration();
    bool expressionStatement();
    bool endOfStatement();

    int expression();
    int assignment();
    int binary(size_t level);
    int unary();
    int postfix();
    int primary();
    int call(const Token& name);

    int add(const ScriptCode::Node& node);
    int addStatement(const ScriptCode::Statement& statement);
    int slotOf(const std::string& name);

    const Token& peek() const { return _tokens[_pos]; }
    const Token& next();
    bool isPunct(const char* text) const;
    bool accept(const char* text);
    bool expect(const char* text);
    bool fail(const std::string& what, int line);
    bool unexpected(const Token& token);

    std::vector<Token> _tokens;
    size_t _pos = 0;
    int _depth = 0;
    std::vector<int> _treeDepth;  // per node: how deep evaluating it recurses
    ScriptCode _code;

    class Nesting;  // counts one level of recursion for as long as it lives
};
