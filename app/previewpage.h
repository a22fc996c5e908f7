#pragma once

#include "printing/preview.h"

#include <QWidget>

// A side of the main window's preview. It holds the shared picture of the
// blank form and the page over it, and draws only the part it shows when it
// paints: a click copies no picture and keeps none.
class PreviewPage : public QWidget {
public:
    explicit PreviewPage(QWidget *parent = nullptr);

    void setSide(PreviewSide side);
    void clear();
    const PreviewSide &side() const { return m_side; }
    bool isEmpty() const { return m_side.isNull(); }
    // The size of the side as drawn; the widget takes it with adjustSize().
    QSize pictureSize() const { return m_side.size(); }
    // The whole side as it is drawn (tests, the benchmark, the pictures of a
    // zoom in progress).
    QImage picture() const { return m_side.image(); }

    // Stretched to the widget's size while a zoom settles, or drawn 1:1.
    void setStretched(bool on);
    bool isStretched() const { return m_stretched; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    PreviewSide m_side;
    bool m_stretched = false;
};
