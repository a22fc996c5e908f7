// The update check, the update dialog and the log viewer of the main window.
#include "app/tfglowna.h"

#include "app/version.h"
#include "dialogs/tfaktualizacja.h"
#include "dialogs/tflogi.h"
#include "maintenance/updatecheck.h"

#include <QTimer>

UpdateCheck *TFGlowna::updateCheck() {
    if (!m_updateCheck) {
        m_updateCheck = new UpdateCheck({kVersionMajor, kVersionMinor, kVersionBuild}, this);
        m_updateCheck->setPromptParent(this);
        m_updateCheck->setDataChanged([this] { return DataChanged; });
        connect(
            m_updateCheck, &UpdateCheck::updateAccepted, this,
            [this](const UpdateVersion &own, const UpdateVersion &server) {
                // A second check accepted while the dialog is open adds nothing.
                if (!m_windows.aktualizacja || m_windows.aktualizacja->isVisible())
                    return;
                m_windows.aktualizacja->setVersions(own, server);
                AktualizacjaTimer->start(1000);
            },
            Qt::QueuedConnection);
    }
    return m_updateCheck;
}

void TFGlowna::vFunUpdateCheck(bool silent) {
    updateCheck()->vFunUpdateCheck(silent);
}

void TFGlowna::Sprawdczyjestnowawersja1Click() {
    vFunUpdateCheck(false);
}

void TFGlowna::AktualizacjaTimerTimer() {
    AktualizacjaTimer->stop();
    TFAktualizacja *dialog = m_windows.aktualizacja;
    if (!dialog || dialog->isVisible())
        return;
    const QMetaObject::Connection handOver = connect(dialog, &TFAktualizacja::installerHandedOver,
                                                     this, [this] { CloseWithoutAsking = true; });
    dialog->exec();
    disconnect(handOver);
    if (CloseWithoutAsking)
        close();
}

void TFGlowna::Logiprogramu1Click() {
    m_windows.logi->exec();
}
