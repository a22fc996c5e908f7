#pragma once

#include <QString>

// The Linux tools the tests read printed output back with (poppler's
// pdftoppm, pdftotext, pdfinfo). Under Wine a Windows test starts them by
// their Linux path and hands them Linux paths (hosttools_*.cpp).
QString hostTool(const QString &name);
QString hostPath(const QString &path);
