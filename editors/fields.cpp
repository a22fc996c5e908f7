#include "editors/fields.h"

#include "document/formlayout.h"

#include "editors/binding.h"
#include "editors/spellcheck.h"
#include "storage/codec.h"

#include <QApplication>
#include <QBoxLayout>
#include <QContextMenuEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <memory>

namespace {
QString fullFieldText(int held, int limit, bool chars);
}

QValidator::State Cp1250Validator::validate(QString &input, int &pos) const {
    QList<cp1250::Replacement> replaced;
    const QString fixed = cp1250::storable(input, &replaced);
    if (fixed != input) {
        pos = int(cp1250::storable(input.left(pos)).size());
        input = fixed;
    }
    const bool quiet = signalsBlocked(); // the program sets the text
    if (m_maxLength > 0 && input.size() > m_maxLength) {
        // Only what she adds is refused: a longer stored value stays.
        if (!quiet && input.size() > m_last.size())
            emit notice(fullFieldText(m_maxLength, m_maxLength, true), true);
        if (quiet)
            m_last = input;
        return Invalid;
    }
    if (!quiet && !replaced.isEmpty())
        emit notice(cp1250::replacementNotice(replaced), false);
    m_last = input;
    return Acceptable;
}

namespace {

const QColor kWarningRed(192, 0, 0);

bool isLineBreak(QChar ch) {
    return ch == QLatin1Char('\n');
}

// Text as a memo holds it: line ends of any platform become one line break,
// tabs become blanks, characters code page 1250 lacks are replaced.
QString memoInput(const QString &raw, QList<cp1250::Replacement> *replaced) {
    const QString text = cp1250::storable(raw, replaced);
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch == QLatin1Char('\r')) {
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                continue;
            out += QLatin1Char('\n');
        } else if (ch == QChar::ParagraphSeparator || ch == QChar::LineSeparator) {
            out += QLatin1Char('\n');
        } else if (ch == QLatin1Char('\t')) {
            out += QLatin1Char(' ');
        } else {
            out += ch;
        }
    }
    return out;
}

// Polish "wiersz" after a number: 1 wiersz, 2-4 wiersze, 5 wierszy.
QString linesNoun(int n) {
    if (n == 1)
        return QStringLiteral("wiersz");
    const int tens = n % 100, ones = n % 10;
    if (ones >= 2 && ones <= 4 && (tens < 12 || tens > 14))
        return QStringLiteral("wiersze");
    return QStringLiteral("wierszy");
}

// "Pole jest pełne: 7 z 7 wierszy." ("znaków" for a limit of characters).
QString fullFieldText(int held, int limit, bool chars) {
    const QString noun = chars
                             ? (limit == 1 ? QStringLiteral("znaku") : QString::fromUtf8("znaków"))
                             : (limit == 1 ? QStringLiteral("wiersza") : QStringLiteral("wierszy"));
    return QString::fromUtf8("Pole jest pełne: %1 z %2 %3.").arg(held).arg(limit).arg(noun);
}

} // namespace

QString strFunLinesCount(int lines) {
    return QStringLiteral("%1 %2").arg(lines).arg(linesNoun(lines));
}

QString strFunLinesLeftOutText(int lines) {
    return QString::fromUtf8("Tekst nie zmieścił się w polu w całości: pominięto %1 %2.")
        .arg(lines)
        .arg(linesNoun(lines));
}

QFont fieldFont() {
    QFont font(QString::fromLatin1(kFieldFontFace));
    font.setPixelSize(kFieldFontPixels);
    return font;
}

