#pragma once

#include <string>
#include <vector>

// Cuts a latte script into tokens, each with the text line it stands on. Comments and white
// space of any kind vanish here; a character the language has no use for is an error.
class ScriptLexer {
public:
    struct Token {
        enum Kind { Number, Name, Punct, End };
        Kind kind = End;
        std::string text;  // as written: the name, the operator, the digits
        double number = 0;
        int line = 1;
    };

    // Fills `tokens`, the last one End. On a bad character or an unclosed comment returns false
    // with the board's message (no line feed) in `error`.
    static bool tokenize(const std::string& text, std::vector<Token>& tokens, std::string& error);

private:
    explicit ScriptLexer(const std::string& text) : _text(text) {}
    bool skipSpace();
    bool number(Token& token);
    void name(Token& token);
    bool punct(Token& token);

    const std::string& _text;
    size_t _pos = 0;
    int _line = 1;
    std::string _error;
};
