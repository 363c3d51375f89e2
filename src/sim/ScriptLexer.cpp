#include "sim/ScriptLexer.h"

#include <cstdio>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$';
}
bool isNamePart(char c) { return isNameStart(c) || isDigit(c); }
int hexValue(char c) {
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Longest first, so that "<<=" is not read as "<" "<=" and "==" not as "=" "=".
const char* const kPuncts[] = {
    "===", "!==", "<<=", ">>=", "==", "!=", "<=", ">=", "&&", "||", "++", "--", "+=", "-=",
    "*=",  "/=",  "%=",  "|=",  "&=", "^=", "<<", ">>", "+",  "-",  "*",  "/",  "%",  "|",
    "&",   "^",   "~",   "!",   "<",  ">",  "=",  "(",  ")",  "{",  "}",  ",",  ";",
};

}  // namespace

bool ScriptLexer::tokenize(const std::string& text, std::vector<Token>& tokens,
                           std::string& error) {
    ScriptLexer lexer(text);
    tokens.clear();
    while (lexer.skipSpace()) {
        Token token;
        token.line = lexer._line;
        const char c = text[lexer._pos];
        bool ok = true;
        if (isDigit(c) ||
            (c == '.' && lexer._pos + 1 < text.size() && isDigit(text[lexer._pos + 1]))) {
            ok = lexer.number(token);
        } else if (isNameStart(c)) {
            lexer.name(token);
        } else {
            ok = lexer.punct(token);
        }
        if (!ok) {
            error = lexer._error;
            return false;
        }
        tokens.push_back(std::move(token));
    }
    if (!lexer._error.empty()) {
        error = lexer._error;
        return false;
    }
    Token end;
    end.line = lexer._line;
    tokens.push_back(end);
    return true;
}

// Returns whether a token follows; false at the end of the text or in an unclosed comment.
bool ScriptLexer::skipSpace() {
    while (_pos < _text.size()) {
        const char c = _text[_pos];
        if (c == '\n') {
            ++_line;
            ++_pos;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++_pos;
        } else if (_text.compare(_pos, 2, "//") == 0) {
            while (_pos < _text.size() && _text[_pos] != '\n')
                ++_pos;
        } else if (_text.compare(_pos, 2, "/*") == 0) {
            const int startLine = _line;
            const size_t close = _text.find("*/", _pos + 2);
            if (close == std::string::npos) {
                _error = "SyntaxError: unclosed comment in line " + std::to_string(startLine);
                return false;
            }
            for (; _pos < close + 2; ++_pos)
                _line += _text[_pos] == '\n';
        } else {
            return true;
        }
    }
    return false;
}

// Decimal numbers with an optional fraction, and 0x hex. Digits are summed by hand so that
// the reading does not depend on the process's locale.
bool ScriptLexer::number(Token& token) {
    const size_t start = _pos;
    double value = 0;
    if (_text.compare(_pos, 2, "0x") == 0 || _text.compare(_pos, 2, "0X") == 0) {
        _pos += 2;
        const size_t digits = _pos;
        for (; _pos < _text.size() && hexValue(_text[_pos]) >= 0; ++_pos)
            value = value * 16 + hexValue(_text[_pos]);
        if (_pos == digits)
            _pos = start + 1;  // "0x" alone: report it below
    } else {
        for (; _pos < _text.size() && isDigit(_text[_pos]); ++_pos)
            value = value * 10 + (_text[_pos] - '0');
        if (_pos < _text.size() && _text[_pos] == '.') {
            double scale = 1;
            for (++_pos; _pos < _text.size() && isDigit(_text[_pos]); ++_pos) {
                value = value * 10 + (_text[_pos] - '0');
                scale *= 10;
            }
            value /= scale;
        }
    }
    // "3a" or "0x" is no number a script may hold.
    if (_pos < _text.size() && (isNamePart(_text[_pos]) || _text[_pos] == '.')) {
        _error = "SyntaxError: bad number '" + _text.substr(start, _pos + 1 - start) +
                 "' in line " + std::to_string(_line);
        return false;
    }
    token.kind = Token::Number;
    token.text = _text.substr(start, _pos - start);
    token.number = value;
    return true;
}

void ScriptLexer::name(Token& token) {
    const size_t start = _pos;
    while (_pos < _text.size() && isNamePart(_text[_pos]))
        ++_pos;
    token.kind = Token::Name;
    token.text = _text.substr(start, _pos - start);
}

bool ScriptLexer::punct(Token& token) {
    for (const char* p : kPuncts) {
        if (_text.compare(_pos, std::char_traits<char>::length(p), p) == 0) {
            token.kind = Token::Punct;
            token.text = p;
            _pos += token.text.size();
            return true;
        }
    }
    const unsigned char c = static_cast<unsigned char>(_text[_pos]);
    char shown[16];
    if (c >= 0x21 && c < 0x7f)
        std::snprintf(shown, sizeof shown, "'%c'", c);
    else
        std::snprintf(shown, sizeof shown, "0x%02X", c);
    _error = std::string("SyntaxError: unexpected character ") + shown + " in line " +
             std::to_string(_line);
    return false;
}
