#pragma once

#include <QProxyStyle>

// The desktop's style, except that the tool bar's extension arrows are read
// when first shown (a tool bar that fits never shows them): reading them
// while the main window is built would make Qt look through its image
// plug-ins before the first paint.
class ProgramStyle : public QProxyStyle {
public:
    ProgramStyle();
    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};