QPalette paperPalette(const QPalette &base) {
    QPalette pal = base;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Window, Qt::white);
        pal.setColor(group, QPalette::WindowText, Qt::black);
        pal.setColor(group, QPalette::Base, Qt::white);
        pal.setColor(group, QPalette::AlternateBase, QColor(245, 245, 245));
        pal.setColor(group, QPalette::Text, Qt::black);
        pal.setColor(group, QPalette::Button, QColor(239, 239, 239));
        pal.setColor(group, QPalette::ButtonText, Qt::black);
        pal.setColor(group, QPalette::PlaceholderText, QColor(128, 128, 128));
        pal.setColor(group, QPalette::Light, Qt::white);
        pal.setColor(group, QPalette::Midlight, QColor(227, 227, 227));
        pal.setColor(group, QPalette::Mid, QColor(160, 160, 160));
        pal.setColor(group, QPalette::Dark, QColor(160, 160, 160));
        pal.setColor(group, QPalette::Shadow, QColor(105, 105, 105));
    }
    // Fields the program fills (the pupil's data) stay readable.
    pal.setColor(QPalette::Disabled, QPalette::Window, Qt::white);
    pal.setColor(QPalette::Disabled, QPalette::WindowText, QColor(90, 90, 90));
    pal.setColor(QPalette::Disabled, QPalette::Base, QColor(240, 240, 240));
    pal.setColor(QPalette::Disabled, QPalette::Text, QColor(90, 90, 90));
    pal.setColor(QPalette::Disabled, QPalette::Button, QColor(239, 239, 239));
    pal.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(90, 90, 90));
    pal.setColor(QPalette::Disabled, QPalette::Light, Qt::white);
    pal.setColor(QPalette::Disabled, QPalette::Mid, QColor(160, 160, 160));
    pal.setColor(QPalette::Disabled, QPalette::Dark, QColor(160, 160, 160));
    return pal;
}

MemoEdit::MemoEdit(int lineLimit, QWidget *parent) : QPlainTextEdit(parent), m_limit(lineLimit) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    m_warning = new QLabel(this);
    m_warning->setObjectName(QStringLiteral("LimitWarning"));
    m_warning->setWordWrap(true);
    m_warning->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette pal = m_warning->palette();
    pal.setColor(QPalette::WindowText, kWarningRed);
    m_warning->setPalette(pal);
    QFont small = m_warning->font();
    small.setPixelSize(11);
    m_warning->setFont(small);
    m_warning->hide();
    setWordWrap(true);
    connect(this, &QPlainTextEdit::textChanged, this, &MemoEdit::onChanged);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (textCursor().position() != m_enterRefusedAt)
            m_enterRefusedAt = -1;
    });
    m_spell = new SpellHighlighter(this);
    // A correction goes in only where typing it would.
    m_spell->setReplaceCheck([this](int start, int end, const QString &text) {
        const QString before = memoText(this);
        const QString after = QString(before).replace(start, end - start, text);
        const bool tooLong =
            m_maxChars > 0 && after.size() > m_maxChars && after.size() > before.size();
        return !isReadOnly() && !tooLong && fits(after, int(memoLines(this, before).size()));
    });
}

void MemoEdit::setSpellChecker(SpellChecker *checker) {
    m_spell->setChecker(checker);
}

void vFunSetSpellChecker(QWidget *window, SpellChecker *checker) {
    for (MemoEdit *memo : window->findChildren<MemoEdit *>())
        memo->setSpellChecker(checker);
}

