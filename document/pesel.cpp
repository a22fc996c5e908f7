#include "document/pesel.h"

namespace {

const char *const kMonths[] = {"stycznia", "lutego",       "marca",     "kwietnia",
                               "maja",     "czerwca",      "lipca",     "sierpnia",
                               "września", "października", "listopada", "grudnia"};

} // namespace

structPeselCheck peselCheck(const QString &pesel) {
    structPeselCheck out;
    for (QChar ch : pesel) {
        if (!ch.isDigit() || ch.unicode() > '9') {
            out.reason =
                ch.isSpace()
                    ? QString::fromUtf8("zawiera odstęp")
                    : QString::fromUtf8("zawiera znak „%1”, a powinny być same cyfry").arg(ch);
            return out;
        }
    }
    if (pesel.size() != 11) {
        out.reason = QString::fromUtf8("ma %1 cyfr zamiast 11").arg(pesel.size());
        if (pesel.size() >= 2 && pesel.size() <= 4)
            out.reason = QString::fromUtf8("ma %1 cyfry zamiast 11").arg(pesel.size());
        else if (pesel.size() == 1)
            out.reason = QString::fromUtf8("ma 1 cyfrę zamiast 11");
        return out;
    }
    auto digit = [&](int i) { return pesel[i].unicode() - '0'; };
    const int weights[] = {1, 3, 7, 9, 1, 3, 7, 9, 1, 3};
    int sum = 0;
    for (int i = 0; i < 10; ++i)
        sum += digit(i) * weights[i];
    const int yy = digit(0) * 10 + digit(1);
    const int mm = digit(2) * 10 + digit(3);
    const int dd = digit(4) * 10 + digit(5);
    // The century is in the month: +80 for the 1800s, +0, +20, +40, +60 for
    // the 1900s to the 2100s.
    const int century[] = {1900, 2000, 2100, 2200, 1800};
    if (mm < 1 || mm > 92 || (mm - 1) % 20 >= 12) {
        out.reason = QString::fromUtf8("cyfry miesiąca urodzenia, %1, nie oznaczają żadnego "
                                       "miesiąca")
                         .arg(pesel.mid(2, 2));
        return out;
    }
    const int year = century[(mm - 1) / 20] + yy, month = (mm - 1) % 20 + 1;
    const QDate date(year, month, dd);
    if (!date.isValid()) {
        out.reason = QString::fromUtf8("zapisana w nim data urodzenia, %1.%2.%3, nie istnieje")
                         .arg(pesel.mid(4, 2))
                         .arg(month, 2, 10, QLatin1Char('0'))
                         .arg(year);
        return out;
    }
    if ((10 - sum % 10) % 10 != digit(10)) {
        out.reason = QString::fromUtf8("ostatnia cyfra, kontrolna, nie zgadza się z pozostałymi "
                                       "– sprawdź, czy żadna cyfra nie jest przestawiona");
        return out;
    }
    out.valid = true;
    out.birthDate = date;
    out.boy = digit(9) % 2 == 1;
    return out;
}

bool bFunIsPeselPlaceholder(const QString &pesel) {
    return pesel.startsWith(QLatin1String(kPeselPlaceholderPrefix));
}

QString strFunFreePeselPlaceholder(const QStringList &tables) {
    for (int n = 1;; ++n) {
        const QString pesel = QLatin1String(kPeselPlaceholderPrefix) + QString::number(n);
        if (!tables.contains(QStringLiteral("PESEL") + pesel, Qt::CaseInsensitive))
            return pesel;
    }
}

QString strFunBirthDayText(const QDate &date) {
    return QStringLiteral("%1 %2")
        .arg(date.day())
        .arg(QString::fromUtf8(kMonths[date.month() - 1]));
}

QString strFunBirthYearText(const QDate &date) {
    return QStringLiteral("%1 r.").arg(date.year());
}
