#include "printing/printengine.h"

#include "document/binding.h"
#include "document/prompts.h"
#include "storage/damaged.h"
#include "storage/paths.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>

namespace {

// A tab stored in a field prints as a blank, not as words run together.
QString printable(QString text) {
    return text.replace(QLatin1Char('\t'), QLatin1Char(' '));
}

} // namespace

QString strFunComponentText(const QWidget *component, int line) {
    if (auto *label = qobject_cast<const QLabel *>(component))
        return label->text();
    if (auto *edit = qobject_cast<const QLineEdit *>(component))
        return printable(edit->text());
    if (auto *combo = qobject_cast<const QComboBox *>(component))
        return printable(combo->currentText());
    if (auto *memo = qobject_cast<const QPlainTextEdit *>(component)) {
        const QStringList lines = memoLines(memo);
        return line >= 0 && line < lines.size() ? printable(lines[line]) : QString();
    }
    return QString();
}

QStringList strFunComponentLines(const QWidget *component) {
    if (auto *memo = qobject_cast<const QPlainTextEdit *>(component)) {
        QStringList lines = memoLines(memo);
        for (QString &line : lines)
            line = printable(line);
        return lines;
    }
    return {strFunComponentText(component)};
}

void vFunDrawPage(QPainter &painter, const QPicture &page, const QRectF &target) {
    // A picture replays scaled by the device's resolution over 96: undo it.
    const QPaintDevice *device = painter.device();
    const qreal dpiX = device ? device->logicalDpiX() : 96;
    const qreal dpiY = device ? device->logicalDpiY() : 96;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / kPageWidth * 96.0 / dpiX,
                  target.height() / kPageHeight * 96.0 / dpiY);
    painter.drawPicture(0, 0, page);
    painter.restore();
}

PrintEngine::PrintEngine() {
    ctx.msg = &m_msg;
    vFunResetPages();
    closeSurfaces();
}

QString PrintEngine::strFunCalibTable(int type, bool printWithoutDots) {
    switch (type) {
    case 0:
        return printWithoutDots ? QStringLiteral("klasa_1_3_bk") : QStringLiteral("klasa_1_3");
    case 1:
        return QStringLiteral("wywiadowka");
    case 2:
        return QStringLiteral("arkusz_str1");
    case 3:
        return QStringLiteral("arkusz_str2_5");
    case 4:
        return QStringLiteral("arkusz_str1b");
    case 5:
        return QStringLiteral("arkusz_str2b_5b");
    default:
        return QString();
    }
}

QStringList PrintEngine::backdropFiles(int type) {
    if (type == 0)
        return {QStringLiteral("sw_str1_prw.bmp"), QStringLiteral("sw_str2_prw.bmp")};
    if (type == 1)
        return {QStringLiteral("wywiadowka_prw.bmp")};
    return {QStringLiteral("arkusz_prw.bmp")};
}

void PrintEngine::vFunResetPages() {
    closeSurfaces();
    ctx.page1 = QPicture();
    ctx.page2 = QPicture();
    ctx.page1.setBoundingRect(QRect(0, 0, kPageWidth, kPageHeight));
    ctx.page2.setBoundingRect(QRect(0, 0, kPageWidth, kPageHeight));
    m_painter1 = new QPainter(&ctx.page1);
    m_painter2 = new QPainter(&ctx.page2);
    for (QPainter *p : {m_painter1, m_painter2}) {
        p->setBrush(Qt::NoBrush);
        p->setPen(QPen(Qt::black, 1));
        p->setBackgroundMode(Qt::TransparentMode);
    }
    ctx.surface1 = m_painter1;
    ctx.surface2 = m_painter2;
}

void PrintEngine::closeSurfaces() {
    for (QPainter *&p : {std::ref(m_painter1), std::ref(m_painter2)}) {
        if (p) {
            p->end();
            delete p;
            p = nullptr;
        }
    }
    ctx.surface1 = ctx.surface2 = nullptr;
}

