#include "document/fieldnames.h"

FieldKind fieldKind(const QString &name) {
    if (name.contains(QLatin1String("_DATA_EDIT")))
        return FieldKind::Edit;
    if (name.contains(QLatin1String("_DATA_COMBOBOX")))
        return FieldKind::ComboBox;
    if (name.contains(QLatin1String("_DATA_MEMO")))
        return FieldKind::Memo;
    return FieldKind::None;
}

QString strFunMemoRecordName(const QString &memo, int index) {
    return memo + QString::asprintf("%02d", index + 1);
}

QString strFunMemoOfRecord(const QString &recordName) {
    return recordName.left(recordName.size() - 2);
}

QString strFunOverLimitText(int lines, int limit) {
    return QString::fromUtf8("Tekst nie mieści się w polu: %1 z %2 %3. Skróć go, aby wydruk był "
                             "pełny.")
        .arg(lines)
        .arg(limit)
        .arg(limit == 1 ? QStringLiteral("wiersza") : QStringLiteral("wierszy"));
}
