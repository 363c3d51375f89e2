#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "cards/CardProgram.h"
#include "cards/CodeFragment.h"
#include "cards/CodeSink.h"

// Turns a card program into what the current target receives: ordered text units for the text
// targets, a padded byte image for the byte-image target. Every catalog value is looked up at
// the moment it is used, so a target change during a run takes effect at once.
class CodeGenerator {
public:
    // Where a card's fragment comes from: the catalog of the current target unless replaced
    // (tests give the byte-image mechanism fragments the catalog does not have).
    using FragmentLookup = std::function<CodeFragment(int32_t index, int32_t tab)>;

    explicit CodeGenerator(CodeSink& sink, FragmentLookup lookup = {});

    // Runs the whole program. `depth` is the caller's indentation counter for the script target.
    // Returns false when a text unit could not be sent; the byte image always completes.
    bool run(const CardProgram& program, int32_t& depth);

    // A number text read as a decimal value the way atof reads it (leading white space, the
    // longest valid prefix, 0 when there is none); non-finite results count as 0.
    static double readNumber(const std::string& text);
    // Six significant digits, fixed or exponent form, no trailing zeros: "60", "1.2e+06".
    static std::string formatNumber(double value);
    // Replaces every occurrence, going on after each inserted number.
    static std::string replacePlaceholder(std::string text, const std::string& placeholder,
                                          const std::string& number);
    // The indentation steps of a script line; moves `depth` by the line's brace balance.
    static int indentation(const std::string& lineText, int32_t& depth);

private:
    bool runText(const CardProgram& program, int32_t& depth);
    bool sendFragment(const CodeFragment& fragment);
    std::string composeLine(const CardProgram::Line& line, int32_t lineNumber, int32_t& pause,
                            bool& lineEnd) const;
    void runBytes(const CardProgram& program);

    CodeSink& _sink;
    FragmentLookup _lookup;
};
