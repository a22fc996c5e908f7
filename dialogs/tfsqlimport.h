#pragma once

#include "maintenance/legacyimport.h"

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;

// The window shown while a legacy class file is imported: the operation in
// progress and a bar. The import runs on the user-interface thread, so the
// window paints itself while the import tells it what it does.
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

private:
    void setBar(int value, int maximum);
    // The labels and the bar follow every call; the window is painted when
    // the last paint is old enough.
    void paintNowAndThen();
    QElapsedTimer m_sincePaint;
};
