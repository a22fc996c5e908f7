#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

// The program's own icons. The build draws each of app/icons/NAME.svg into
// pixel files of a few sizes in the resources (:/icons/<size>x<size>/NAME.px),
// so the program shows them without any SVG support.
QIcon programIcon(const QString &name);

// The desktop theme's icon of that name where the desktop sets a theme and
// it has one, the program's own otherwise.
QIcon themedIcon(const QString &name);

// The names of the program's own icons.
QStringList programIconNames();