void PrintEngine::vFunRenderDocument(const QWidget *editor, bool printing, int type,
                                     int sideCount) {
    vFunResetPages();
    calibList.clear();
    const QString table = strFunCalibTable(type, ctx.printWithoutDots);
    if (table.isEmpty()) {
        closeSurfaces();
        showMessage(nullptr, QStringLiteral("Błąd"), QStringLiteral("Niepoprawny typ świadectwa"),
                    Prompts::Icon::Warning);
        return;
    }
    const QString path = strFunGetDataFilePath(m_msg, QString::fromLatin1(kCalibFileName));
    bool loaded = !path.isEmpty() && bFunCalibLoadData(m_msg, path, table, calibList);
    QString notice;
    // A damaged calibration file is replaced by the shipped one, once.
    if (!loaded && !path.isEmpty() &&
        bFunRepairDamagedFile(m_msg, QString::fromLatin1(kCalibFileName), true, notice)) {
        showMessage(nullptr, QStringLiteral("Uwaga"), notice, Prompts::Icon::Warning);
        calibList.clear();
        loaded = bFunCalibLoadData(m_msg, path, table, calibList);
    }
    if (!loaded) {
        closeSurfaces();
        showMessage(nullptr, QStringLiteral("Błąd"),
                    QString::fromUtf8("Błąd podczas próby wczytania danych kalibracji.\n\n") +
                        m_msg,
                    Prompts::Icon::Error);
        return;
    }
    ctx.printing = printing;
    sides = sideCount;
    m_memo.clear();
    m_memoLine = 0;
    m_memoLines.clear();
    m_fields.clear();
    m_fieldOrder.clear();
    previewMarks.clear();
    for (const structCalibData &row : calibList)
        drawRow(editor, type, row);
    closeSurfaces();
    if (printing)
        return;
    collectMarks();

    QString scratch;
    const QStringList backdrops = backdropFiles(type);
    QImage *images[] = {&image1, &image2};
    for (int i = 0; i < backdrops.size(); ++i) {
        const QString file =
            strFunGetDataFilePath(scratch, QStringLiteral("grafika/") + backdrops[i]);
        const QImage loaded = backdrop(file);
        if (!loaded.isNull())
            *images[i] = loaded;
    }
    const QRectF target(QPointF(74, 74), QPointF(957, 1388));
    for (int i = 0; i < (type == 0 ? 2 : 1); ++i) {
        if (images[i]->isNull())
            continue;
        QPainter painter(images[i]);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        vFunDrawPage(painter, i == 0 ? ctx.page1 : ctx.page2, target);
        drawMarks(painter, target, i + 1);
    }
    if (showPreview)
        showPreview(image1, image2, type == 0);
}

QImage PrintEngine::backdrop(const QString &path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return QImage();
    // Decoding a page-sized bitmap costs more than drawing the page: keep it
    // while the file stays the same.
    Backdrop &cached = m_backdrops[path];
    if (cached.modified != info.lastModified() || cached.size != info.size() ||
        cached.image.isNull()) {
        QImage loaded;
        if (!loaded.load(path))
            return QImage();
        cached = {loaded.convertToFormat(QImage::Format_RGB32), info.lastModified(), info.size()};
    }
    return cached.image;
}

