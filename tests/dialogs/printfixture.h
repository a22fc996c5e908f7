#pragma once

#include "editors/binding.h"

#include "dialogs/tfdrukuj.h"
#include "editors/editor.h"
#include "editors/editorset.h"
#include "editors/tfdaneucznia.h"
#include "printing/printengine.h"
#include "storage/cppsqlite3.h"
#include "storage/paths.h"
#include "support/pdfraster.h"
#include "support/scriptedprompts.h"
#include "support/testenv.h"

#include <QComboBox>
#include <QPainter>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <memory>

// A program folder and an installation folder holding the shipped files,
// the document editors, a print engine and the print dialog over it.
struct PrintFixture {
    TestEnv env;
    QTemporaryDir install;
    ScriptedPrompts prompts;
    std::unique_ptr<QWidget> owner = std::make_unique<QWidget>();
    QList<TFEditor *> editors;
    PrintEngine engine;
    TFDrukuj *dialog = nullptr;

    PrintFixture() {
        // What printing reads: the settings with the margin sets, the
        // calibration, the emblem and the stamp frame; the shipped settings
        // and the help page in the installation folder.
        QDir().mkpath(env.programFile(QStringLiteral("grafika")));
        for (const char *name :
             {"ustawienia.sqset", "bruma_kalibracja.sqset", "grafika/orzel.pic", "grafika/m_p.bmp"})
            env.installShipped(QString::fromLatin1(name));
        for (const char *name : {"ustawienia.sqset", "Swiadectwa.html"})
            QFile::copy(QCoreApplication::applicationDirPath() + '/' + name,
                        install.filePath(QString::fromLatin1(name)));
        vFunSetExeDirPathForTests(install.path());
        TFDaneUcznia *pupil = nullptr;
        for (const DocumentInfo &info : documentTable()) {
            TFEditor *e = createBoundWindow(info, pupil, owner.get());
            if (!pupil)
                pupil = static_cast<TFDaneUcznia *>(e);
            editors << e;
        }
        dialog = new TFDrukuj(owner.get());
        dialog->setDocumentName(QStringLiteral("Agrest Ewa"),
                                QString::fromUtf8("MEN-I/1/2 świad. klasa 1"));
    }
    ~PrintFixture() {
        owner.reset();
        vFunSetExeDirPathForTests(QString());
    }

    TFEditor *editor(const QString &name) const {
        for (TFEditor *e : editors)
            if (e->objectName() == name)
                return e;
        return nullptr;
    }
    QString settingsFile() const { return env.programFile(QStringLiteral("ustawienia.sqset")); }

    // The grade-1 certificate with its sample texts, rendered for paper
    // (without dotted lines, so that a field's ink is its text alone).
    void renderSampleCertificate(int sides = 2) {
        TFEditor *k = editor(QStringLiteral("TFKlasa1"));
        k->FillSampleFields();
        engine.ctx.printWithoutDots = true;
        engine.vFunRenderDocument(WidgetFieldSource(k), *documentByClass(k->objectName()), true);
        engine.sides = sides;
        dialog->setPages(engine.pages());
    }
    structCalibData row(const QString &name) const {
        for (const structCalibData &r : engine.calibList)
            if (r.name == name)
                return r;
        return structCalibData();
    }
    void addMarginSet(const structMarginData &m) const {
        QString msg;
        QVERIFY2(bFunMarginWriteNewSettings(msg, settingsFile(), m), qPrintable(msg));
    }
    void selectPrinter(const QString &name) const {
        const int i = dialog->DrukarkiComboBox->findText(name);
        QVERIFY2(i >= 0, qPrintable(name));
        dialog->DrukarkiComboBox->setCurrentIndex(i);
    }
    void click(int speedButton, int times = 1) const {
        for (int i = 0; i < times; ++i)
            QTest::mouseClick(dialog->SpeedButtons[speedButton - 1], Qt::LeftButton);
    }
};

// Where the ink of a page picture lies inside an area of the page, in page
// units, read off at ten pixels per unit.
inline QRectF pageInkUnits(const PagePicture &page, const QRect &area) {
    const int scale = 10;
    QImage img(area.width() * scale, area.height() * scale, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        vFunDrawPage(p, page,
                     QRectF(-area.left() * scale, -area.top() * scale, kPageWidth * scale,
                            kPageHeight * scale));
    }
    const QRect px = greyInk(img.convertToFormat(QImage::Format_Grayscale8));
    if (px.isEmpty())
        return QRectF();
    return QRectF(area.left() + px.left() / double(scale), area.top() + px.top() / double(scale),
                  px.width() / double(scale), px.height() / double(scale));
}

// Page units to millimetres of the paper, for a side stretched onto
// (left, top)-(right, bottom) mm.
inline QRectF unitsToMm(const QRectF &u, int left, int top, int right, int bottom) {
    const double sx = (right - left) / double(kPageWidth);
    const double sy = (bottom - top) / double(kPageHeight);
    return QRectF(QPointF(left + u.left() * sx, top + u.top() * sy),
                  QPointF(left + u.right() * sx, top + u.bottom() * sy));
}

inline QString mmText(const QRectF &r) {
    return QStringLiteral("%1, %2 - %3, %4 mm")
        .arg(r.left(), 0, 'f', 2)
        .arg(r.top(), 0, 'f', 2)
        .arg(r.right(), 0, 'f', 2)
        .arg(r.bottom(), 0, 'f', 2);
}

// The ink of a field as printed on page pageNo of a PDF, in mm, checked
// against where the margin rectangle and the field's calibration row put it
// (within 0.2 mm on a 600-dpi raster).
inline QRectF checkFieldLanding(const QString &pdf, int pageNo, const PagePicture &page,
                                const structCalibData &row, const QList<int> &margin,
                                const QString &workDir) {
    const QRect rowRect(QPoint(row.x1, row.y1), QPoint(row.x2, row.y2));
    const QRectF expected =
        unitsToMm(pageInkUnits(page, rowRect), margin[0], margin[1], margin[2], margin[3]);
    const QRectF rowMm = unitsToMm(QRectF(rowRect), margin[0], margin[1], margin[2], margin[3]);
    const QImage raster = rasterPdfPage(pdf, pageNo, 600, workDir);
    if (raster.isNull() || expected.isEmpty()) {
        QTest::qFail("nothing to measure", __FILE__, __LINE__);
        return QRectF();
    }
    const QRectF seen =
        pixelsToMm(greyInk(raster, mmToPixels(rowMm.adjusted(-1, -1, 1, 1), 600)), 600);
    const QString what = QStringLiteral("ink %1, expected %2, row %3")
                             .arg(mmText(seen), mmText(expected), mmText(rowMm));
    const bool lands = qAbs(seen.left() - expected.left()) <= 0.2 &&
                       qAbs(seen.top() - expected.top()) <= 0.2 &&
                       qAbs(seen.right() - expected.right()) <= 0.2 &&
                       qAbs(seen.bottom() - expected.bottom()) <= 0.2 &&
                       rowMm.adjusted(-0.2, -0.2, 0.2, 0.2).contains(seen);
    if (!lands)
        QTest::qFail(qPrintable(what), __FILE__, __LINE__);
    return seen;
}
