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
        connect(m_updateCheck, &UpdateCheck::checkFinished, this, [this](const UpdateOutcome &o) {
            if (!bFunAskAboutUpdate(this, o, [this] { return DataChanged; }))
                return;
            // The dialog opens from the event loop, after the check has ended.
            QTimer::singleShot(0, this, [this, own = o.own, server = o.server] {
                // A second check accepted while the dialog is open adds nothing.
                if (!m_windows.aktualizacja || m_windows.aktualizacja->isVisible())
                    return;
                m_windows.aktualizacja->setVersions(own, server);
                AktualizacjaTimer->start(1000);
            });
        });
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
