#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <vector>

// Text as the note search reads it: words, folded. A word is a run of letters and digits
// (combining marks belong to the word they follow); everything else separates words. Folding
// takes each character's compatibility decomposition, drops the combining marks and folds the
// letter case, so that "Östersund", "ÖSTER" and "ostersund" read alike. Scripts written without
// spaces between words (Han, kana, Thai, Lao, Khmer, Myanmar, Yi) have no words to begin: their
// characters make runs, and a run is found by any part of it.
namespace store {

// A stretch of a text, in UTF-16 code units.
struct TextSpan
{
    qsizetype start = 0;
    qsizetype length = 0;

    bool operator==(const TextSpan &) const = default;
};

// The folded words and runs of a text, in order, each separated from the next by one space.
QString foldedForSearch(QStringView text);

// Whether a word of a folded text is a run (of a script without spaces).
bool isFoldedRun(QStringView token);

// What was typed into a search, taken as words only: quotes, operators, punctuation and the
// like are separators like any other, so any text is a valid search.
class SearchQuery
{
public:
    explicit SearchQuery(QStringView typed);

    // Nothing typed that is a word or a run: such a search finds nothing.
    bool isEmpty() const { return m_words.isEmpty() && m_runs.isEmpty(); }

    // The folded words sought, each as the beginning of a word; a word that begins another
    // word sought is left out, since the longer one finding it finds it too.
    const QStringList &words() const { return m_words; }
    // The folded runs sought, each within a run; a run within another one sought is left out.
    const QStringList &runs() const { return m_runs; }

    // Whether a note's folded title and text (foldedForSearch of the title, a space, and
    // foldedForSearch of the text) hold every word and every run sought.
    bool matchesFolded(QStringView folded) const;
    bool matches(QStringView title, QStringView text) const;

    // Every place in `text` where a word sought begins a word or a run sought stands, in
    // order, overlapping places joined; for marking the hits in a note shown.
    std::vector<TextSpan> hitsIn(QStringView text) const;

private:
    friend QString lineAroundFirstHit(const SearchQuery &query, QStringView text);
    friend std::optional<QString> lineAroundFirstHitInBeginning(const SearchQuery &query,
                                                                QStringView beginning);

    // lineAroundFirstHit of a text of which only its beginning is at hand: the line when the
    // beginning shows it, whatever follows; none when more of the text is needed.
    std::optional<QString> lineAroundFirstHitInBeginning(const SearchQuery &query,
                                                         QStringView beginning);
    std::vector<TextSpan> hitsIn(QStringView text, bool firstOnly) const;

    QStringList m_words;
    QStringList m_runs;
    // Every word and run typed, for the hits: a shorter word marks words the longer misses.
    QStringList m_allWords;
    QStringList m_allRuns;
};

// The line of `text` that holds `hit`, trimmed, as one line of at most about 120 characters
// around the hit, with "…" where it was cut.
QString lineAround(QStringView text, TextSpan hit);

// The line around the first hit of `query` in `text`; the first line of the text when it has
// none (the hits were in the title).
QString lineAroundFirstHit(const SearchQuery &query, QStringView text);

// lineAroundFirstHit of a text of which only its beginning is at hand: the line when the
// beginning shows it, whatever follows; none when more of the text is needed.
std::optional<QString> lineAroundFirstHitInBeginning(const SearchQuery &query,
                                                     QStringView beginning);

} // namespace store
