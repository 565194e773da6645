#pragma once
// One file-name mask, compiled once and matched case-insensitively: "*" stands for any run
// of characters (also none), "?" for one character, "[...]" for one character of a set
// ("a-z" inside it is a range, a leading "!" takes the characters not in it); every other
// character stands for itself. A mask with an unclosed or empty set, and the empty mask,
// match no name.
//
// Matching takes at most (name length x mask length) steps, whatever the mask: only the
// last "*" seen is ever retried.

#include <QStringView>

#include <string>
#include <string_view>
#include <vector>

class FileMask {
public:
    explicit FileMask(QStringView text);

    // `name` holds the name's characters as FoldFileName gives them.
    bool matches(std::u32string_view name) const;

private:
    enum class Kind { Literal, AnyOne, AnyRun, Set };
    struct Token {
        Kind kind;
        char32_t character;          // Literal
        bool negated;                // Set
        std::size_t firstRange;      // Set: its ranges are ranges_[firstRange, endRange)
        std::size_t endRange;
    };
    struct Range {
        char32_t low;
        char32_t high;
    };

    // Reads the set that starts at text[at] ("["); false when it is not closed or empty.
    bool readSet(const std::u32string& text, std::size_t& at);
    bool tokenMatches(const Token& token, char32_t c) const;

    std::vector<Token> tokens_;
    std::vector<Range> ranges_;
    bool matchesNothing_ = false;
};

// The characters of a name (code points, upper-cased) in the form masks compare against.
void FoldFileName(QStringView name, std::u32string& folded);
