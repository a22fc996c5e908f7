#include "editors/fields.h"

#include "document/binding.h"
#include "storage/codec.h"

#include <QBoxLayout>
#include <QDialog>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>

QValidator::State Cp1250Validator::validate(QString &input, int &) const {
    if (m_maxLength > 0 && input.size() > m_maxLength)
        return Invalid;
    return cp1250::canEncode(QStringView(input)) ? Acceptable : Invalid;
}

MemoEdit::MemoEdit(int lineLimit, bool swallowEnter, QWidget *parent)
    : QPlainTextEdit(parent), m_limit(lineLimit), m_swallowEnter(swallowEnter) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWordWrap(true);
    connect(this, &QPlainTextEdit::textChanged, this, &MemoEdit::onChanged);
}

void MemoEdit::setWordWrap(bool on) {
    setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(on ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
    onChanged();
}

void MemoEdit::keyPressEvent(QKeyEvent *event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && m_swallowEnter && memoLines(this).size() >= m_limit) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void MemoEdit::insertFromMimeData(const QMimeData *source) {
    // Pasted text loses what code page 1250 cannot hold.
    QString text = source->text();
    QString kept;
    for (QChar ch : text)
        kept += cp1250::canEncode(ch) || ch == QLatin1Char('\n') ? ch : QChar();
    kept.remove(QChar());
    insertPlainText(kept);
}

void MemoEdit::onChanged() {
    if (m_trimming)
        return;
    const QString text = toPlainText();
    if (!cp1250::canEncode(QStringView(text))) {
        QString kept;
        for (QChar ch : text) {
            if (cp1250::canEncode(ch) || ch == QChar::ParagraphSeparator || ch == QLatin1Char('\n'))
                kept += ch;
        }
        m_trimming = true;
        setPlainText(kept);
        moveCursor(QTextCursor::End);
        m_trimming = false;
    }
    if (m_maxChars > 0 && toPlainText().size() > m_maxChars) {
        m_trimming = true;
        setPlainText(toPlainText().left(m_maxChars));
        moveCursor(QTextCursor::End);
        m_trimming = false;
    }
    if (memoLines(this).size() > m_limit)
        TrimMemoLines();
}

void MemoEdit::TrimMemoLines() {
    const QStringList lines = memoLines(this).mid(0, m_limit);
    m_trimming = true;
    clear();
    for (const QString &line : lines)
        appendPlainText(line);
    moveCursor(QTextCursor::End);
    m_trimming = false;
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
