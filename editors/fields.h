#pragma once

#include <QPlainTextEdit>
#include <QPushButton>
#include <QValidator>

#include "storage/codec.h"

// Keeps a line edit to what code page 1250 stores and to the field's length.
// A letter the code page lacks is replaced by its nearest storable one
// (cp1250::storable) and the teacher is told; typing or pasting beyond the
// length is refused whole and said. Text the program puts into a field (with
// the validator's signals blocked, as vFunSetWidgetText does) is not cut: a
// longer stored value stays whole.
class Cp1250Validator : public QValidator {
    Q_OBJECT
public:
    explicit Cp1250Validator(QObject *parent = nullptr, int maxLength = 0)
        : QValidator(parent), m_maxLength(maxLength) {}
    int maxLength() const { return m_maxLength; }
    State validate(QString &input, int &pos) const override;

signals:
    // What the teacher is told; refused: her key or paste did not go in.
    void notice(const QString &text, bool refused) const;

private:
    int m_maxLength;
    mutable QString m_last; // the text last accepted
};

class QLabel;
class SpellChecker;
class SpellHighlighter;

// A multi-line field with a limit on its displayed lines. The limit acts on
// what the teacher types and pastes: a key that would take the memo past its
// limit is refused with a beep and a notice, and of a paste only the whole
// words that fit go in. After a refused Enter, typing at the same place is
// refused too, so that it never runs into the line before; a blank is taken
// at a line's end only where a letter could still follow it. Letters code
// page 1250 lacks are replaced (cp1250::storable) and the notice says so. Text the program
// puts in (a loaded document, the phrase library, a copy) is never cut; a
// memo holding more lines than its limit keeps them all and says so in red.
// Tab moves to the next field; a tab arriving in the text shows as a blank.
// Unknown words are underlined; the context menu offers corrections.
class MemoEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MemoEdit(int lineLimit, QWidget *parent = nullptr);

    int lineLimit() const { return m_limit; }
    // At most this many characters may be typed or pasted (0: no limit).
    void setMaxChars(int chars) { m_maxChars = chars; }
    void setWordWrap(bool on);
    bool wordWrap() const { return lineWrapMode() != QPlainTextEdit::NoWrap; }
    // Displayed lines held now.
    int lineCount() const { return m_lines; }
    bool isOverLimit() const { return m_lines > m_limit; }
    // Without wrapping: a line is wider than the field.
    bool hasTooWideLine() const { return m_tooWide; }
    // The red line under an over-full memo (hidden while the text fits).
    QLabel *limitWarning() const { return m_warning; }

    // Inserts text at the caret as a paste does; of a text that would take
    // the memo past its limit only the part that fits goes in. Returns how
    // many displayed lines were left out; replaced letters are added to
    // replaced when given.
    int insertLimited(const QString &text, QList<cp1250::Replacement> *replaced = nullptr);
    // What the status line says when the memo refuses more text.
    QString fullText() const;
    SpellHighlighter *spellHighlighter() const { return m_spell; }
    // The checker of the underlines (not owned); without one nothing is underlined.
    void setSpellChecker(SpellChecker *checker);

signals:
    // What the teacher is told about her last key or paste; refused: it did
    // not go in (whole). The window shows it in its status line.
    void notice(const QString &text, bool refused);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    // Whether an edit that leaves this text keeps to the limit: within it,
    // or at least no longer than before.
    bool fits(const QString &text, int linesBefore) const;
    void onChanged();
    void refuse(const QString &text);
    void updateLineCount();

    int m_limit;
    int m_lines = 0;
    bool m_tooWide = false;
    int m_maxChars = 0;
    bool m_fixing = false;
    int m_enterRefusedAt = -1;                      // caret of a refused Enter, until it moves
    QList<cp1250::Replacement> m_typedReplacements; // since the memo took the focus
    QLabel *m_warning = nullptr;
    SpellHighlighter *m_spell = nullptr;
};

// Gives every memo of window the spell checker it underlines by (not owned).
void vFunSetSpellChecker(QWidget *window, SpellChecker *checker);

// What the status line says when a paste or an insertion left lines out.
QString strFunLinesLeftOutText(int lines);
// "1 wiersz", "2 wiersze", "5 wierszy".
QString strFunLinesCount(int lines);
// Shows a field's notice in a window's status line; a refusal also beeps.
void vFunShowFieldNotice(QLabel *status, const QString &text, bool refused);
// Connects the notices of a window's fields (memos, and line edits and
// combo boxes with a Cp1250Validator) to its status line.
void vFunConnectFieldNotices(QWidget *window, QLabel *status);
// Shift+F10 opens the context menu of the focused field, as the Menu key
// does; installed once on the application.
void vFunInstallKeyboardContextMenu();
// The font of the editors' input fields; the phrase library wraps with it too.
QFont fieldFont();
// The printed form's colours for a picture of a form and everything on it:
// black on white, whatever the desktop theme.
QPalette paperPalette(const QPalette &base);

class QBoxLayout;
class QDialog;

// Appends a stretch, "OK" and "Anuluj" to a row of buttons; "Anuluj" rejects
// the dialog (so does Escape). OK is the dialog's one default button: Return
// presses it, never a load or copy button. Returns the OK button for the
// caller to connect.
QPushButton *addOkCancelButtons(QDialog *dialog, QBoxLayout *row, const char *okName,
                                const char *cancelName);
