#include "document/spellchecker.h"

#include "document/dictionaryfiles.h"

#include "storage/codec.h"
#include "storage/errortext.h"
#include "storage/log.h"
#include "storage/paths.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QThread>

#include <hunspell.hxx>

#include <algorithm>
#include <cerrno>

namespace {

const char *const kDictionaryName = "pl_PL";
// Results kept per word; a long session's cache starts afresh past this.
const int kCacheLimit = 50000;

bool endsSentence(QChar ch) {
    return ch == QLatin1Char('.') || ch == QLatin1Char('!') || ch == QLatin1Char('?') ||
           ch == QChar(0x2026);
}

// "Ktury" (a capital, then small letters) and the same word in small letters.
bool isCapitalised(const QString &word) {
    if (word.size() < 2 || !word[0].isUpper())
        return false;
    for (int i = 1; i < word.size(); ++i) {
        if (word[i].isUpper())
            return false;
    }
    return true;
}

QString readPersonalList(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

} // namespace

struct SpellChecker::Loaded {
    std::unique_ptr<Hunspell> dict;
    QStringList personal;
};

SpellChecker::SpellChecker(QObject *parent) : QObject(parent) {}

SpellChecker::~SpellChecker() {
    // A program that ends while the dictionary loads waits for the loading thread.
    if (m_thread)
        m_thread->wait();
}

const char *SpellChecker::personalListFileName() {
    return "slownik_osobisty.txt";
}

void SpellChecker::setDictionaryFolder(const QString &folder) {
    m_folder = folder;
}

QString SpellChecker::dictionaryFolder() const {
    return m_folder.isEmpty() ? strFunSystemDictionaryFolder() : m_folder;
}

namespace {
QString dictionaryFile(const QString &folder, const char *suffix) {
    return folder + QLatin1Char('/') + QLatin1String(kDictionaryName) + QLatin1String(suffix);
}
} // namespace

bool SpellChecker::findDictionary() {
    if (QFileInfo(dictionaryFile(dictionaryFolder(), ".aff")).isFile() &&
        QFileInfo(dictionaryFile(dictionaryFolder(), ".dic")).isFile())
        return true;
    m_state = State::Unavailable;
    emit unavailable();
    return false;
}

void SpellChecker::loadWhenNeeded() {
    if (m_state != State::NotLoaded || !findDictionary())
        return;
    m_loadWhenNeeded = true;
}

void SpellChecker::wordsWaiting() {
    if (m_loadWhenNeeded && m_enabled && m_state == State::NotLoaded)
        load();
}

void SpellChecker::load() {
    if (m_state != State::NotLoaded || !findDictionary())
        return;
    const QString aff = dictionaryFile(dictionaryFolder(), ".aff");
    const QString dic = dictionaryFile(dictionaryFolder(), ".dic");
    QString msg;
    const QString personal =
        strFunGetDataFilePath(msg, QString::fromLatin1(personalListFileName()));
    m_state = State::Loading;
    auto loaded = std::make_shared<Loaded>();
    m_pending = loaded;
    // A few hundred milliseconds of reading: the windows do not wait for it.
    m_thread = QThread::create([loaded, aff, dic, personal] {
        loaded->dict = std::make_unique<Hunspell>(hunspellPath(aff).constData(),
                                                  hunspellPath(dic).constData());
        if (!personal.isEmpty()) {
            for (const QString &line : readPersonalList(personal).split(QLatin1Char('\n'))) {
                const QString word = line.trimmed();
                if (!word.isEmpty())
                    loaded->personal << word;
            }
        }
    });
    connect(m_thread, &QThread::finished, this, [this, loaded] { finishLoad(loaded); });
    connect(m_thread, &QThread::finished, m_thread, &QObject::deleteLater);
    m_thread->start();
}

void SpellChecker::waitForLoad() {
    if (m_state != State::Loading)
        return;
    if (m_thread)
        m_thread->wait();
    finishLoad(m_pending);
}

void SpellChecker::finishLoad(std::shared_ptr<Loaded> loaded) {
    // A load that was waited for, or forgotten by unload(), has nothing to add.
    if (m_state != State::Loading || loaded != m_pending)
        return;
    m_pending.reset();
    m_dict = std::move(loaded->dict);
    m_codec = DictionaryCodec(QByteArray::fromStdString(m_dict->get_dict_encoding()));
    if (!m_codec.isValid()) {
        m_dict.reset();
        m_state = State::Unavailable;
        emit unavailable();
        return;
    }
    m_personal = loaded->personal;
    m_personalSet = QSet<QString>(m_personal.begin(), m_personal.end());
    m_cache.clear();
    m_state = State::Ready;
    emit changed();
}

void SpellChecker::unload() {
    if (m_thread)
        m_thread->wait(); // it deletes itself once finished
    m_thread.clear();
    m_pending.reset();
    m_dict.reset();
    m_personal.clear();
    m_personalSet.clear();
    m_ignored.clear();
    m_cache.clear();
    m_state = State::NotLoaded;
    m_loadWhenNeeded = false;
    emit changed();
}

void SpellChecker::setEnabled(bool on) {
    if (on == m_enabled)
        return;
    m_enabled = on;
    emit changed();
}

QByteArray SpellChecker::toDictionary(const QString &word, bool *ok) const {
    return m_codec.encode(word, ok);
}

bool SpellChecker::dictionaryKnows(const QString &word) const {
    bool ok = false;
    const QByteArray bytes = toDictionary(word, &ok);
    return ok && m_dict->spell(bytes.toStdString());
}

bool SpellChecker::isCorrect(const QString &word) {
    if (m_state != State::Ready || word.isEmpty())
        return true;
    const auto cached = m_cache.constFind(word);
    if (cached != m_cache.cend())
        return *cached;
    const bool correct = m_ignored.contains(word) || m_personalSet.contains(word) ||
                         (isCapitalised(word) && m_personalSet.contains(word.toLower())) ||
                         dictionaryKnows(word);
    if (m_cache.size() >= kCacheLimit)
        m_cache.clear();
    m_cache.insert(word, correct);
    return correct;
}

QStringList SpellChecker::suggestions(const QString &word, int max) const {
    QStringList out;
    bool ok = false;
    const QByteArray bytes = m_dict ? toDictionary(word, &ok) : QByteArray();
    if (!ok)
        return out;
    for (const std::string &s : m_dict->suggest(bytes.toStdString())) {
        bool decoded = false;
        const QString text = m_codec.decode(QByteArray::fromStdString(s), &decoded);
        if (!decoded || !cp1250::canEncode(QStringView(text)) || out.contains(text))
            continue;
        out << text;
        if (out.size() == max)
            break;
    }
    return out;
}

bool SpellChecker::addPersonalWord(QString &msg, const QString &typed) {
    // A word written with a capital at the start of a sentence is kept in
    // small letters, so it is known inside a sentence too.
    const QString word = isCapitalised(typed) ? typed.toLower() : typed;
    if (!m_personalSet.contains(word)) {
        m_personal << word;
        m_personalSet.insert(word);
    }
    m_cache.clear();
    emit changed();

    const QString path = strFunGetDataFilePath(msg, QString::fromLatin1(personalListFileName()));
    if (path.isEmpty())
        return false;
    QSaveFile file(path);
    errno = 0;
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        file.write((m_personal.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
        written = file.commit();
    }
    if (written)
        return true;
    const int err = errno != 0 ? errno : int(file.error());
    return bFunFail(msg,
                    QString::fromUtf8("Nie udało się zapisać słowa w słowniku osobistym:\n") +
                        path + QLatin1Char('\n') + strFunErrnoCode(err),
                    "bFunAddPersonalWord()");
}

void SpellChecker::ignoreWord(const QString &word) {
    m_ignored.insert(word);
    m_cache.remove(word);
    emit changed();
}

// ---------------------------------------------------------------------------

bool isWordChar(QChar ch) {
    return ch.isLetterOrNumber() || ch.isMark();
}

QList<WordSpan> wordsToCheck(const QString &text, bool sentenceStart, bool *sentenceOpen) {
    QList<WordSpan> words;
    bool atStart = sentenceStart;
    int i = 0;
    const int n = int(text.size());
    while (i < n) {
        const QChar ch = text[i];
        if (!isWordChar(ch)) {
            if (endsSentence(ch))
                atStart = true;
            ++i;
            continue;
        }
        const int start = i;
        bool digit = false, lower = false, upperAfterFirst = false;
        for (; i < n && isWordChar(text[i]); ++i) {
            digit = digit || text[i].isDigit();
            lower = lower || text[i].isLower();
            upperAfterFirst = upperAfterFirst || (i > start && text[i].isUpper());
        }
        const bool capital = text[start].isUpper();
        const bool inCapitals = capital && upperAfterFirst && !lower; // "MEN", "SP"
        // A capital inside a sentence starts a name; numbers and class names
        // ("3a") are not words.
        if (!digit && !inCapitals && !(capital && !atStart))
            words.append({start, i - start});
        atStart = false;
    }
    if (sentenceOpen)
        *sentenceOpen = !atStart;
    return words;
}

WordSpan wordAt(const QString &text, int pos) {
    pos = std::clamp(pos, 0, int(text.size()));
    int start = pos;
    if (start == int(text.size()) || !isWordChar(text[start])) {
        if (start == 0 || !isWordChar(text[start - 1]))
            return {pos, 0};
    }
    while (start > 0 && isWordChar(text[start - 1]))
        --start;
    int end = pos;
    while (end < int(text.size()) && isWordChar(text[end]))
        ++end;
    return {start, end - start};
}
