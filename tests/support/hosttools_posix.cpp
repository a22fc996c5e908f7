#include "hosttools.h"

QString hostTool(const QString &name) {
    return name;
}

QString hostPath(const QString &path) {
    return path;
}
