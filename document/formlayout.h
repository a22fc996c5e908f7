#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// A form layout as the data files describe it: the window, its pages and
// every component laid over the page pictures. The same rows place the
// editor's fields and, later, the printed texts.
// The font of the editors' input fields, on which the forms are measured.
inline const char *const kFieldFontFace = "Liberation Sans";
constexpr int kFieldFontPixels = 12;

// The installed face that stands for a face named by a layout or a
// calibration row. The Windows faces of the forms are not on a Linux
// machine, and fontconfig would fall back to whatever sans it has (DejaVu
// here, Nimbus there), so the same data would measure and print differently
// from machine to machine. They map to the metric-compatible Liberation
// faces, which the scripts and the package install; other faces (chosen in
// the calibration editor from the installed ones) stay as they are.
QString strFunInstalledFace(const QString &face);

struct LayoutItem {
    QString kind; // edit, combo, memo, label, dots; frame (drawn into the page picture only)
    QString name;
    int page = 1;
    int left = 0, top = 0, width = 0, height = 21;
    int tab = -1;
    int limit = 0; // characters for edits and drop-downs, lines for memos
    QStringList flags;
    QString text;      // caption of a label; list entries of a drop-down
    QString fontFace;  // labels
    int fontSize = 0;  // pixels
    QString fontStyle; // "bold", "italic", "bold italic"
    QString only;      // a variant this row belongs to; empty for all

    bool has(const char *flag) const { return flags.contains(QLatin1String(flag)); }
    QStringList listEntries() const {
        return text.isEmpty() ? QStringList() : text.split(QLatin1Char(';'));
    }
};

struct LayoutPage {
    int number = 1;
    QString caption;
    int width = 0, height = 0;
};

struct FormLayout {
    QString name;
    QString mode; // tabs, scroll, plain
    int width = 0, height = 0;
    QList<LayoutPage> pages;
    QList<LayoutItem> items; // in component order

    // The rows for one variant (rows without a variant always belong).
    QList<LayoutItem> itemsFor(const QString &variant) const;
    const LayoutItem *item(const QString &name) const;
};

// What a screen reader calls a field: the words the form prints beside it
// (to its left on its line, else above it, else under it), "końcówka słowa
// X" for a word's ending, ", pole N" where several fields share the words;
// a field without words by its name ("RokSzkolny1" -> "rok szkolny 1").
QString strFunFieldCaption(const FormLayout &layout, const QString &variant,
                           const QString &fieldName);
// The same for every row of the variant at once, by its name: what a window
// built from the layout names its fields.
QHash<QString, QString> fieldCaptions(const FormLayout &layout, const QString &variant);

// Reads a layout from its text: "|"-separated rows, "#" comments. Returns
// false with a reason for a malformed row.
bool parseLayout(const QString &text, FormLayout &layout, QString &error);
// One of the layouts built into the program (":/layouts/<name>.layout").
const FormLayout &formLayout(const QString &name);