void MemoEdit::setWordWrap(bool on) {
    const Qt::ScrollBarPolicy bar = on ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn;
    if ((lineWrapMode() != QPlainTextEdit::NoWrap) == on && horizontalScrollBarPolicy() == bar)
        return;
    setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(on ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
    updateLineCount();
}

bool MemoEdit::fits(const QString &text, int linesBefore) const {
    const int lines = int(memoLines(this, text).size());
    return lines <= m_limit || lines <= linesBefore;
}

QString MemoEdit::fullText() const {
    if (m_maxChars > 0 && memoText(this).size() >= m_maxChars)
        return fullFieldText(int(memoText(this).size()), m_maxChars, true);
    return fullFieldText(m_lines, m_limit, false);
}

void MemoEdit::refuse(const QString &text) {
    emit notice(text, true);
}

void MemoEdit::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        event->ignore(); // the keyboard context menu (vFunInstallKeyboardContextMenu)
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    QString typed = enter ? QStringLiteral("\n") : event->text();
    bool inserts = enter || !typed.isEmpty();
    for (QChar ch : typed)
        inserts = inserts && (ch.isPrint() || isLineBreak(ch));
    if (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        inserts = false;
    if (!inserts || isReadOnly()) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    QList<cp1250::Replacement> replaced;
    typed = cp1250::storable(typed, &replaced);
    const QString before = memoText(this);
    QTextCursor cursor = textCursor();
    const int at = cursor.selectionStart();
    const bool atRefusedEnter =
        m_enterRefusedAt >= 0 && m_enterRefusedAt == cursor.position() && !cursor.hasSelection();
    auto result = [&](const QString &text) {
        QString after = before;
        after.replace(at, cursor.selectionEnd() - at, text);
        return after;
    };
    const int linesBefore = int(memoLines(this, before).size());
    auto room = [&](const QString &text) {
        const QString after = result(text);
        const bool tooLong =
            m_maxChars > 0 && after.size() > m_maxChars && after.size() > before.size();
        return !tooLong && fits(after, linesBefore);
    };
    // A blank at a line's end is invisible: it goes in only where a letter
    // could follow it, or the word she goes on typing would be refused after
    // its blank was stored.
    const bool atLineEnd =
        cursor.selectionEnd() >= before.size() || isLineBreak(before.at(cursor.selectionEnd()));
    const bool blank = !typed.isEmpty() && typed.trimmed().isEmpty() && !enter;
    if (atRefusedEnter && !enter) {
        refuse(fullText() +
               QString::fromUtf8(" Enter nie dodał nowego wiersza, dlatego dalsze pisanie w "
                                 "tym miejscu jest wstrzymane: przesuń kursor albo "
                                 "usuń część tekstu."));
        return;
    }
    if (!room(typed) || (blank && atLineEnd && !room(typed + QLatin1Char('x')))) {
        if (enter)
            m_enterRefusedAt = cursor.position();
        refuse(fullText());
        return;
    }
    if (typed.isEmpty()) { // a character with no stand-in
        emit notice(cp1250::replacementNotice(replaced), false);
        return;
    }
    cursor.insertText(typed);
    setTextCursor(cursor);
    ensureCursorVisible();
    if (!replaced.isEmpty()) {
        // Letters typed one by one are named together, not only the last.
        for (const cp1250::Replacement &r : replaced) {
            if (std::none_of(m_typedReplacements.begin(), m_typedReplacements.end(),
                             [&](const cp1250::Replacement &t) { return t.from == r.from; }))
                m_typedReplacements.append(r);
        }
        emit notice(cp1250::replacementNotice(m_typedReplacements), false);
    }
}

void MemoEdit::focusInEvent(QFocusEvent *event) {
    m_typedReplacements.clear();
    QPlainTextEdit::focusInEvent(event);
}

void MemoEdit::insertFromMimeData(const QMimeData *source) {
    QList<cp1250::Replacement> replaced;
    const QString before = memoText(this);
    const int left = insertLimited(source->text(), &replaced);
    QStringList said;
    const bool nothing = memoText(this) == before && !source->text().isEmpty();
    if (left > 0)
        said << strFunLinesLeftOutText(left);
    else if (nothing)
        said << fullText();
    if (!replaced.isEmpty())
        said << cp1250::replacementNotice(replaced);
    if (!said.isEmpty())
        emit notice(said.join(QLatin1Char(' ')), left > 0 || nothing);
}

int MemoEdit::insertLimited(const QString &raw, QList<cp1250::Replacement> *replaced) {
    const QString text = memoInput(raw, replaced);
    QTextCursor cursor = textCursor();
    const QString before = memoText(this);
    const int start = cursor.selectionStart();
    const int length = cursor.selectionEnd() - start;
    const int linesBefore = int(memoLines(this, before).size());
    auto result = [&](int n) {
        QString s = before;
        s.replace(start, length, text.left(n));
        return s;
    };
    int keep = int(text.size());
    if (m_maxChars > 0)
        keep = std::min(keep, std::max(0, m_maxChars - int(before.size()) + length));
    if (!fits(result(keep), linesBefore)) {
        // The longest beginning that fits, ended at a word or a line.
        int lo = 0, hi = keep;
        while (lo < hi) {
            const int mid = (lo + hi + 1) / 2;
            if (fits(result(mid), linesBefore))
                lo = mid;
            else
                hi = mid - 1;
        }
        keep = lo;
        if (keep < text.size() && text[keep] != QLatin1Char(' ') && !isLineBreak(text[keep])) {
            int at = keep - 1;
            while (at >= 0 && text[at] != QLatin1Char(' ') && !isLineBreak(text[at]))
                --at;
            if (at >= 0)
                keep = at;
        }
        while (keep > 0 && (text[keep - 1] == QLatin1Char(' ') || isLineBreak(text[keep - 1])))
            --keep;
    }
    const int left = std::max(0, int(memoLines(this, result(int(text.size()))).size()) -
                                     int(memoLines(this, result(keep)).size()));
    if (keep == 0 && !text.isEmpty())
        return left; // nothing fits: what was there stays
    cursor.insertText(text.left(keep));
    setTextCursor(cursor);
    ensureCursorVisible();
    return left;
}

void MemoEdit::onChanged() {
    if (m_fixing)
        return;
    m_enterRefusedAt = -1; // the text changed: room may have been made
    // Text put in by the program or an input method shows a tab as a blank,
    // and has what code page 1250 cannot store replaced.
    const QString text = memoText(this);
    bool clean = true;
    for (QChar ch : text)
        clean = clean && ch != QLatin1Char('\t') && (isLineBreak(ch) || cp1250::canEncode(ch));
    if (!clean) {
        m_fixing = true;
        QList<cp1250::Replacement> replaced;
        QTextCursor c(document());
        c.beginEditBlock();
        for (int i = int(text.size()) - 1; i >= 0; --i) {
            const QChar ch = text[i];
            if (ch != QLatin1Char('\t') && (isLineBreak(ch) || cp1250::canEncode(ch)))
                continue;
            // A pair of surrogates is one character.
            const int from =
                ch.isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate() ? i - 1 : i;
            c.setPosition(from);
            c.setPosition(i + 1, QTextCursor::KeepAnchor);
            c.insertText(ch == QLatin1Char('\t')
                             ? QStringLiteral(" ")
                             : cp1250::storable(text.mid(from, i + 1 - from), &replaced));
            i = from;
        }
        c.endEditBlock();
        m_fixing = false;
        if (!replaced.isEmpty()) {
            std::reverse(replaced.begin(), replaced.end());
            emit notice(cp1250::replacementNotice(replaced), false);
        }
    }
    updateLineCount();
}

void MemoEdit::updateLineCount() {
    m_lines = int(memoLines(this).size());
    // Without wrapping, a line wider than the field runs off the form on
    // paper: said here as well as on the preview.
    m_tooWide = false;
    if (lineWrapMode() == QPlainTextEdit::NoWrap) {
        const QFontMetricsF fm(font());
        const qreal room = width() - 2 * frameWidth() - 2 * document()->documentMargin();
        for (const QString &line : memoText(this).split(QLatin1Char('\n')))
            m_tooWide = m_tooWide || fm.horizontalAdvance(line) > room;
    }
    const bool over = isOverLimit() || m_tooWide;
    if (isOverLimit())
        m_warning->setText(strFunOverLimitText(m_lines, m_limit));
    else if (m_tooWide)
        m_warning->setText(QString::fromUtf8("Wiersz jest dłuższy niż pole i nie zmieści się na "
                                             "druku. Podziel go klawiszem Enter albo zaznacz "
                                             "„Automatyczne zwijanie wierszy”."));
    // The warning takes a strip under the text, inside the frame; the text
    // keeps its width, so the lines stay as counted.
    const QRect inside = contentsRect();
    const int height = over ? m_warning->heightForWidth(inside.width() - 4) : 0;
    if (over == m_warning->isHidden() || (over && m_warning->height() != height)) {
        setViewportMargins(0, 0, 0, height);
        m_warning->setVisible(over);
    }
    if (over) {
        const int scrollBar = horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn
                                  ? horizontalScrollBar()->sizeHint().height()
                                  : 0;
        m_warning->setGeometry(inside.left() + 2, inside.bottom() + 1 - scrollBar - height,
                               inside.width() - 4, height);
    }
    viewport()->update();
}

void MemoEdit::paintEvent(QPaintEvent *event) {
    QPlainTextEdit::paintEvent(event);
    if (!isOverLimit() && !m_tooWide)
        return;
    QPainter p(viewport());
    p.setPen(QPen(kWarningRed, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(viewport()->rect()).adjusted(1, 1, -1, -1));
}

void MemoEdit::resizeEvent(QResizeEvent *event) {
    QPlainTextEdit::resizeEvent(event);
    updateLineCount();
}

void MemoEdit::changeEvent(QEvent *event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateLineCount();
}

void MemoEdit::scrollContentsBy(int dx, int dy) {
    QPlainTextEdit::scrollContentsBy(dx, dy);
    if (isOverLimit() || m_tooWide)
        viewport()->update(); // the red frame does not scroll with the text
}

void MemoEdit::contextMenuEvent(QContextMenuEvent *event) {
    // From the keyboard (the menu key, Shift+F10) the menu is about the
    // word at the caret, from the mouse about the word under the pointer.
    const bool keyboard = event->reason() == QContextMenuEvent::Keyboard;
    const QPoint at = keyboard ? cursorRect().center() : event->pos();
    std::unique_ptr<QMenu> menu(createStandardContextMenu(at));
    menu->setObjectName(QStringLiteral("MemoContextMenu"));
    if (!isReadOnly())
        m_spell->addWordActions(menu.get(), keyboard ? textCursor().position()
                                                     : cursorForPosition(at).position());
    menu->exec(keyboard ? viewport()->mapToGlobal(at) : event->globalPos());
}

namespace {

// Return in a dialog presses OK, as a desktop user expects: every other push
// button (a load or copy button first of all) is neither default nor
// auto-default, checked again whenever the dialog is shown, so buttons added
// after this row are covered too.
class OkStaysDefault : public QObject {
public:
    OkStaysDefault(QDialog *dialog, QPushButton *ok) : QObject(dialog), m_ok(ok) {
        dialog->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Show) {
            for (QPushButton *b : watched->findChildren<QPushButton *>()) {
                if (b != m_ok) {
                    b->setAutoDefault(false);
                    b->setDefault(false);
                }
            }
            m_ok->setDefault(true);
        }
        return false;
    }

private:
    QPushButton *m_ok;
};

} // namespace

void vFunShowFieldNotice(QLabel *status, const QString &text, bool refused) {
    status->setText(text);
    status->setVisible(!text.isEmpty());
    if (refused)
        QApplication::beep();
}

void vFunConnectFieldNotices(QWidget *window, QLabel *status) {
    auto show = [status](const QString &text, bool refused) {
        vFunShowFieldNotice(status, text, refused);
    };
    for (MemoEdit *memo : window->findChildren<MemoEdit *>())
        QObject::connect(memo, &MemoEdit::notice, status, show);
    for (QLineEdit *edit : window->findChildren<QLineEdit *>()) {
        if (auto *v = qobject_cast<const Cp1250Validator *>(edit->validator()))
            QObject::connect(v, &Cp1250Validator::notice, status, show);
    }
}

namespace {

// Shift+F10 is the context-menu key of the desktop's keyboard conventions;
// Qt turns only the Menu key into a context menu event.
class KeyboardContextMenu : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_F10 || key->modifiers() != Qt::ShiftModifier)
            return false;
        auto *w = static_cast<QWidget *>(watched);
        if (w->contextMenuPolicy() == Qt::NoContextMenu ||
            w->contextMenuPolicy() == Qt::PreventContextMenu)
            return false;
        const QRect caret = w->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const QPoint at = caret.isValid() && w->rect().contains(caret.center())
                              ? caret.center()
                              : w->rect().center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, w->mapToGlobal(at), Qt::NoModifier);
        QApplication::sendEvent(w, &menu);
        return true;
    }
};

} // namespace

void vFunInstallKeyboardContextMenu() {
    static KeyboardContextMenu *filter = nullptr;
    if (filter || !qApp)
        return;
    filter = new KeyboardContextMenu(qApp);
    qApp->installEventFilter(filter);
}

QPushButton *addOkCancelButtons(QDialog *dialog, QBoxLayout *row, const char *okName,
                                const char *cancelName) {
    row->addStretch(1);
    auto *ok = new QPushButton(QStringLiteral("OK"), dialog);
    ok->setObjectName(QString::fromLatin1(okName));
    ok->setDefault(true);
    new OkStaysDefault(dialog, ok);
    auto *cancel = new QPushButton(QStringLiteral("Anuluj"), dialog);
    cancel->setObjectName(QString::fromLatin1(cancelName));
    cancel->setAutoDefault(false);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    row->addWidget(ok);
    row->addWidget(cancel);
    return ok;
}
