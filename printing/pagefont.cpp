#include "printing/pagefont.h"

#include "document/formlayout.h"

QFont pageFont(const QString &face) {
    QFont font(strFunInstalledFace(face));
    font.setHintingPreference(QFont::PreferVerticalHinting);
    return font;
}
