#include "app/programstyle.h"

#include <QIconEngine>
#include <QPainter>
#include <QPointer>

namespace {

// An icon of the base style, asked for when it is first drawn or measured.
class LaterIconEngine : public QIconEngine {
public:
    LaterIconEngine(QPointer<QProxyStyle> style, QStyle::StandardPixmap icon)
        : m_style(std::move(style)), m_which(icon) {}

    QIconEngine *clone() const override { return new LaterIconEngine(*this); }
    QString key() const override { return QStringLiteral("swiadectwa-later-icon"); }
    bool isNull() override { return icon().isNull(); }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return icon().pixmap(size, scale, mode, state);
    }
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode,
               QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }

private:
    const QIcon &icon() {
        if (!m_read) {
            m_read = true;
            if (m_style && m_style->baseStyle())
                m_icon = m_style->baseStyle()->standardIcon(m_which);
        }
        return m_icon;
    }

    QPointer<QProxyStyle> m_style;
    QStyle::StandardPixmap m_which;
    bool m_read = false;
    QIcon m_icon;
};

} // namespace

ProgramStyle::ProgramStyle() = default;

QIcon ProgramStyle::standardIcon(StandardPixmap icon, const QStyleOption *option,
                                 const QWidget *widget) const {
    if (icon == SP_ToolBarHorizontalExtensionButton || icon == SP_ToolBarVerticalExtensionButton)
        return QIcon(new LaterIconEngine(const_cast<ProgramStyle *>(this), icon));
    return QProxyStyle::standardIcon(icon, option, widget);
}
