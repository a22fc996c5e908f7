// The first steps shown while no class is open, and the spell-checking switch.
#include "app/tfglowna.h"

#include "document/spellchecker.h"
#include "storage/settings.h"

#include <QAction>
#include <QTabWidget>

void TFGlowna::setClassOpen(bool open) {
    m_session.setOpen(open);
    PageControl->setVisible(open);
    m_firstSteps->setVisible(!open);
    updateWindowTitle();
}

bool TFGlowna::isClassOpen() const {
    return !PageControl->isHidden();
}

SpellChecker *TFGlowna::spellChecker() {
    if (!m_spellChecker)
        m_spellChecker = new SpellChecker(this);
    return m_spellChecker;
}

void TFGlowna::startSpellChecking(bool off) {
    SpellChecker &checker = *spellChecker();
    connect(&checker, &SpellChecker::unavailable, this, &TFGlowna::spellCheckUnavailable,
            Qt::UniqueConnection);
    findChild<QAction *>(QStringLiteral("Sprawdzaniepisowni1"))->setChecked(!off);
    checker.setEnabled(!off);
    if (checker.state() == SpellChecker::State::Unavailable)
        spellCheckUnavailable();
    else if (!off)
        checker.loadWhenNeeded();
}

void TFGlowna::spellCheckUnavailable() {
    showStatusNotice(QString::fromUtf8(
        "Sprawdzanie pisowni jest niedostępne: brak słownika polskiego (pakiet hunspell-pl)."));
}

void TFGlowna::Sprawdzaniepisowni1Click() {
    const bool on = findChild<QAction *>(QStringLiteral("Sprawdzaniepisowni1"))->isChecked();
    QString scratch;
    bFunSqlSettingWriteValue(scratch, QString::fromLatin1(kSpellCheckOffKey), on ? 0 : 1);
    spellChecker()->setEnabled(on);
    if (on)
        spellChecker()->load();
}
