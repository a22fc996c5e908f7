#pragma once

#include <QPlainTextEdit>
#include <QPushButton>
#include <QValidator>

// Refuses text that code page 1250 cannot store, so what is typed is what
// comes back from the class file, and typing beyond the field's length.
// Text the program puts into a field is not cut: a longer stored value
// stays whole.
class Cp1250Validator : public QValidator {
    Q_OBJECT
public:
    explicit Cp1250Validator(QObject *parent = nullptr, int maxLength = 0)
        : QValidator(parent), m_maxLength(maxLength) {}
    int maxLength() const { return m_maxLength; }
    State validate(QString &input, int &pos) const override;

private:
    int m_maxLength;
};

// A multi-line field with a limit on its displayed lines. Enter on the last
// allowed line may be swallowed; any change that leaves more lines (a wrap,
// a paste) cuts the memo back to its first lines.
class MemoEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    MemoEdit(int lineLimit, bool swallowEnter, QWidget *parent = nullptr);

    int lineLimit() const { return m_limit; }
    // At most this many characters in all (0: no limit).
    void setMaxChars(int chars) { m_maxChars = chars; }
    void setWordWrap(bool on);
    // Keeps the first lineLimit() displayed lines.
    void TrimMemoLines();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    void onChanged();
    int m_limit;
    bool m_swallowEnter;
    bool m_trimming = false;
    int m_maxChars = 0;
};

class QBoxLayout;
class QDialog;

// Appends a stretch, "OK" and "Anuluj" to a row of buttons; "Anuluj" rejects
// the dialog (so does Escape). OK is the dialog's one default button: Return
// presses it, never a load or copy button. Returns the OK button for the
// caller to connect.
QPushButton *addOkCancelButtons(QDialog *dialog, QBoxLayout *row, const char *okName,
                                const char *cancelName);
