#pragma once

#include "document/dictionarycodec.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>

#include <memory>

class Hunspell;
class QThread;

// Polish spell-checking, without windows: one Hunspell dictionary, loaded on
// a thread of its own so that start-up does not wait for it, the teacher's
// own words ("Dodaj do słownika", kept in a UTF-8 list in the program folder,
// one word a line) and the words ignored in this run ("Ignoruj"). The program
// makes one and hands it to the editors; ending it waits for a load in
// progress.
class SpellChecker : public QObject {
    Q_OBJECT
public:
    enum class State { NotLoaded, Loading, Ready, Unavailable };

    explicit SpellChecker(QObject *parent = nullptr);
    ~SpellChecker() override;

    // The folder holding pl_PL.aff and pl_PL.dic; tests point it elsewhere,
    // an empty path restores the system's folder.
    void setDictionaryFolder(const QString &folder);
    QString dictionaryFolder() const;

    // Starts loading the dictionary and the personal words (once; nothing
    // happens while loading or loaded, nor after the dictionary was missing).
    void load();
    // Loads the dictionary only when a word first waits to be checked
    // (wordsWaiting): a start, and a class only looked through, do without
    // its memory and its reading. Missing files are said at once, as load() does.
    void loadWhenNeeded();
    // An editor has words to check: loads now when loadWhenNeeded() asked for it.
    void wordsWaiting();
    // Waits for a load in progress to finish (the benchmark and tests).
    void waitForLoad();
    // Forgets the dictionary, the personal and the ignored words, as at a new start.
    void unload();
    State state() const { return m_state; }

    // The "Sprawdzanie pisowni" setting.
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool on);
    // Underlines are shown: enabled and the dictionary loaded.
    bool isActive() const { return m_enabled && m_state == State::Ready; }

    bool isCorrect(const QString &word);
    // Up to max corrections, only those code page 1250 can store.
    QStringList suggestions(const QString &word, int max = 5) const;
    // Adds the word to the personal list and saves the list; false (with the
    // message in msg) when the list could not be written: the word is still
    // accepted in this run.
    bool addPersonalWord(QString &msg, const QString &word);
    void ignoreWord(const QString &word);

    // The name of the personal word list in the program folder.
    static const char *personalListFileName();

signals:
    // The underlines must be redrawn (loaded, switched, a word added).
    void changed();
    // The dictionary is missing: spell-checking is unavailable in this run.
    void unavailable();

private:
    struct Loaded;
    void finishLoad(std::shared_ptr<Loaded> loaded);
    // The dictionary's files are there; when not, the checker is unavailable.
    bool findDictionary();
    bool dictionaryKnows(const QString &word) const;
    QByteArray toDictionary(const QString &word, bool *ok) const;

    State m_state = State::NotLoaded;
    bool m_enabled = true;
    bool m_loadWhenNeeded = false;
    QString m_folder;
    QPointer<QThread> m_thread;
    std::shared_ptr<Loaded> m_pending;
    std::unique_ptr<Hunspell> m_dict;
    DictionaryCodec m_codec;
    QStringList m_personal;
    QSet<QString> m_personalSet;
    QSet<QString> m_ignored;
    QHash<QString, bool> m_cache;
};

// A word of a text: where it starts and how long it is.
struct WordSpan {
    int start;
    int length;
};

// A letter, digit or mark: part of a word.
bool isWordChar(QChar ch);
// The words of a line of text that are to be checked: names (a capital
// inside a sentence), words in capitals and words with digits are left out.
// sentenceStart tells whether the text begins a sentence; sentenceOpen, when
// given, receives whether it ends inside one.
QList<WordSpan> wordsToCheck(const QString &text, bool sentenceStart, bool *sentenceOpen = nullptr);
// The word (letters and digits) at or just before position pos of text; a
// span of length 0 when there is none.
WordSpan wordAt(const QString &text, int pos);
