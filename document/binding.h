#pragma once

#include "document/certfile.h"

#include <QList>
#include <QStringList>

class QWidget;
class QPlainTextEdit;

// A component takes part in storage by its name alone: "_DATA_EDIT"
// (QLineEdit), "_DATA_COMBOBOX" (QComboBox) or "_DATA_MEMO" (QPlainTextEdit,
// one record per displayed line, named "<name>NN").
enum class FieldKind { None, Edit, ComboBox, Memo };
FieldKind fieldKind(const QString &componentName);

// The lines a memo shows: with word wrap on, each wrapped line is a line.
QStringList memoLines(const QPlainTextEdit *memo);
// The lines the memo would show if it held this text ('\n' between
// paragraphs), at its present width, font and wrapping.
QStringList memoLines(const QPlainTextEdit *memo, const QString &text);
// The memo's characters exactly as held, paragraphs joined by '\n' (unlike
// toPlainText(), which turns non-breaking spaces into blanks).
QString memoText(const QPlainTextEdit *memo);

// What the editors and the preview say of a memo holding more lines than its
// field has room for.
QString strFunOverLimitText(int lines, int limit);

// Appends the records of the components, in their order.
void CollectFields(const QString &documentId, const QList<QWidget *> &components,
                   SqlDataList &records);
// Empties every bound component.
void ClearFields(const QList<QWidget *> &components);
// Clears, then sets the components from the records of this document.
// Records naming no component are skipped.
void ApplyFields(const QString &documentId, const QList<QWidget *> &components,
                 const SqlDataList &records);
