#include "SearchText.h"

#include <QChar>
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

namespace store {

namespace {

// What a folded character is to the search.
enum class CharKind { Separator, Word, Run, Mark };

// The most characters of a line shown around a hit, and how many of them come before it.
constexpr qsizetype LineCharacters = 120;
constexpr qsizetype LineContextBefore = 40;
// Decompositions nest a few levels at most; this bounds the recursion whatever the tables say.
constexpr int MaxDecompositionDepth = 8;

bool isHangulSyllable(char32_t c)
{
    return c >= 0xAC00 && c <= 0xD7A3;
}

// Scripts written without spaces between words.
bool isRunCharacter(char32_t c)
{
    switch (QChar::script(c)) {
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Bopomofo:
    case QChar::Script_Thai:
    case QChar::Script_Lao:
    case QChar::Script_Khmer:
    case QChar::Script_Myanmar:
    case QChar::Script_Yi:
        return true;
    default:
        // The marks of length and repetition among the kana (ー, 々, ゝ) belong to no script.
        return c >= 0x3000 && c <= 0x30FF;
    }
}

CharKind kindOf(char32_t folded)
{
    if (QChar::isMark(folded))
        return CharKind::Mark;
    if (!QChar::isLetterOrNumber(folded))
        return CharKind::Separator;
    return isRunCharacter(folded) ? CharKind::Run : CharKind::Word;
}

// Latin letters with a stroke or bar through them, which Unicode does not take apart into a
// letter and a mark as it does "ö", and the letter under each: "lodz" finds "Łódź", "soren"
// finds "Søren".
constexpr std::pair<char32_t, char32_t> StrokedLetters[] = {
    {U'Ø', U'o'}, {U'ø', U'o'}, {U'Đ', U'd'}, {U'đ', U'd'}, {U'Ħ', U'h'}, {U'ħ', U'h'},
    {U'Ł', U'l'}, {U'ł', U'l'}, {U'Ŧ', U't'}, {U'ŧ', U't'}, {U'Ƀ', U'b'}, {U'ƀ', U'b'},
    {U'Ɨ', U'i'}, {U'ɨ', U'i'}, {U'Ƶ', U'z'}, {U'ƶ', U'z'}, {U'Ǥ', U'g'}, {U'ǥ', U'g'},
    {U'Ⱥ', U'a'}, {U'ⱥ', U'a'}, {U'Ȼ', U'c'}, {U'ȼ', U'c'}, {U'Ɇ', U'e'}, {U'ɇ', U'e'},
    {U'Ɉ', U'j'}, {U'ɉ', U'j'}, {U'Ɍ', U'r'}, {U'ɍ', U'r'}, {U'Ɏ', U'y'}, {U'ɏ', U'y'},
};

// The letter under c if it is one of those, else 0.
char32_t letterUnderStroke(char32_t c)
{
    for (const auto &[stroked, letter] : StrokedLetters) {
        if (c == stroked)
            return letter;
    }
    return 0;
}

// Folds an ASCII character in place and says what it is to the search.
inline CharKind foldAscii(char32_t &c)
{
    if (c >= 'A' && c <= 'Z') {
        c += 'a' - 'A';
        return CharKind::Word;
    }
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ? CharKind::Word : CharKind::Separator;
}

// Hands each folded character of the code point `c` with its kind to `emit`, as the Unicode
// tables say: slow to ask, so fold() remembers the answers.
template<typename Emit>
void foldByTables(char32_t c, const Emit &emit, int depth = 0)
{
    if (c < 0x80) {
        const CharKind kind = foldAscii(c);
        emit(c, kind);
        return;
    }
    // Hangul syllables stay whole: decomposed, their letters would read as other words.
    if (depth < MaxDecompositionDepth && !isHangulSyllable(c)
        && QChar::decompositionTag(c) != QChar::NoDecomposition) {
        const QString parts = QChar::decomposition(c);
        for (qsizetype i = 0; i < parts.size(); ++i) {
            char32_t part = parts.at(i).unicode();
            if (QChar::isHighSurrogate(part) && i + 1 < parts.size()) {
                part = QChar::surrogateToUcs4(parts.at(i), parts.at(i + 1));
                ++i;
            }
            foldByTables(part, emit, depth + 1);
        }
        return;
    }
    if (const char32_t letter = letterUnderStroke(c))
        return emit(letter, CharKind::Word);
    const char32_t folded = QChar::toCaseFolded(c);
    emit(folded, kindOf(folded));
}

// The folding of each character of the basic plane, once worked out: up to three folded
// characters of the basic plane with their kinds, packed as FoldedUnitBits bits each above the
// count in the lowest two bits. 0 is not worked out yet; a character folding to more is worked
// out each time. Entries are written whole by whichever thread works one out first.
constexpr int FoldedUnitBits = 18;
constexpr int MaxRememberedUnits = 3;
constexpr std::uint64_t FoldedEachTime = 1U << 2;
std::atomic<std::uint64_t> rememberedFolds[0x10000];

std::uint64_t packedFold(char32_t c)
{
    std::uint64_t packed = 0;
    int count = 0;
    bool fits = true;
    foldByTables(c, [&](char32_t folded, CharKind kind) {
        if (count == MaxRememberedUnits || folded > 0xFFFF) {
            fits = false;
            return;
        }
        packed |= (std::uint64_t(folded) | std::uint64_t(kind) << 16)
                  << (3 + FoldedUnitBits * count);
        ++count;
    });
    return fits ? packed | std::uint64_t(count) : FoldedEachTime;
}

// Hands each folded character of the code point `c` with its kind to `emit`.
template<typename Emit>
inline void fold(char32_t c, const Emit &emit)
{
    if (c < 0x80) {
        const CharKind kind = foldAscii(c);
        return emit(c, kind);
    }
    if (c > 0xFFFF)
        return foldByTables(c, emit);
    std::uint64_t packed = rememberedFolds[c].load(std::memory_order_relaxed);
    if (packed == 0) {
        packed = packedFold(c);
        rememberedFolds[c].store(packed, std::memory_order_relaxed);
    }
    if (packed == FoldedEachTime)
        return foldByTables(c, emit);
    for (std::uint64_t unit = 0; unit < (packed & 3); ++unit) {
        const std::uint64_t folded = packed >> (3 + FoldedUnitBits * unit);
        emit(char32_t(folded & 0xFFFF), CharKind((folded >> 16) & 3));
    }
}

// Appends `c` to a QString or a std::u16string as its one or two UTF-16 units.
template<typename Units>
void appendCodePoint(Units &to, char32_t c)
{
    if (QChar::requiresSurrogates(c)) {
        to.push_back(QChar::highSurrogate(c));
        to.push_back(QChar::lowSurrogate(c));
    } else {
        to.push_back(char16_t(c));
    }
}

// Hands every code point of `text` to `take` with where it starts and ends, while `take`
// returns true; a lone surrogate is a code point of its own (and no letter).
template<typename Take>
void forEachCodePoint(QStringView text, const Take &take)
{
    for (qsizetype i = 0; i < text.size();) {
        char32_t c = text[i].unicode();
        qsizetype length = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            length = 2;
        }
        if (!take(c, i, i + length))
            return;
        i += length;
    }
}

// One word or run of a text, folded, with where each of its code units came from.
struct Token
{
    std::u16string folded;
    CharKind kind = CharKind::Separator;
    std::vector<qsizetype> starts; // of the original character each folded unit came from
    std::vector<qsizetype> ends;   // of that character and the marks that follow it

