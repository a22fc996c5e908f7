#include "app/programicons.h"

#include "printing/pixelfile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIconEngine>
#include <QMap>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>

namespace {

// One folder a size, as the build makes them: 16x16, 24x24, ...
QFileInfoList sizeFolders() {
    return QDir(QStringLiteral(":/icons")).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot);
}

// The pictures of one icon, read from the resources only when a size is
// first drawn: a start shows a dozen icons at one size each and decodes
// nothing else.
class ProgramIconEngine : public QIconEngine {
public:
    explicit ProgramIconEngine(const QString &name) {
        for (const QFileInfo &folder : sizeFolders()) {
            const int size = folder.fileName().section(QLatin1Char('x'), 0, 0).toInt();
            const QString file =
                folder.filePath() + QLatin1Char('/') + name + QStringLiteral(".px");
            if (size > 0 && QFileInfo::exists(file))
                m_files.insert(size, file);
        }
    }

    QIconEngine *clone() const override { return new ProgramIconEngine(*this); }
    QString key() const override { return QStringLiteral("swiadectwa-program-icon"); }
    bool isNull() override { return m_files.isEmpty(); }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (int size : m_files.keys())
            sizes << QSize(size, size);
        return sizes;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override {
        if (m_files.isEmpty())
            return QSize();
        const int side = std::min({size.width(), size.height(), m_files.lastKey()});
        return QSize(side, side);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override {
        const QSize actual = actualSize(size, mode, QIcon::Off);
        if (actual.isEmpty())
            return QPixmap();
        // The smallest picture at least as large, else the largest.
        auto it = m_files.lowerBound(std::max(actual.width(), actual.height()));
        if (it == m_files.end())
            --it;
        QPixmap &picture = m_loaded[it.key()];
        if (picture.isNull()) {
            QFile file(it.value());
            if (file.open(QIODevice::ReadOnly))
                picture = QPixmap::fromImage(pixelfile::decode(file.readAll()));
        }
        QPixmap shown = picture.size() == actual
                            ? picture
                            : picture.scaled(actual, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (mode != QIcon::Normal && !shown.isNull()) {
            QStyleOption option;
            option.palette = QApplication::palette();
            shown = QApplication::style()->generatedIconPixmap(mode, shown, &option);
        }
        return shown;
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode,
               QIcon::State state) override {
        const QPixmap shown = pixmap(rect.size(), mode, state);
        const QSize drawn = shown.size();
        painter->drawPixmap(QRect(rect.topLeft() + QPoint((rect.width() - drawn.width()) / 2,
                                                          (rect.height() - drawn.height()) / 2),
                                  drawn),
                            shown);
    }

private:
    QMap<int, QString> m_files;
    QMap<int, QPixmap> m_loaded;
};

} // namespace

QIcon programIcon(const QString &name) {
    return QIcon(new ProgramIconEngine(name));
}

QIcon themedIcon(const QString &name) {
    // "hicolor" is what Qt names when the desktop sets no theme: it holds
    // programs' own icons, not these, and looking in it costs a start some
    // milliseconds an icon.
    const QString theme = QIcon::themeName();
    if (theme.isEmpty() || theme == QLatin1String("hicolor"))
        return programIcon(name);
    return QIcon::fromTheme(name, programIcon(name));
}

QStringList programIconNames() {
    QStringList names;
    for (const QFileInfo &folder : sizeFolders()) {
        for (const QFileInfo &f :
             QDir(folder.filePath()).entryInfoList({QStringLiteral("*.px")}, QDir::Files)) {
            if (!names.contains(f.completeBaseName()))
                names.append(f.completeBaseName());
        }
    }
    return names;
}
