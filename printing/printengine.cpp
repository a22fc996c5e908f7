#include "printing/printengine.h"

#include "document/fieldnames.h"
#include "storage/damaged.h"
#include "storage/paths.h"

#include <QPainter>

QString strFunPrintable(QString text) {
    return text.replace(QLatin1Char('\t'), QLatin1Char(' '));
}

void vFunDrawPage(QPainter &painter, const PagePicture &page, const QRectF &target) {
    page.replay(painter, target);
}

PrintEngine::PrintEngine() {
    ctx.msg = &m_msg;
    vFunResetPages();
}

void PrintEngine::vFunResetPages() {
    for (PagePicture *page : {&ctx.page1, &ctx.page2})
        page->clear();
    ctx.surface1 = &ctx.page1;
    ctx.surface2 = &ctx.page2;
}

void PrintEngine::report(const QString &caption, const QString &text, Prompts::Icon icon) {
    if (ctx.report)
        ctx.report(caption, text, icon);
}

RenderOptions PrintEngine::options() const {
    RenderOptions o;
    o.printing = ctx.printing;
    o.withoutDots = ctx.printWithoutDots;
    o.strikeEmptyFields = ctx.strikeEmptyFields;
    o.clipTextFields = ctx.clipTextFields;
    o.calibrating = ctx.calibrating;
    o.selectedObject = ctx.selectedObject;
    return o;
}

RenderedPages PrintEngine::render(const FieldSource &source, const DocumentInfo &doc,
                                  const RenderOptions &options) {
    ctx.printWithoutDots = options.withoutDots;
    ctx.strikeEmptyFields = options.strikeEmptyFields;
    ctx.clipTextFields = options.clipTextFields;
    ctx.calibrating = options.calibrating;
    ctx.selectedObject = options.selectedObject;
    renderPages(source, doc, options.printing);
    // Drawing for paper is over once the pages are handed out.
    ctx.printing = false;
    return pages();
}

RenderedPages PrintEngine::pages() const {
    RenderedPages out;
    out.ok = m_ok;
    out.sides = sides;
    out.page1 = ctx.page1;
    out.page2 = ctx.page2;
    out.overflows = overflows;
    out.rows = calibList;
    return out;
}

bool PrintEngine::renderPages(const FieldSource &source, const DocumentInfo &doc, bool printing) {
    m_ok = false;
    vFunResetPages();
    calibList.clear();
    const QString table = doc.calibrationTable(ctx.printWithoutDots);
    if (table.isEmpty()) {
        report(QStringLiteral("Błąd"), QStringLiteral("Niepoprawny typ świadectwa"),
               Prompts::Icon::Warning);
        return false;
    }
    const QString path = strFunGetDataFilePath(m_msg, QString::fromLatin1(kCalibFileName));
    bool loaded = !path.isEmpty() && bFunCalibLoadData(m_msg, path, table, calibList);
    QString notice;
    // A damaged calibration file is replaced by the shipped one, once.
    if (!loaded && !path.isEmpty() &&
        bFunRepairDamagedFile(m_msg, QString::fromLatin1(kCalibFileName), true, notice)) {
        report(QStringLiteral("Uwaga"), notice, Prompts::Icon::Warning);
        calibList.clear();
        loaded = bFunCalibLoadData(m_msg, path, table, calibList);
    }
    if (!loaded) {
        report(QStringLiteral("Błąd"),
               QString::fromUtf8("Błąd podczas próby wczytania danych kalibracji.\n\n") + m_msg,
               Prompts::Icon::Error);
        return false;
    }
    ctx.printing = printing;
    sides = doc.sides;
    m_memo.clear();
    m_memoLine = 0;
    m_memoLines.clear();
    m_fields.clear();
    m_fieldOrder.clear();
    previewMarks.clear();
    overflows.clear();
    for (const structCalibData &row : calibList)
        drawRow(source, doc, row);
    collectMarks();
    m_ok = true;
    return true;
}

void PrintEngine::vFunRenderDocument(const FieldSource &source, const DocumentInfo &doc,
                                     bool printing) {
    if (!renderPages(source, doc, printing) || printing)
        return;
    previewMarks = overflows;
    m_preview.compose(pages(), previewMarks, doc, previewScale, image1, image2);
    if (showPreview)
        showPreview(image1, image2, doc.sides == 2);
}

