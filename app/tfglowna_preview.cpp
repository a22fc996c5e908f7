// The preview of the main window: the pages over the pictures of the blank
// form, and their zoom.
#include "app/tfglowna.h"

#include "app/previewpage.h"

#include "storage/settings.h"

#include <QAction>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr double kMinZoom = 0.25;
constexpr double kMaxZoom = 2.0;
// The preview pictures at 100 %: the backdrops' size.
constexpr int kPreviewWidth = 1031;
constexpr int kPreviewHeight = 1462;

} // namespace

void TFGlowna::buildPreviewControls() {
    auto *corner = new QWidget(PageControl);
    corner->setObjectName(QStringLiteral("ZoomPanel"));
    auto *row = new QHBoxLayout(corner);
    row->setContentsMargins(4, 0, 4, 0);
    row->setSpacing(2);
    m_zoomLabel = new QLabel(corner);
    m_zoomLabel->setObjectName(QStringLiteral("ZoomLabel"));
    m_zoomLabel->setMinimumWidth(
        QFontMetrics(font()).horizontalAdvance(QStringLiteral("Powiększenie: 200 %")) + 8);
    m_zoomLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(m_zoomLabel);
    auto *group = new QButtonGroup(corner);
    const struct {
        const char *name;
        const char *text;
        const char *tip;
        ZoomMode mode;
        double zoom;
    } buttons[] = {
        {"ZoomFitWidth", "Dopasuj do szerokości", "Podgląd na całą szerokość okna",
         ZoomMode::FitWidth, 0},
        {"ZoomWholePage", "Cała strona", "Cała strona w oknie podglądu", ZoomMode::WholePage, 0},
        {"ZoomActualSize", "100 %", "Podgląd w rzeczywistej wielkości (Ctrl+0)", ZoomMode::Custom,
         1.0},
    };
    for (const auto &b : buttons) {
        auto *button = new QToolButton(corner);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setText(QString::fromUtf8(b.text));
        button->setToolTip(QString::fromUtf8(b.tip));
        button->setAccessibleName(QString::fromUtf8(b.text));
        button->setCheckable(b.mode != ZoomMode::Custom);
        button->setAutoRaise(true);
        group->addButton(button);
        const ZoomMode mode = b.mode;
        const double zoom = b.zoom;
        connect(button, &QToolButton::clicked, this, [this, mode, zoom] {
            if (mode == ZoomMode::Custom)
                setPreviewZoom(zoom);
            else
                setZoomMode(mode);
        });
        row->addWidget(button);
    }
    group->setExclusive(false);
    PageControl->setCornerWidget(corner, Qt::TopRightCorner);

    // Ctrl+plus and Ctrl+minus step the zoom, Ctrl+0 shows 100 %.
    const struct {
        QKeySequence keys;
        double factor;
    } steps[] = {{QKeySequence::ZoomIn, 1.1},
                 {QKeySequence(QStringLiteral("Ctrl+=")), 1.1},
                 {QKeySequence::ZoomOut, 1 / 1.1},
                 {QKeySequence(QStringLiteral("Ctrl+0")), 0}};
    for (const auto &step : steps) {
        auto *action = new QAction(this);
        action->setShortcut(step.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        const double factor = step.factor;
        connect(action, &QAction::triggered, this,
                [this, factor] { setPreviewZoom(factor > 0 ? m_zoom * factor : 1.0); });
        addAction(action);
    }

    m_zoomSettle = new QTimer(this);
    m_zoomSettle->setSingleShot(true);
    m_zoomSettle->setInterval(150);
    connect(m_zoomSettle, &QTimer::timeout, this, &TFGlowna::renderPreviewAtZoom);
    m_zoomLabel->setText(QStringLiteral("Powiększenie: 100 %"));
}

void TFGlowna::applyZoomSetting(int mode, int percent) {
    m_zoomMode = mode == 1   ? ZoomMode::FitWidth
                 : mode == 2 ? ZoomMode::WholePage
                             : ZoomMode::Custom;
    m_zoom = std::clamp(percent > 0 ? percent / 100.0 : 1.0, kMinZoom, kMaxZoom);
    applyZoom();
}

void TFGlowna::setPreviewZoom(double zoom) {
    m_zoomMode = ZoomMode::Custom;
    m_zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    applyZoom();
}

void TFGlowna::setZoomMode(ZoomMode mode) {
    m_zoomMode = mode;
    applyZoom();
}

double TFGlowna::zoomForMode() const {
    const QSize room = ScrollBox1->viewport()->size();
    const double width = double(room.width() - 4) / kPreviewWidth;
    const double whole = std::min(width, double(room.height() - 4) / kPreviewHeight);
    switch (m_zoomMode) {
    case ZoomMode::FitWidth:
        return std::clamp(width, kMinZoom, kMaxZoom);
    case ZoomMode::WholePage:
        return std::clamp(whole, kMinZoom, kMaxZoom);
    case ZoomMode::Custom:
        break;
    }
    return m_zoom;
}

void TFGlowna::applyZoom() {
    m_zoom = zoomForMode();
    m_zoomLabel->setText(QStringLiteral("Powiększenie: %1 %").arg(qRound(m_zoom * 100)));
    for (const char *name : {"ZoomFitWidth", "ZoomWholePage"}) {
        if (auto *b = findChild<QToolButton *>(QLatin1String(name)))
            b->setChecked(
                (m_zoomMode == ZoomMode::FitWidth && qstrcmp(name, "ZoomFitWidth") == 0) ||
                (m_zoomMode == ZoomMode::WholePage && qstrcmp(name, "ZoomWholePage") == 0));
    }
    // The pictures follow at once, smoothly scaled; sharp text comes with
    // the rendering at the settled size.
    for (PreviewPage *image : {Image1, Image2}) {
        if (image->isEmpty())
            continue;
        image->setStretched(true);
        image->resize(QSize(qRound(kPreviewWidth * m_zoom), qRound(kPreviewHeight * m_zoom)));
    }
    m_zoomSettle->start();
}

void TFGlowna::renderPreviewAtZoom() {
    QString scratch;
    bFunSqlSettingWriteValue(scratch, QStringLiteral("preview_zoom_mode"), int(m_zoomMode));
    bFunSqlSettingWriteValue(scratch, QStringLiteral("preview_zoom"), qRound(m_zoom * 100));
    if (m_previewDoc && !Image1->isEmpty() && !qFuzzyCompare(m_previewScale, m_zoom)) {
        renderDocument(*m_previewDoc, false);
        return;
    }
    // Already drawn at this size: shown as drawn.
    for (PreviewPage *image : {Image1, Image2}) {
        image->setStretched(false);
        image->adjustSize();
    }
}

void TFGlowna::showPreviewImages(const QImage &page1, const QImage &page2, bool twoSides) {
    std::array<PreviewSide, 2> sides;
    sides[0].base = page1;
    sides[1].base = page2;
    showPreviewSides(sides, twoSides);
}

void TFGlowna::showPreviewSides(const std::array<PreviewSide, 2> &sides, bool twoSides) {
    for (int i = 0; i < 2; ++i) {
        PreviewPage *image = i == 0 ? Image1 : Image2;
        if (i == 1 && !twoSides)
            continue;
        image->setStretched(false);
        image->setSide(sides[size_t(i)]);
        image->adjustSize();
    }
    // Only the tab bar changes: the tab widget would lay out and paint all
    // of itself again, scroll bars and pages, on every one-to-two-sided step.
    if (PageControl->isTabVisible(1) != twoSides) {
        if (!twoSides && PageControl->currentIndex() == 1)
            PageControl->setCurrentIndex(0);
        PageControl->tabBar()->setTabVisible(1, twoSides);
    }
}

void TFGlowna::clearPreview() {
    m_previewTable.clear();
    m_previewDoc = nullptr;
    Image1->clear();
    Image2->clear();
    Image1->adjustSize();
    Image2->adjustSize();
}
