#include "editors/editorset.h"

#include "editors/documenteditors.h"
#include "editors/tfdaneucznia.h"

TFEditor *createBoundWindow(const DocumentInfo &info, TFDaneUcznia *pupil, QWidget *parent) {
    const QString name = QString::fromLatin1(info.className);
    const QString caption = QString::fromUtf8(info.caption);
    const QString id = info.id();
    const QString variant = QString::fromLatin1(info.variant);
    switch (info.kind) {
    case DocumentKind::Certificate:
        return new TFKlasa(info.grade, name, caption, id, pupil, parent);
    case DocumentKind::TitlePage:
        // MEN-I/37b/2 has a title page of its own.
        return new TFArkuszStr1(QLatin1String(info.layout) == QLatin1String("arkusz_str1b")
                                    ? QStringLiteral("b")
                                    : QStringLiteral("a"),
                                name, caption, id, pupil, parent);
    case DocumentKind::ResultsPage:
        return new TFArkuszWyniki(variant, info.grade, name, caption, id, pupil, parent);
    case DocumentKind::Report:
        return new TFWywiadowka(name, caption, id, pupil, parent);
    case DocumentKind::PupilData:
        break;
    }
    return new TFDaneUcznia(parent);
}
