#pragma once

#include <QDialog>
#include <QList>
#include <memory>

struct EditorContext;

class QProgressBar;
class TFEditor;
class TFDaneUcznia;
class TFDrukuj;
class TFGlowna;
class TFLogi;
class TFAktualizacja;
class TFSQLImport;

// Progress window shown while a pupil is saved.
class TFWait : public QDialog {
    Q_OBJECT
public:
    explicit TFWait(QWidget *parent = nullptr);
    QProgressBar *ProgressBar;
};

// About box.
class TFOProgramie : public QDialog {
    Q_OBJECT
public:
    explicit TFOProgramie(QWidget *parent = nullptr);
};

// Every window of the program, created once at start-up in a fixed order and
// kept until exit.
struct ProgramWindows {
    TFGlowna *glowna = nullptr;
    TFDaneUcznia *daneUcznia = nullptr;
    QDialog *kalibracja = nullptr;
    QDialog *daneSzkoly = nullptr;
    TFDrukuj *drukuj = nullptr;
    TFWait *wait = nullptr;
    TFOProgramie *oProgramie = nullptr;
    TFLogi *logi = nullptr;
    TFAktualizacja *aktualizacja = nullptr;
    QDialog *szablonOcenyOpisowej = nullptr;
    TFSQLImport *sqlImport = nullptr;
    // The thirteen document editors.
    QList<TFEditor *> editors;
    // Every window in creation order (the main window first).
    QList<QWidget *> all;
    // What the bound windows reach: the pupil save, the template, the
    // phrase library, the certificates.
    std::shared_ptr<EditorContext> context;

    TFEditor *editor(const QString &className) const;
    // The fourteen bound windows in save/load order (pupil data first).
    QList<TFEditor *> boundWindows() const;
};
