#include "editors/binding.h"

#include <QAbstractTextDocumentLayout>
#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextLayout>

QString strFunWidgetText(const QWidget *w) {
    if (auto *label = qobject_cast<const QLabel *>(w))
        return label->text();
    if (auto *edit = qobject_cast<const QLineEdit *>(w))
        return edit->text();
    if (auto *combo = qobject_cast<const QComboBox *>(w))
        return combo->currentText();
    if (auto *memo = qobject_cast<const QPlainTextEdit *>(w))
        return memoText(memo);
    return QString();
}

namespace {

// The program's own text is no typing of hers: its validator stays quiet.
QSignalBlocker quietValidator(QLineEdit *edit) {
    return QSignalBlocker(edit ? const_cast<QValidator *>(edit->validator()) : nullptr);
}

} // namespace

void vFunSetWidgetText(QWidget *w, const QString &text) {
    if (auto *label = qobject_cast<QLabel *>(w)) {
        label->setText(text);
    } else if (auto *edit = qobject_cast<QLineEdit *>(w)) {
        const QSignalBlocker quiet = quietValidator(edit);
        edit->setText(text);
    } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
        const QSignalBlocker quiet = quietValidator(combo->lineEdit());
        combo->setCurrentText(text);
    } else if (auto *memo = qobject_cast<QPlainTextEdit *>(w))
        memo->setPlainText(text);
}

QString memoText(const QPlainTextEdit *memo) {
    QStringList blocks;
    const QTextDocument *doc = memo->document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
        blocks << block.text();
    return blocks.join(QLatin1Char('\n'));
}

QStringList memoLines(const QPlainTextEdit *memo) {
    return memoLines(memo, memoText(memo));
}

QStringList memoLines(const QPlainTextEdit *memo, const QString &text) {
    QStringList lines;
    if (text.isEmpty())
        return lines;
    const QTextDocument *doc = memo->document();
    const bool wraps = memo->lineWrapMode() != QPlainTextEdit::NoWrap;
    // The width the memo wraps at, taken from its geometry so that a hidden
    // editor counts the same lines as the shown one (no vertical scroll bar:
    // memos keep it off).
    const qreal width = memo->width() - 2 * memo->frameWidth() - 2 * doc->documentMargin();
    QTextOption option = doc->defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (const QString &paragraph : text.split(QLatin1Char('\n'))) {
        if (!wraps || paragraph.isEmpty()) {
            lines << paragraph;
            continue;
        }
        QTextLayout layout(paragraph, memo->font());
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
            line.setLineWidth(width);
        layout.endLayout();
        for (int i = 0; i < layout.lineCount(); ++i) {
            const QTextLine line = layout.lineAt(i);
            QString part = paragraph.mid(line.textStart(), line.textLength());
            // A wrapped line ends in the blank where it broke; the line as
            // shown does not.
            if (i + 1 < layout.lineCount() && part.endsWith(QLatin1Char(' ')))
                part.chop(1);
            lines << part;
        }
    }
    return lines;
}

void CollectFields(const QString &documentId, const QList<QWidget *> &components,
                   SqlDataList &records) {
    for (QWidget *w : components) {
        const QString name = w->objectName();
        switch (fieldKind(name)) {
        case FieldKind::Edit:
        case FieldKind::ComboBox:
            records.append({documentId, name, strFunWidgetText(w)});
            break;
        case FieldKind::Memo:
            if (auto *memo = qobject_cast<QPlainTextEdit *>(w)) {
                const QStringList lines = memoLines(memo);
                for (int j = 0; j < lines.size(); ++j)
                    records.append({documentId, strFunMemoRecordName(name, j), lines[j]});
            }
            break;
        case FieldKind::None:
            break;
        }
    }
}

void ClearFields(const QList<QWidget *> &components) {
    for (QWidget *w : components) {
        if (fieldKind(w->objectName()) != FieldKind::None)
            vFunSetWidgetText(w, QString());
    }
}

void ApplyFields(const QString &documentId, const QList<QWidget *> &components,
                 const SqlDataList &records) {
    // Every bound component gets its final text once (empty without a
    // record), and only when it changes: a memo takes all its lines at once.
    QHash<QString, QString> texts;
    QHash<QString, QStringList> memoLinesByName;
    for (const structSqlData &r : records) {
        if (r.id != documentId)
            continue;
        switch (fieldKind(r.comp_name)) {
        case FieldKind::Edit:
        case FieldKind::ComboBox:
            texts.insert(r.comp_name, r.value);
            break;
        case FieldKind::Memo:
            memoLinesByName[strFunMemoOfRecord(r.comp_name)] << r.value;
            break;
        case FieldKind::None:
            break;
        }
    }
    for (QWidget *w : components) {
        const QString name = w->objectName();
        const FieldKind kind = fieldKind(name);
        if (kind == FieldKind::None)
            continue;
        const QString text = kind == FieldKind::Memo
                                 ? memoLinesByName.value(name).join(QLatin1Char('\n'))
                                 : texts.value(name);
        if (strFunWidgetText(w) != text)
            vFunSetWidgetText(w, text);
    }
}

const QWidget *WidgetFieldSource::component(const QString &name) const {
    return m_window ? m_window->findChild<QWidget *>(name) : nullptr;
}

bool WidgetFieldSource::hasComponent(const QString &name) const {
    return component(name) != nullptr;
}

QString WidgetFieldSource::text(const QString &name) const {
    return strFunWidgetText(component(name));
}

QStringList WidgetFieldSource::lines(const QString &memo) const {
    const QWidget *w = component(memo);
    if (auto *m = qobject_cast<const QPlainTextEdit *>(w))
        return memoLines(m);
    return w ? QStringList{strFunWidgetText(w)} : QStringList();
}
