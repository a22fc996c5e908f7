#pragma once

#include "document/certfile.h"
#include "document/fieldnames.h"
#include "document/fieldsource.h"

#include <QList>
#include <QStringList>

class QWidget;
class QPlainTextEdit;

// The binding of a window's components to stored values: a component takes
// part by its name alone (document/fieldnames.h): QLineEdit for "_DATA_EDIT",
// QComboBox for "_DATA_COMBOBOX", a QPlainTextEdit for "_DATA_MEMO" (one
// record per displayed line).

// The one accessor of the component kinds: the text a component shows (a
// label's caption, a field's value, a memo's text) and setting it.
QString strFunWidgetText(const QWidget *component);
void vFunSetWidgetText(QWidget *component, const QString &text);

// The lines a memo shows: with word wrap on, each wrapped line is a line.
QStringList memoLines(const QPlainTextEdit *memo);
// The lines the memo would show if it held this text ('\n' between
// paragraphs), at its present width, font and wrapping.
QStringList memoLines(const QPlainTextEdit *memo, const QString &text);
// The memo's characters exactly as held, paragraphs joined by '\n' (unlike
// toPlainText(), which turns non-breaking spaces into blanks).
QString memoText(const QPlainTextEdit *memo);

// Appends the records of the components, in their order.
void CollectFields(const QString &documentId, const QList<QWidget *> &components,
                   SqlDataList &records);
// Empties every bound component.
void ClearFields(const QList<QWidget *> &components);
// Clears, then sets the components from the records of this document.
// Records naming no component are skipped.
void ApplyFields(const QString &documentId, const QList<QWidget *> &components,
                 const SqlDataList &records);

// A document as a window shows it: the component of the same name supplies
// the text, a memo its displayed lines.
class WidgetFieldSource : public FieldSource {
public:
    explicit WidgetFieldSource(const QWidget *window) : m_window(window) {}
    bool hasComponent(const QString &name) const override;
    QString text(const QString &name) const override;
    QStringList lines(const QString &memo) const override;

private:
    const QWidget *component(const QString &name) const;
    const QWidget *m_window;
};