    TextSpan span(qsizetype from, qsizetype length) const
    {
        return {starts[size_t(from)], ends[size_t(from + length - 1)] - starts[size_t(from)]};
    }
};

// The same words and runs as foldedForSearch, one token at a time, with their places, while
// `take` returns true. Of a word, only its first `wordUnits` folded units are kept: a caller
// that looks only at beginnings spares the rest of every long word.
template<typename Take>
void forEachToken(QStringView text, const Take &take,
                  std::size_t wordUnits = std::numeric_limits<std::size_t>::max())
{
    // Each thread's token keeps its room from one text to the next.
    thread_local Token token;
    token.kind = CharKind::Separator;
    token.folded.clear();
    token.starts.clear();
    token.ends.clear();
    bool goOn = true;
    bool cut = false; // units of this word were left out
    const auto finish = [&] {
        if (!token.folded.empty() && goOn)
            goOn = take(token);
        token.folded.clear();
        token.starts.clear();
        token.ends.clear();
        cut = false;
    };
    forEachCodePoint(text, [&](char32_t c, qsizetype start, qsizetype end) {
        if (!goOn)
            return false;
        fold(c, [&](char32_t folded, CharKind kind) {
            if (kind == CharKind::Mark) {
                if (!token.ends.empty() && !cut)
                    token.ends.back() = end;
                return;
            }
            if (kind == CharKind::Separator || token.kind != kind)
                finish();
            token.kind = kind;
            if (kind == CharKind::Separator)
                return;
            if (kind == CharKind::Word && token.folded.size() >= wordUnits) {
                cut = true;
                return;
            }
            const std::size_t before = token.folded.size();
            appendCodePoint(token.folded, folded);
            for (std::size_t unit = before; unit < token.folded.size(); ++unit) {
                token.starts.push_back(start);
                token.ends.push_back(end);
            }
        });
        return true;
    });
    finish();
}

// Whether `word` begins one of the words of the folded text.
bool beginsAWord(QStringView folded, QStringView word)
{
    for (qsizetype at = folded.indexOf(word); at >= 0; at = folded.indexOf(word, at + 1)) {
        if (at == 0 || folded[at - 1] == QLatin1Char(' '))
            return true;
    }
    return false;
}

// Sorted, each once, without those that begin another one.
QStringList withoutPrefixes(QStringList words)
{
    words.sort();
    words.removeDuplicates();
    QStringList kept;
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (i + 1 == words.size() || !words.at(i + 1).startsWith(words.at(i)))
            kept.append(words.at(i));
    }
    return kept;
}

