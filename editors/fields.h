#pragma once

#include <QPlainTextEdit>
#include <QValidator>

// Refuses text that code page 1250 cannot store, so what is typed is what
// comes back from the class file.
class Cp1250Validator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
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
