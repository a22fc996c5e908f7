#pragma once

#include "maintenance/legacyimport.h"

#include <QDialog>

class QLabel;
class QProgressBar;

// The window shown while a legacy class file is imported: the operation in
// progress and a bar. The import runs on the user-interface thread, so the
// window repaints itself whenever the import tells it something.
class TFSQLImport : public QDialog, public ImportProgress {
    Q_OBJECT
public:
    explicit TFSQLImport(QWidget *parent = nullptr);

    // Shows the window (not modal) and paints it before the import starts.
    void start();

    void setOperation(const QString &text) override;
    void setRange(int maximum) override;
    void step() override;

    QLabel *Label1;
    QLabel *InfoLabel;
    QProgressBar *ProgressBar;
};
