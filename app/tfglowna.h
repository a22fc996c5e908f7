#pragma once

#include "app/windows.h"
#include "document/certfile.h"
#include "document/classsession.h"
#include "document/documents.h"
#include "printing/printengine.h"

#include <QMainWindow>
#include <functional>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QScrollArea;
class QTabWidget;
class QTimer;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class PreviewPage;
class SpellChecker;
class UpdateCheck;

// The main window: the pupils of the open class file as a tree, the preview
// of the selected document, and every command of the program. The open
// class (its file, pupils, loaded pupil and unsaved flag) is the session's.
class TFGlowna : public QMainWindow {
    Q_OBJECT
    ClassSession m_session;

public:
    enum class Selected { Pupil, Document };

    TFGlowna();
    void attachWindows(const ProgramWindows &windows);
    const ProgramWindows &windows() const { return m_windows; }

    bool CloseWithoutAsking = false;
    // The session's unsaved flag.
    ChangedFlag &DataChanged;
    ClassSession &session() { return m_session; }

    // The path of the open class file, shown in the status bar.
    QString documentPath() const;
    void setDocumentPath(const QString &path);
    // "klasa.sqbr5[*] — <caption with the version>".
    void updateWindowTitle();
    // What a PDF may never replace: the open class file and its working copy.
    QStringList protectedClassFiles() const;

    // Start-up; false when the program must end.
    bool StartUpChecks();
    // The command-line document: opened when the text names a file.
    void openCommandLineDocument(const QString &text);
    // A file named to a second start of the program: opened here after the
    // usual save question, unless a window of the program is open over this one.
    void openHandedOverFile(const QString &path);

    bool bFunLoadStudentList();
    // Selects a pupil's document in the tree and opens its editor, the
    // cursor in field when the editor has it. False: no such pupil.
    bool openDocumentEditor(const QString &table, const DocumentInfo &doc,
                            const QString &field = QString());
    QString strFunGetSelectedText(Selected mode) const;
    // The pupil table of the selected node (each node knows its own pupil).
    QString selectedPupilTable() const;
    // The pupil whose data the editors hold (empty: none) and its document
    // row in the tree (-1: the pupil node itself).
    QString loadedPupilTable() const { return m_session.loadedTable(); }
    int loadedDocumentRow() const { return m_loadedRow; }
    // The preview's zoom: a size of its own (25 % to 200 %), or following the
    // window (the page's width, or the whole page).
    enum class ZoomMode { Custom = 0, FitWidth = 1, WholePage = 2 };
    double previewZoom() const { return m_zoom; }
    ZoomMode zoomMode() const { return m_zoomMode; }
    void setPreviewZoom(double zoom);
    void setZoomMode(ZoomMode mode);

    // A short notice in the status bar, beside the path of the class file.
    void showStatusNotice(const QString &text);
    // Without an open class the preview area shows the first steps.
    void setClassOpen(bool open);
    bool isClassOpen() const;
    QString statusNotice() const;
    void vFunUpdatePopupMenu();
    const StudentList &students() const { return m_session.pupils(); }
    QString &messageBuffer() { return m_msg; }

    // The whole pupil, across the fourteen bound windows.
    // dropTable: a table removed in the same transaction (a changed PESEL).
    bool SaveStudentRecord(const QString &dropTable = QString());
    bool LoadStudentRecord(const QString &table);
    void ClearAllEditors();
    // The whole pupil as a save stores it: what the windows in use hold, the
    // stored rows of the documents no window holds.
    SqlDataList collectPupilRecords();

    // Pupils of a list file into the open class, each stored as the pupil
    // dialog stores it; update: pupils already in the class take the list's
    // data, otherwise they stay as they are.
    struct structListImportResult {
        int added = 0, updated = 0, skipped = 0;
        QStringList failed;
    };
    structListImportResult importPupilList(const QList<struct structListPupil> &pupils,
                                           bool update);

    // File operations behind New / Open / Save.
    bool bFunZapiszIstniejacyPlikSwiadectw();
    bool bFunZapiszNowyPlikSwiadectw();

    // The update check against the server (asynchronous; returns at once).
    void vFunUpdateCheck(bool silent);
    UpdateCheck *updateCheck();
    // The program's one spell checker, which the windows' memos use.
    SpellChecker *spellChecker();

    // The window's own print engine (its last rendering and calibration rows).
    PrintEngine &engine() { return m_engine; }

