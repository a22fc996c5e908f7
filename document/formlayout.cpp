#include "document/formlayout.h"

#include <QFile>
#include <QHash>

namespace {

int number(const QString &cell, bool &ok) {
    if (cell.isEmpty())
        return 0;
    return cell.toInt(&ok);
}

} // namespace

QString strFunInstalledFace(const QString &face) {
    static const QHash<QString, QString> standIns = {
        {QStringLiteral("ms sans serif"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("microsoft sans serif"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("arial"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("helvetica"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("arial narrow"), QStringLiteral("Liberation Sans Narrow")},
        {QStringLiteral("times new roman"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("times"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("courier new"), QStringLiteral("Liberation Mono")},
        {QStringLiteral("courier"), QStringLiteral("Liberation Mono")},
    };
    const QString key = face.trimmed().toLower();
    if (key.isEmpty())
        return QString::fromLatin1(kFieldFontFace);
    return standIns.value(key, face);
}

QList<LayoutItem> FormLayout::itemsFor(const QString &variant) const {
    QList<LayoutItem> out;
    for (const LayoutItem &i : items) {
        if (i.only.isEmpty() || i.only == variant)
            out << i;
    }
    return out;
}

const LayoutItem *FormLayout::item(const QString &name) const {
    for (const LayoutItem &i : items) {
        if (i.name == name)
            return &i;
    }
    return nullptr;
}

bool parseLayout(const QString &text, FormLayout &layout, QString &error) {
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int n = 0; n < lines.size(); ++n) {
        const QString line = lines[n].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        QStringList cells = line.split(QLatin1Char('|'));
        for (QString &c : cells)
            c = c.trimmed();
        bool ok = true;
        const QString &kind = cells[0];
        if (kind == QLatin1String("window") && cells.size() >= 5) {
            layout.name = cells[1];
            layout.width = number(cells[2], ok);
            layout.height = number(cells[3], ok);
            layout.mode = cells[4];
        } else if (kind == QLatin1String("page") && cells.size() >= 5) {
            LayoutPage page;
            page.number = number(cells[1], ok);
            page.caption = cells[2];
            page.width = number(cells[3], ok);
            page.height = number(cells[4], ok);
            layout.pages << page;
        } else if (cells.size() >= 5) {
            cells.resize(15);
            LayoutItem item;
            item.kind = kind;
            item.name = cells[1];
            item.page = number(cells[2], ok);
            item.left = number(cells[3], ok);
            item.top = number(cells[4], ok);
            item.width = number(cells[5], ok);
            item.height = cells[6].isEmpty() ? 21 : number(cells[6], ok);
            item.tab = cells[7].isEmpty() ? -1 : number(cells[7], ok);
            item.limit = number(cells[8], ok);
            item.flags = cells[9].split(QLatin1Char(' '), Qt::SkipEmptyParts);
            item.text = cells[10];
            item.fontFace = cells[11];
            item.fontSize = number(cells[12], ok);
            item.fontStyle = cells[13];
            item.only = cells[14];
            if (ok)
                layout.items << item;
        } else {
            ok = false;
        }
        if (!ok) {
            error = QStringLiteral("line %1: %2").arg(n + 1).arg(line);
            return false;
        }
    }
    return true;
}

// The layouts live in this static library's resources.
static void initLayoutResources() {
    Q_INIT_RESOURCE(layouts);
}

const FormLayout &formLayout(const QString &name) {
    static QHash<QString, FormLayout> cache;
    if (cache.isEmpty())
        initLayoutResources();
    auto it = cache.find(name);
    if (it == cache.end()) {
        FormLayout layout;
        QFile file(QStringLiteral(":/layouts/%1.layout").arg(name));
        QString error;
        if (!file.open(QIODevice::ReadOnly) ||
            !parseLayout(QString::fromUtf8(file.readAll()), layout, error))
            qFatal("layout %s cannot be read: %s", qPrintable(name), qPrintable(error));
        it = cache.insert(name, layout);
    }
    return *it;
}
