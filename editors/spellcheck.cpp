#include "editors/spellcheck.h"

#include "document/prompts.h"

#include <QMenu>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace {
// The block states: whether a line ends inside a sentence.
enum BlockState { SentenceClosed = 0, SentenceOpen = 1 };
} // namespace

SpellHighlighter::SpellHighlighter(QPlainTextEdit *edit)
    : QSyntaxHighlighter(static_cast<QObject *>(edit)), m_edit(edit) {
    // Connected before the highlighter takes the document, so the word being
    // typed is known when the changed line is checked.
    connect(edit->document(), &QTextDocument::contentsChange, this,
            &SpellHighlighter::onContentsChange);
    connect(edit, &QPlainTextEdit::cursorPositionChanged, this, &SpellHighlighter::onCursorMoved);
    setDocument(edit->document());
}

void SpellHighlighter::setChecker(SpellChecker *checker) {
    if (checker == m_checker)
        return;
    if (m_checker)
        disconnect(m_checker, nullptr, this, nullptr);
    m_checker = checker;
    if (checker)
        connect(checker, &SpellChecker::changed, this, &SpellHighlighter::rehighlight);
    rehighlight();
}

void SpellHighlighter::onContentsChange(int pos, int removed, int added) {
    // One letter typed: the word it belongs to is still being written.
    const QChar typed = added == 1 && removed == 0 ? document()->characterAt(pos) : QChar();
    m_typingEnd = isWordChar(typed) ? pos + 1 : -1;
}

void SpellHighlighter::onCursorMoved() {
    if (m_typingEnd < 0 || m_edit->textCursor().position() == m_typingEnd)
        return;
    // The caret left the word: it is checked now.
    const QTextBlock block = document()->findBlock(m_typingEnd);
    m_typingEnd = -1;
    if (block.isValid())
        rehighlightBlock(block);
}

void SpellHighlighter::highlightBlock(const QString &text) {
    bool open = false;
    const QList<WordSpan> words = wordsToCheck(text, previousBlockState() != SentenceOpen, &open);
    setCurrentBlockState(open ? SentenceOpen : SentenceClosed);
    if (!m_checker)
        return;
    if (!m_checker->isActive()) {
        if (!words.isEmpty())
            m_checker->wordsWaiting();
        return;
    }
    SpellChecker &checker = *m_checker;
    QTextCharFormat flagged;
    flagged.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    flagged.setUnderlineColor(QColor(220, 0, 0));
    const int blockStart = currentBlock().position();
    for (const WordSpan &w : words) {
        if (blockStart + w.start + w.length == m_typingEnd)
            continue;
        if (!checker.isCorrect(text.mid(w.start, w.length)))
            setFormat(w.start, w.length, flagged);
    }
}

bool SpellHighlighter::isFlaggedAt(int pos) const {
    const QTextBlock block = document()->findBlock(pos);
    if (!block.isValid() || !block.layout())
        return false;
    const int at = pos - block.position();
    for (const QTextLayout::FormatRange &r : block.layout()->formats()) {
        if (at >= r.start && at < r.start + r.length &&
            r.format.underlineStyle() == QTextCharFormat::WaveUnderline)
            return true;
    }
    return false;
}

void SpellHighlighter::addWordActions(QMenu *menu, int pos) {
    const QTextBlock block = document()->findBlock(pos);
    if (!block.isValid())
        return;
    if (!m_checker)
        return;
    const WordSpan span = wordAt(block.text(), pos - block.position());
    if (span.length == 0 || !isFlaggedAt(block.position() + span.start))
        return;
    const int start = block.position() + span.start;
    const int end = start + span.length;
    const QString word = block.text().mid(span.start, span.length);
    SpellChecker *checker = m_checker;
    QAction *first = menu->actions().value(0);
    QList<QAction *> actions;
    const QStringList corrections = checker->suggestions(word);
    for (const QString &correction : corrections) {
        auto *a = new QAction(correction, menu);
        a->setObjectName(QStringLiteral("SpellSuggestion"));
        QFont bold = a->font();
        bold.setBold(true);
        a->setFont(bold);
        a->setEnabled(!m_canReplace || m_canReplace(start, end, correction));
        connect(a, &QAction::triggered, m_edit, [edit = m_edit, start, end, correction] {
            QTextCursor c(edit->document());
            c.setPosition(start);
            c.setPosition(end, QTextCursor::KeepAnchor);
            c.insertText(correction);
            edit->setTextCursor(c);
        });
        actions << a;
    }
    if (corrections.isEmpty()) {
        auto *none = new QAction(QString::fromUtf8("(brak podpowiedzi)"), menu);
        none->setEnabled(false);
        actions << none;
    }
    auto *add = new QAction(QString::fromUtf8("Dodaj do słownika"), menu);
    add->setObjectName(QStringLiteral("SpellAddWord"));
    connect(add, &QAction::triggered, checker, [edit = m_edit, checker, word] {
        QString msg;
        if (!checker->addPersonalWord(msg, word))
            showMessage(edit, QStringLiteral("Błąd"), msg, Prompts::Icon::Error);
    });
    auto *ignore = new QAction(QStringLiteral("Ignoruj"), menu);
    ignore->setObjectName(QStringLiteral("SpellIgnoreWord"));
    connect(ignore, &QAction::triggered, checker, [checker, word] { checker->ignoreWord(word); });
    actions << add << ignore;
    menu->insertActions(first, actions);
    menu->insertSeparator(first);
}
