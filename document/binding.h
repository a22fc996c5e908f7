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

// Appends the records of the components, in their order.
void CollectFields(const QString &documentId, const QList<QWidget *> &components,
                   SqlDataList &records);
// Empties every bound component.
void ClearFields(const QList<QWidget *> &components);
// Clears, then sets the components from the records of this document.
// Records naming no component are skipped.
void ApplyFields(const QString &documentId, const QList<QWidget *> &components,
                 const SqlDataList &records);
