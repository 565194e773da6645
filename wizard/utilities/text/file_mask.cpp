#include "wizard/utilities/text/file_mask.h"

#include <QChar>

void FoldFileName(QStringView name, std::u32string& folded) {
    folded.clear();
    for (qsizetype i = 0; i < name.size(); ++i) {
        char32_t c = name[i].unicode();
        if (name[i].isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(name[i], name[i + 1]);
            ++i;
        }
        folded.push_back(QChar::toUpper(c));
    }
}

FileMask::FileMask(QStringView text) {
    std::u32string mask;
    FoldFileName(text, mask);
    matchesNothing_ = mask.empty();
    for (std::size_t at = 0; at < mask.size() && !matchesNothing_; ++at) {
        switch (mask[at]) {
        case U'*':
            if (tokens_.empty() || tokens_.back().kind != Kind::AnyRun) {
                tokens_.push_back({Kind::AnyRun, 0, false, 0, 0});
            }
            break;
        case U'?':
            tokens_.push_back({Kind::AnyOne, 0, false, 0, 0});
            break;
        case U'[':
            matchesNothing_ = !readSet(mask, at);
            break;
        default:
            tokens_.push_back({Kind::Literal, mask[at], false, 0, 0});
        }
    }
}

bool FileMask::readSet(const std::u32string& text, std::size_t& at) {
    Token token{Kind::Set, 0, false, ranges_.size(), 0};
    std::size_t i = at + 1;
    if (i < text.size() && text[i] == U'!') {
        token.negated = true;
        ++i;
    }
    for (; i < text.size() && text[i] != U']'; ++i) {
        const char32_t low = text[i];
        const bool isRange = i + 2 < text.size() && text[i + 1] == U'-' && text[i + 2] != U']';
        if (isRange) {
            ranges_.push_back({low, text[i + 2]});
            i += 2;
        } else {
            ranges_.push_back({low, low});
        }
    }
    token.endRange = ranges_.size();
    if (i >= text.size() || token.endRange == token.firstRange) return false;
    tokens_.push_back(token);
    at = i;
    return true;
}

bool FileMask::tokenMatches(const Token& token, char32_t c) const {
    switch (token.kind) {
    case Kind::Literal:
        return token.character == c;
    case Kind::AnyOne:
        return true;
    case Kind::Set:
        for (std::size_t r = token.firstRange; r < token.endRange; ++r) {
            if (ranges_[r].low <= c && c <= ranges_[r].high) return !token.negated;
        }
        return token.negated;
    case Kind::AnyRun:
        break;
    }
    return false;
}

bool FileMask::matches(std::u32string_view name) const {
    if (matchesNothing_) return false;
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t t = 0;
    std::size_t c = 0;
    std::size_t lastRun = kNone;  // token index of the last "*" passed
    std::size_t runResume = 0;    // where that "*" resumes in the name
    while (c < name.size()) {
        if (t < tokens_.size() && tokens_[t].kind == Kind::AnyRun) {
            lastRun = t++;
            runResume = c;
        } else if (t < tokens_.size() && tokenMatches(tokens_[t], name[c])) {
            ++t;
            ++c;
        } else if (lastRun != kNone) {
            t = lastRun + 1;
            c = ++runResume;
        } else {
            return false;
        }
    }
    while (t < tokens_.size() && tokens_[t].kind == Kind::AnyRun) ++t;
    return t == tokens_.size();
}