void PrintEngine::drawRow(const QWidget *editor, int type, const structCalibData &row) {
    const QString &n = row.name;
    auto has = [&n](const char *part) { return n.contains(QLatin1String(part)); };
    if (type == 0) {
        if (has("GRAFIKA: ORZELEK"))
            vFunGraphicDrawMark(ctx, 0, row, m_painter1, n);
        if (has("GRAFIKA: PIECZATKA"))
            vFunGraphicDrawMark(ctx, 1, row, m_painter1, n);
        if (has("_STR1_DATA_LABEL"))
            drawText(editor, row, 1);
        else if (has("_STR2_DATA_LABEL"))
            drawText(editor, row, 2);
        else if (has("_STR1_DATA_EDIT")) {
            // An empty "we" ending leaves no mark at all, not even a strike.
            const QWidget *c = editor->findChild<QWidget *>(n);
            if (c && strFunComponentText(c).isEmpty() &&
                (has("ZMIENNA_UrWE") || has("ZMIENNA_SzkolaWE")))
                return;
            drawText(editor, row, 1);
        } else if (has("_STR2_DATA_EDIT"))
            drawText(editor, row, 2);
        else if (has("_STR1_DATA_COMBOBOX"))
            drawText(editor, row, 1);
        else if (has("_STR2_DATA_COMBOBOX"))
            drawText(editor, row, 2);
        else if (has("_STR1_LINIA_Z_KROPEK"))
            vFunDrawDottedLine(ctx, row, m_painter1, 1, n);
        else if (has("_STR2_LINIA_Z_KROPEK"))
            vFunDrawDottedLine(ctx, row, m_painter2, 2, n);
        else if (has("STR1_DATA_MEMO"))
            drawMemoLine(editor, row, 1);
        else if (has("STR2_DATA_MEMO"))
            drawMemoLine(editor, row, 2);
        return;
    }
    if (type >= 2 && has("GRAFIKA: RAMKA"))
        vFunDrawFrame(ctx, m_painter1, row);
    else if (has("_LINIA_Z_KROPEK"))
        vFunDrawDottedLine(ctx, row, m_painter1, 1, n);
    else if (has("_DATA_COMBOBOX") || has("_DATA_EDIT") || has("_DATA_LABEL"))
        drawText(editor, row, 1);
    else if (has("_DATA_MEMO"))
        drawMemoLine(editor, row, 1);
}

void PrintEngine::drawText(const QWidget *editor, const structCalibData &row, int side) {
    const QWidget *c = editor->findChild<QWidget *>(row.name);
    if (!c)
        return;
    const QString text = strFunComponentText(c);
    vFunDrawTextField(ctx, text, row, side == 1 ? m_painter1 : m_painter2, side, row.name);
    if (fieldKind(row.name) != FieldKind::None)
        noteField(row.name, row, side, text, false);
}

void PrintEngine::drawMemoLine(const QWidget *editor, const structCalibData &row, int side) {
    const QString memo = row.name.left(row.name.size() - 2);
    const QWidget *c = editor->findChild<QWidget *>(memo);
    if (!c)
        return;
    if (memo != m_memo) {
        m_memo = memo;
        m_memoLine = 0;
    } else {
        ++m_memoLine;
    }
    if (!m_memoLines.contains(memo))
        m_memoLines.insert(memo, strFunComponentLines(c));
    const QString text = m_memoLines.value(memo).value(m_memoLine);
    vFunDrawTextField(ctx, text, row, side == 1 ? m_painter1 : m_painter2, side, memo);
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
            previewMarks.append({span.side, span.rect, text});
    }
}

void PrintEngine::drawMarks(QPainter &painter, const QRectF &target, int side) const {
    const QColor red(200, 0, 0);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(13);
    font.setBold(true);
    const QFontMetricsF fm(font);
    const qreal sx = target.width() / kPageWidth, sy = target.height() / kPageHeight;
    painter.save();
    painter.setFont(font);
    for (const PreviewMark &mark : previewMarks) {
        if (mark.side != side)
            continue;
        const QRectF field(target.left() + mark.rect.left() * sx,
                           target.top() + mark.rect.top() * sy, mark.rect.width() * sx,
                           mark.rect.height() * sy);
        painter.setPen(QPen(red, 3));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(field.adjusted(-3, -3, 3, 3));
        const QRectF line(field.left() - 3, field.bottom() + 5, fm.horizontalAdvance(mark.text) + 8,
                          fm.height() + 2);
        // A light veil under the words: what the form holds there still shows.
        painter.fillRect(line, QColor(255, 255, 255, 150));
        painter.setPen(red);
        painter.drawText(line.adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, mark.text);
    }
    painter.restore();
}
