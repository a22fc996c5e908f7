#pragma once

#include <QString>

// A component takes part in storage by its name alone: "_DATA_EDIT" (a
// one-line field), "_DATA_COMBOBOX" (a drop-down) or "_DATA_MEMO" (a
// multi-line field stored one record per line, named "<name>NN").
enum class FieldKind { None, Edit, ComboBox, Memo };
FieldKind fieldKind(const QString &componentName);

// The record name of a memo's line (index from 0): "<memo>01", "<memo>02"...
QString strFunMemoRecordName(const QString &memo, int index);
// The memo a line record belongs to.
QString strFunMemoOfRecord(const QString &recordName);

// What the editors and the preview say of a memo holding more lines than its
// field has room for.
QString strFunOverLimitText(int lines, int limit);