// Each once, without those found within another one (compared only for a sensible number).
QStringList withoutParts(QStringList runs)
{
    constexpr qsizetype MaxCompared = 256;
    runs.sort();
    runs.removeDuplicates();
    if (runs.size() > MaxCompared)
        return runs;
    QStringList kept;
    for (const QString &run : std::as_const(runs)) {
        const bool within = std::any_of(runs.cbegin(), runs.cend(), [&run](const QString &other) {
            return other.size() > run.size() && other.contains(run);
        });
        if (!within)
            kept.append(run);
    }
    return kept;
}

bool isLineBreak(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar(0x2028)
           || c == QChar(0x2029);
}

} // namespace

QString foldedForSearch(QStringView text)
{
    QString folded;
    folded.reserve(text.size());
    CharKind last = CharKind::Separator;
    forEachCodePoint(text, [&](char32_t c, qsizetype, qsizetype) {
        fold(c, [&](char32_t character, CharKind kind) {
            if (kind == CharKind::Mark)
                return;
            if (kind != last && kind != CharKind::Separator && !folded.isEmpty())
                folded.append(QLatin1Char(' '));
            last = kind;
            if (kind != CharKind::Separator)
                appendCodePoint(folded, character);
        });
        return true;
    });
    return folded;
}

bool isFoldedRun(QStringView token)
{
    if (token.isEmpty())
        return false;
    const char32_t first = token.size() > 1 && token[0].isHighSurrogate()
                               ? QChar::surrogateToUcs4(token[0], token[1])
                               : char32_t(token[0].unicode());
    return isRunCharacter(first);
}

SearchQuery::SearchQuery(QStringView typed)
{
    forEachToken(typed, [this](const Token &token) {
        (token.kind == CharKind::Run ? m_allRuns : m_allWords)
            .append(QStringView(token.folded).toString());
        return true;
    });
    m_words = withoutPrefixes(m_allWords);
    m_runs = withoutParts(m_allRuns);
}

bool SearchQuery::matchesFolded(QStringView folded) const
{
    if (isEmpty())
        return false;
    for (const QString &word : m_words) {
        if (!beginsAWord(folded, word))
            return false;
    }
    for (const QString &run : m_runs) {
        if (!folded.contains(run))
            return false;
    }
    return true;
}

