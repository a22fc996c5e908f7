#pragma once

#include "document/classversions.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

// The earlier versions of the open class file, newest first, with when each
// was saved and how many pupils it holds; "Otwórz" takes the chosen one.
class TFWersje : public QDialog {
    Q_OBJECT
public:
    explicit TFWersje(QWidget *parent = nullptr);

    // The versions of the class file, the newest chosen.
    void setVersions(const QString &classPath, const QList<ClassVersion> &versions);
    // The chosen version (null: none).
    const ClassVersion *chosenVersion() const;

    QLabel *PlikLabel;
    QTreeWidget *WersjeTreeWidget;
    QPushButton *OtworzButton;
    QPushButton *AnulujButton;

private:
    QList<ClassVersion> m_versions;
};

// The section of the manual for earlier versions.
inline const char *const kHelpVersions = "poprzednie-wersje";
