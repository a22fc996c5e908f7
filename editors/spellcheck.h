#pragma once

#include "document/spellchecker.h"

#include <QPointer>
#include <QSyntaxHighlighter>

#include <functional>

class QMenu;
class QPlainTextEdit;

// Underlines the unknown words of a plain-text editor in red and offers
// corrections in its context menu, by the spell checker it is given (none:
// nothing is underlined). The word being typed at the caret is left alone
// until it is finished.
class SpellHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit SpellHighlighter(QPlainTextEdit *edit);

    // The checker of the words (not owned); null switches the underlines off.
    void setChecker(SpellChecker *checker);
    SpellChecker *checker() const { return m_checker; }

    // Whether replacing [start, end) of the text by a correction keeps the
    // field within its limits; a correction that would not is not offered.
    using ReplaceCheck = std::function<bool(int start, int end, const QString &text)>;
    void setReplaceCheck(ReplaceCheck check) { m_canReplace = std::move(check); }

    // Puts the corrections of the flagged word at document position pos,
    // "Dodaj do słownika" and "Ignoruj" at the top of menu; nothing when
    // the word there is not flagged.
    void addWordActions(QMenu *menu, int pos);
    // Whether the word at document position pos is underlined.
    bool isFlaggedAt(int pos) const;

protected:
    void highlightBlock(const QString &text) override;

private:
    void onContentsChange(int pos, int removed, int added);
    void onCursorMoved();

    QPlainTextEdit *m_edit;
    QPointer<SpellChecker> m_checker;
    ReplaceCheck m_canReplace;
    int m_typingEnd = -1; // document position after the word being typed
};