void PrintEngine::drawRow(const FieldSource &source, const DocumentInfo &doc,
                          const structCalibData &row) {
    const QString &n = row.name;
    PagePicture *side1 = ctx.surface1;
    PagePicture *side2 = ctx.surface2;
    auto has = [&n](const char *part) { return n.contains(QLatin1String(part)); };
    if (doc.isCertificate()) {
        if (has("GRAFIKA: ORZELEK"))
            vFunGraphicDrawMark(ctx, 0, row, side1, n);
        if (has("GRAFIKA: PIECZATKA"))
            vFunGraphicDrawMark(ctx, 1, row, side1, n);
        if (has("_STR1_DATA_LABEL"))
            drawText(source, row, 1);
        else if (has("_STR2_DATA_LABEL"))
            drawText(source, row, 2);
        else if (has("_STR1_DATA_EDIT")) {
            // An empty "we" ending leaves no mark at all, not even a strike.
            if (source.hasComponent(n) && source.text(n).isEmpty() &&
                (has("ZMIENNA_UrWE") || has("ZMIENNA_SzkolaWE")))
                return;
            drawText(source, row, 1);
        } else if (has("_STR2_DATA_EDIT"))
            drawText(source, row, 2);
        else if (has("_STR1_DATA_COMBOBOX"))
            drawText(source, row, 1);
        else if (has("_STR2_DATA_COMBOBOX"))
            drawText(source, row, 2);
        else if (has("_STR1_LINIA_Z_KROPEK"))
            vFunDrawDottedLine(ctx, row, side1, 1, n);
        else if (has("_STR2_LINIA_Z_KROPEK"))
            vFunDrawDottedLine(ctx, row, side2, 2, n);
        else if (has("STR1_DATA_MEMO"))
            drawMemoLine(source, row, 1);
        else if (has("STR2_DATA_MEMO"))
            drawMemoLine(source, row, 2);
        return;
    }
    const bool framed =
        doc.kind == DocumentKind::TitlePage || doc.kind == DocumentKind::ResultsPage;
    if (framed && has("GRAFIKA: RAMKA"))
        vFunDrawFrame(ctx, side1, row);
    else if (has("_LINIA_Z_KROPEK")) {
        // "Wyłącz kropki" leaves out the dots of every document; the
        // certificates have a table of their own without them.
        if (!ctx.printWithoutDots)
            vFunDrawDottedLine(ctx, row, side1, 1, n);
    } else if (has("_DATA_COMBOBOX") || has("_DATA_EDIT") || has("_DATA_LABEL"))
        drawText(source, row, 1);
    else if (has("_DATA_MEMO"))
        drawMemoLine(source, row, 1);
}

void PrintEngine::drawText(const FieldSource &source, const structCalibData &row, int side) {
    if (!source.hasComponent(row.name))
        return;
    const QString text = strFunPrintable(source.text(row.name));
    vFunDrawTextField(ctx, text, row, side == 1 ? ctx.surface1 : ctx.surface2, side, row.name);
    if (fieldKind(row.name) != FieldKind::None)
        noteField(row.name, row, side, text, false);
}

void PrintEngine::drawMemoLine(const FieldSource &source, const structCalibData &row, int side) {
    const QString memo = strFunMemoOfRecord(row.name);
    if (!source.hasComponent(memo))
        return;
    if (memo != m_memo) {
        m_memo = memo;
        m_memoLine = 0;
    } else {
        ++m_memoLine;
    }
    if (!m_memoLines.contains(memo)) {
        QStringList lines = source.lines(memo);
        for (QString &line : lines)
            line = strFunPrintable(line);
        m_memoLines.insert(memo, lines);
    }
    const QString text = m_memoLines.value(memo).value(m_memoLine);
    vFunDrawTextField(ctx, text, row, side == 1 ? ctx.surface1 : ctx.surface2, side, memo);
    noteField(memo, row, side, text, true);
}

void PrintEngine::noteField(const QString &component, const structCalibData &row, int side,
                            const QString &text, bool memoRow) {
    if (!m_fields.contains(component))
        m_fieldOrder << component;
    FieldSpan &span = m_fields[component];
    span.side = side;
    span.rect |= QRect(QPoint(row.x1, row.y1), QPoint(row.x2, row.y2));
    if (memoRow)
        ++span.rows;
    if (!text.isEmpty() && iFunTextFieldWidth(row, text) > row.x2 - row.x1)
        span.tooWide = true;
}

void PrintEngine::collectMarks() {
    for (const QString &component : m_fieldOrder) {
        const FieldSpan &span = m_fields[component];
        const int lines = int(m_memoLines.value(component).size());
        QString text;
        if (span.rows > 0 && lines > span.rows)
            text = strFunOverLimitText(lines, span.rows);
        else if (span.tooWide)
            text = QString::fromUtf8("Tekst wychodzi poza pole. Skróć go, aby wydruk był pełny.");
        if (!text.isEmpty())
            overflows.append({span.side, span.rect, text, component});
    }
}
