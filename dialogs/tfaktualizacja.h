#pragma once

#include "maintenance/updatenet.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class UpdateDownload;
struct UpdateOutcome;

// The update dialog: the two versions, the download of the new package with
// its gauge and status, the address for a browser, and "Zamknij", which
// becomes "Zainstaluj" once the package is in place. Showing the dialog
// starts the download.
class TFAktualizacja : public QDialog {
    Q_OBJECT
public:
    explicit TFAktualizacja(QWidget *parent = nullptr);

    void setVersions(const UpdateVersion &own, const UpdateVersion &server);
    bool downloadFinished() const { return m_downloadFinished; }
    // Where the package is saved: <program folder>/kUpdateSavedPackage.
    QString packagePath() const { return m_packagePath; }
    UpdateDownload *download() const { return m_download; }

    QLabel *Label1 = nullptr;
    QLabel *AWersjaLabel = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *NWersjaLabel = nullptr;
    QLabel *Label3 = nullptr;
    QProgressBar *Postep = nullptr;
    QLabel *Label5 = nullptr;
    QLineEdit *editStatus = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *editDownloadLink = nullptr;
    QPushButton *btnDownloadViaBrowser = nullptr;
    QPushButton *btnClose = nullptr;

signals:
    // The package went to the desktop's installer: the program must end
    // without asking anything.
    void installerHandedOver();

public slots:
    void FormShow();
    void btnDownloadViaBrowserClick();
    void btnCloseClick();
    // Escape or the window's close box: a running download is dropped.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void startDownload();
    void downloadEnded(bool ok);

    UpdateDownload *m_download = nullptr;
    bool m_downloadFinished = false;
    QString m_packagePath;
    qint64 m_length = 0;
    qint64 m_received = 0;
};

// Tells the teacher how a version check ended: a failure or "no newer
// version" only when she asked for the check, a newer version as a question.
// True when she wants the newer version and dataChanged(), read after her
// Yes, says nothing is unsaved; with unsaved work she is told to save first.
bool bFunAskAboutUpdate(QWidget *parent, const UpdateOutcome &outcome,
                        const std::function<bool()> &dataChanged);