bool SearchQuery::matches(QStringView title, QStringView text) const
{
    return matchesFolded(foldedForSearch(title) + QLatin1Char(' ') + foldedForSearch(text));
}

std::vector<TextSpan> SearchQuery::hitsIn(QStringView text) const
{
    return hitsIn(text, false);
}

std::vector<TextSpan> SearchQuery::hitsIn(QStringView text, bool firstOnly) const
{
    std::vector<TextSpan> hits;
    std::size_t longestWord = 0;
    for (const QString &word : m_allWords)
        longestWord = std::max(longestWord, std::size_t(word.size()));
    forEachToken(
        text,
        [&](const Token &token) {
            const QStringView folded(token.folded);
            if (token.kind == CharKind::Word) {
                qsizetype longest = 0;
                for (const QString &word : m_allWords) {
                    if (word.size() > longest && folded.startsWith(word))
                        longest = word.size();
                }
                if (longest > 0)
                    hits.push_back(token.span(0, longest));
                return !firstOnly || hits.empty();
            }
            for (const QString &run : m_allRuns) {
                for (qsizetype at = folded.indexOf(run); at >= 0; at = folded.indexOf(run, at + 1))
                    hits.push_back(token.span(at, run.size()));
            }
            return !firstOnly || hits.empty();
        },
        longestWord);
    std::sort(hits.begin(), hits.end(), [](const TextSpan &a, const TextSpan &b) {
        return a.start < b.start || (a.start == b.start && a.length > b.length);
    });
    std::vector<TextSpan> joined;
    for (const TextSpan &hit : hits) {
        if (!joined.empty() && hit.start <= joined.back().start + joined.back().length) {
            TextSpan &last = joined.back();
            last.length = std::max(last.start + last.length, hit.start + hit.length) - last.start;
        } else {
            joined.push_back(hit);
        }
    }
    return joined;
}

QString lineAround(QStringView text, TextSpan hit)
{
    // Only the characters that can be shown are looked at: a note may be one very long line.
    const qsizetype at = std::clamp<qsizetype>(hit.start, 0, text.size());
    qsizetype from = at;
    while (from > 0 && at - from < LineContextBefore && !isLineBreak(text[from - 1]))
        --from;
    qsizetype to = from;
    while (to < text.size() && to - from < LineCharacters && !isLineBreak(text[to]))
        ++to;
    const auto cutBefore = [&] {
        return from > 0 && !isLineBreak(text[from - 1]);
    };
    const auto cutAfter = [&] {
        return to < text.size() && !isLineBreak(text[to]);
    };
    // Never half a character.
    if (cutBefore() && text[from].isLowSurrogate())
        --from;
    if (cutAfter() && text[to].isLowSurrogate())
        ++to;
    const QStringView shown = text.sliced(from, to - from).trimmed();
    QString line;
    line.reserve(shown.size() + 2);
    if (cutBefore())
        line.append(QChar(0x2026));
    line.append(shown);
    if (cutAfter())
        line.append(QChar(0x2026));
    return line;
}

QString lineAroundFirstHit(const SearchQuery &query, QStringView text)
{
    // The first token with a hit holds the first hit: the rest of the text is not read.
    const std::vector<TextSpan> hits = query.hitsIn(text, true);
    return lineAround(text, hits.empty() ? TextSpan{} : hits.front());
}

std::optional<QString> lineAroundFirstHitInBeginning(const SearchQuery &query,
                                                     QStringView beginning)
{
    // A run sought may begin before a hit found and end past the beginning; a word hit begins
    // its word, and every word but the last of the beginning is whole.
    if (!query.runs().isEmpty())
        return std::nullopt;
    // lineAround looks at most this far past the hit: the line's characters, and the one or two
    // after them; and the last few characters of a beginning may read otherwise once the rest
    // follows (a character cut short).
    constexpr qsizetype Reach = LineCharacters + 2;
    constexpr qsizetype Unsure = 4;
    const std::vector<TextSpan> hits = query.hitsIn(beginning, true);
    if (hits.empty() || hits.front().start + Reach + Unsure > beginning.size())
        return std::nullopt;
    return lineAround(beginning, hits.front());
}

} // namespace store