    // Components by their names.
    QTreeWidget *TreeView = nullptr;
    QTabWidget *PageControl = nullptr;
    QScrollArea *ScrollBox1 = nullptr;
    QScrollArea *ScrollBox2 = nullptr;
    PreviewPage *Image1 = nullptr;
    PreviewPage *Image2 = nullptr;
    QCheckBox *WykreskujPusteCheckBox = nullptr;
    QCheckBox *PrintNoDotsCheckBox = nullptr;
    QCheckBox *cbWordWrap = nullptr;
    QMenu *TreeViewPopupMenu = nullptr;
    QTimer *AktualizacjaTimer = nullptr;

public slots:
    void NowyPlikToolButtonClick();
    void OtworzPlikToolButtonClick();
    // Opens a copy of unsaved work kept aside at a start ("odzyskane-…"),
    // from the program folder.
    void OtworzOdzyskanaKopieClick();
    // An earlier version of the open class file, kept by a save, as its
    // unsaved work.
    void Poprzedniewersje1Click();
    void Zapisz1Click();
    void Zapiszjako1Click();
    void Importuj1Click();
    void ImportujListeClick(); // pupils from a CSV or TSV list
    void Szablondanychszkoy1Click();
    void Koniec1Click();
    void DodajUczniaToolButtonClick();
    void EdytujDaneUczniaToolButtonClick();
    void UsunUczniaToolButtonClick();
    void EdytujSwiadectwoToolButtonClick();
    void DrukujToolButtonClick();
    void DrukujDlaKlasyClick();    // one document for every chosen pupil
    void UzupelnijDlaKlasyClick(); // shared fields and numbers for every pupil
    void SprawdzKlaseClick();      // every pupil's documents checked at once
    void Formatowaniewiadectwapodstawowe1Click();
    void Ustawieniaczcionki1Click();
    void WykreskujPusteCheckBoxClick();
    void PrintNoDotsCheckBoxClick();
    void cbWordWrapClick();
    void Sprawdzaniepisowni1Click();
    void Oprogramie1Click();
    void Sprawdczyjestnowawersja1Click();
    void Instrukcjaobsugi1Click();
    void KontaktButtonClick();
    void Logiprogramu1Click();
    void DziennikInternetowy1Click();
    void TreeViewClick();
    void AktualizacjaTimerTimer();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildToolBar();
    void buildMenus();
    void buildCentralArea();
    QAction *action(const QString &name, const QString &text, void (TFGlowna::*slot)());
    QToolButton *toolButton(const char *name, const QString &hint, const char *icon,
                            void (TFGlowna::*slot)());
    void rebuildTree();
    void clearTree();
    // The one selected node of the tree, or null.
    QTreeWidgetItem *selectedNode() const;
    // Loads the selected pupil and document when the selection moved to
    // another one (mouse, keyboard, pop-up menu or program).
    void followSelection();
    // Forgets the loaded pupil: editors emptied, preview cleared.
    void unloadPupil();
    void clearPreview();
    // The preview part of the window: pages, zoom buttons, their keys.
    void buildPreviewControls();
    // Finished pictures (the calibration window's samples) in the preview.
    void showPreviewImages(const QImage &page1, const QImage &page2, bool twoSides);
    void showPreviewSides(const std::array<PreviewSide, 2> &sides, bool twoSides);
    // The zoom the mode gives at the present size of the preview.
    double zoomForMode() const;
    // Scales the shown pictures at once; renders them afresh after a pause.
    void applyZoom();
    void renderPreviewAtZoom();
    // The stored zoom ("preview_zoom_mode", "preview_zoom") applied.
    void applyZoomSetting(int mode, int percent);
    // Shows messages of the class file steps in order.
    void showOutcome(const struct ClassFileOutcome &outcome);
    // Offers back the working copy of a run that ended without closing.
    void recoverUnsavedWork();
    bool loadStudentList(bool report);
    void openCalibration(bool advanced);
    void setOption(QCheckBox *box, const char *key);
    // Preview and print hand the document to the print engine.
    // The print engine draws the document of the loaded pupil's records (an
    // empty document when no pupil is loaded); messages are shown here.
    RenderedPages renderDocument(const DocumentInfo &doc, bool forPrinting);
    const DocumentInfo *rowForLabel(const QString &label) const;
    QTreeWidgetItem *pupilItem(QTreeWidgetItem *item) const;
    bool saveCommand(); // "Zapisz" without touching DataChanged
    // Before the working copy is replaced: the save question; false when the
    // work must stay (a save that failed or was cancelled).
    // A help file or web page in the desktop's browser; says so when none opens it.
    void openPage(const QUrl &url);
    bool offerSaveBeforeReplacing(const QString &caption = QString(),
                                  Prompts::Icon icon = Prompts::Icon::None);
    void openDocumentOrClear(const QString &path);
    // The session opened a class: editors emptied, tree, path and title shown.
    void showOpenedClass();
    // Spell-checking as the setting says; the dictionary loads meanwhile.
    void startSpellChecking(bool off);
    // 1 when the teacher turned spell-checking off (a missing key: on).
    static constexpr const char *kSpellCheckOffKey = "spell_check_off";
    void spellCheckUnavailable();

    ProgramWindows m_windows;
    PrintEngine m_engine;
    PreviewComposer m_preview;
    double m_previewScale = 1.0; // the zoom the shown pictures were drawn at
    QLabel *m_statusText = nullptr;
    QString m_caption = QString::fromUtf8("Świadectwa 1-3");
    QLabel *m_statusNotice = nullptr;
    QWidget *m_firstSteps = nullptr;
    int m_loadedRow = -1;
    QString m_previewTable; // the pupil whose document the preview shows
    bool m_rebuilding = false;
    const DocumentInfo *m_previewDoc = nullptr; // what the preview shows
    double m_zoom = 1.0;
    ZoomMode m_zoomMode = ZoomMode::Custom;
    QTimer *m_zoomSettle = nullptr;
    QLabel *m_zoomLabel = nullptr;
    bool m_recovered = false;
    QString m_msg;
    QString m_lastSaveName = QStringLiteral("nowy");
    UpdateCheck *m_updateCheck = nullptr;
    SpellChecker *m_spellChecker = nullptr;
};

// "SP 1-3 (*.sqbr5)": the only document type of the file dialogs.
QString documentFileFilter();
