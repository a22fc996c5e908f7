#include "document/binding.h"

#include <QAbstractTextDocumentLayout>
#include <QComboBox>
#include <QHash>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextLayout>

FieldKind fieldKind(const QString &name) {
    if (name.contains(QLatin1String("_DATA_EDIT")))
        return FieldKind::Edit;
    if (name.contains(QLatin1String("_DATA_COMBOBOX")))
        return FieldKind::ComboBox;
    if (name.contains(QLatin1String("_DATA_MEMO")))
        return FieldKind::Memo;
    return FieldKind::None;
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

QString strFunOverLimitText(int lines, int limit) {
    return QString::fromUtf8("Tekst nie mieści się w polu: %1 z %2 %3. Skróć go, aby wydruk był "
                             "pełny.")
        .arg(lines)
        .arg(limit)
        .arg(limit == 1 ? QStringLiteral("wiersza") : QStringLiteral("wierszy"));
}

void CollectFields(const QString &documentId, const QList<QWidget *> &components,
                   SqlDataList &records) {
    for (QWidget *w : components) {
        const QString name = w->objectName();
        switch (fieldKind(name)) {
        case FieldKind::Edit:
            if (auto *edit = qobject_cast<QLineEdit *>(w))
                records.append({documentId, name, edit->text()});
            break;
        case FieldKind::ComboBox:
            if (auto *combo = qobject_cast<QComboBox *>(w))
                records.append({documentId, name, combo->currentText()});
            break;
        case FieldKind::Memo:
            if (auto *memo = qobject_cast<QPlainTextEdit *>(w)) {
                const QStringList lines = memoLines(memo);
                for (int j = 0; j < lines.size(); ++j)
                    records.append({documentId, name + QString::asprintf("%02d", j + 1), lines[j]});
            }
            break;
        case FieldKind::None:
            break;
        }
    }
}

void ClearFields(const QList<QWidget *> &components) {
    for (QWidget *w : components) {
        switch (fieldKind(w->objectName())) {
        case FieldKind::Edit:
            if (auto *edit = qobject_cast<QLineEdit *>(w))
                edit->clear();
            break;
        case FieldKind::ComboBox:
            if (auto *combo = qobject_cast<QComboBox *>(w))
                combo->setCurrentText(QString());
            break;
        case FieldKind::Memo:
            if (auto *memo = qobject_cast<QPlainTextEdit *>(w))
                memo->clear();
            break;
        case FieldKind::None:
            break;
        }
    }
}

void ApplyFields(const QString &documentId, const QList<QWidget *> &components,
                 const SqlDataList &records) {
    ClearFields(components);
    QHash<QString, QWidget *> byName;
    for (QWidget *w : components)
        byName.insert(w->objectName(), w);
    for (const structSqlData &r : records) {
        if (r.id != documentId)
            continue;
        switch (fieldKind(r.comp_name)) {
        case FieldKind::Edit:
            if (auto *edit = qobject_cast<QLineEdit *>(byName.value(r.comp_name)))
                edit->setText(r.value);
            break;
        case FieldKind::ComboBox:
            if (auto *combo = qobject_cast<QComboBox *>(byName.value(r.comp_name)))
                combo->setCurrentText(r.value);
            break;
        case FieldKind::Memo:
            if (auto *memo = qobject_cast<QPlainTextEdit *>(
                    byName.value(r.comp_name.left(r.comp_name.size() - 2))))
                memo->appendPlainText(r.value);
            break;
        case FieldKind::None:
            break;
        }
    }
}
