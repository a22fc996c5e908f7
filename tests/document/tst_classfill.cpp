#include "document/classfill.h"
#include "document/templatestore.h"
#include "support/testenv.h"

#include <QtTest>

// The same values for the whole class and the certificate numbers: what
// changes, what stays byte for byte, and that only the working copy changes.
class TestClassFill : public QObject {
    Q_OBJECT
private slots:
    void init();
    void sequenceNumber_data();
    void sequenceNumber();
    void templateValues();
    void fillEmptyOnlyOrOverwrite_data();
    void fillEmptyOnlyOrOverwrite();

private:
    QString classFile() const { return m_files->filePath(QStringLiteral("1b.sqbr5")); }
    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<QTemporaryDir> m_files;
};

namespace {

const QString kData = QString::fromLatin1(kPupilDataId);
const char *const kClass = "ZMIENNA_Klasa_STR1_DATA_EDIT";
const char *const kNumber = "NrDziennika_DATA_EDIT";

QString certificateId() {
    return documentByClass(QStringLiteral("TFKlasa1"))->id();
}

// Three pupils, in the tree's order Bąk, Nowak, Żak: an empty class field
// and no number; a class field and a number of its own; no certificate.
void writeClass(const QString &path) {
    writeFile(path, QByteArray());
    const QString cert = certificateId();
    const struct {
        const char *table, *surname, *first;
        SqlDataList more;
    } pupils[] = {
        {"PESEL13252806563",
         "Bąk",
         "Ola",
         {{cert, kClass, ""},
          {cert, "ZMIENNA_SzczegolneOsiagniecia1_STR2_DATA_EDIT", "konkurs  plastyczny "},
          {cert, "ZMIENNA_Zachowanie_STR2_DATA_MEMO00", "wzorowe"}}},
        {"PESEL14210512349", "Nowak", "Jan", {{kData, kNumber, "7/2026"}, {cert, kClass, "1a"}}},
        {"PESEL15220712344", "Żak", "Ala", {}},
    };
    for (const auto &p : pupils) {
        SqlDataList records{{kData, "Nazwisko_DATA_EDIT", QString::fromUtf8(p.surname)},
                            {kData, "Imie_DATA_EDIT", QString::fromUtf8(p.first)},
                            {kData, "Pesel_DATA_EDIT", QString::fromLatin1(p.table).mid(5)}};
        records << p.more;
        QString msg;
        QVERIFY2(bFunSaveCertData(msg, path, QString::fromLatin1(p.table), records),
                 qPrintable(msg));
    }
}

SqlDataList recordsOf(const QString &path, const QString &table) {
    SqlDataList records;
    QString msg;
    bFunLoadCertData(msg, path, table, records);
    return records;
}

QString valueOf(const SqlDataList &records, const QString &id, const QString &component) {
    for (const structSqlData &r : records)
        if (r.id == id && r.comp_name == component)
            return r.value;
    return QString();
}

bool operator==(const structSqlData &a, const structSqlData &b) {
    return a.id == b.id && a.comp_name == b.comp_name && a.value == b.value;
}

} // namespace

void TestClassFill::init() {
    m_env = std::make_unique<TestEnv>();
    QVERIFY(QDir().mkpath(m_env->programDir()));
    m_files = std::make_unique<QTemporaryDir>();
    writeClass(classFile());
}

void TestClassFill::sequenceNumber_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("number");
    QTest::newRow("plain, first") << "7" << 0 << "7";
    QTest::newRow("plain, third") << "7" << 2 << "9";
    QTest::newRow("plain, past ten") << "9" << 1 << "10";
    QTest::newRow("pattern") << "12/2027" << 1 << "13/2027";
    QTest::newRow("only the first run counts") << "SP3/12/2027" << 2 << "SP5/12/2027";
    QTest::newRow("zeros kept") << "009/2027" << 1 << "010/2027";
    QTest::newRow("wider than its zeros") << "99a" << 1 << "100a";
    QTest::newRow("no digits") << "brak" << 1 << "";
    QTest::newRow("empty") << "" << 0 << "";
}

void TestClassFill::sequenceNumber() {
    QFETCH(QString, first);
    QFETCH(int, step);
    QFETCH(QString, number);
    QCOMPARE(strFunSequenceNumber(first, step), number);
}

// The values start as the school template's; a results page joins the years.
void TestClassFill::templateValues() {
    const SqlDataList schoolTemplate{
        {"DANE SZKOLY", "ZMIENNA_RokSzkolny1_DATA_EDIT", "2026"},
        {"DANE SZKOLY", "ZMIENNA_RokSzkolny2_DATA_EDIT", "2027"},
        {"DANE SZKOLY", "ZMIENNA_Klasa_DATA_EDIT", "pierwszej"},
        {"DANE SZKOLY", "ZMIENNA_MiejscowoscDnia_DATA_EDIT", "26 czerwca"}};
    QHash<QString, QString> got;
    const QList<structFillField> fields =
        listFunClassFields(*documentByClass("TFKlasa1"), schoolTemplate);
    QCOMPARE(fields.size(), certificateTemplateFields().size());
    for (const structFillField &f : fields) {
        QCOMPARE(f.id, certificateId());
        QVERIFY2(!f.caption.isEmpty(), qPrintable(f.component));
        got.insert(f.component, f.fromTemplate);
    }
    QCOMPARE(got.value("ZMIENNA_RokSzkolny2_STR1_DATA_EDIT"), "2027");
    QCOMPARE(got.value(kClass), "pierwszej");
    QCOMPARE(got.value("ZMIENNA_MiejscowoscDnia_STR1_DATA_EDIT"), QString::fromUtf8("26 czerwca"));
    QCOMPARE(got.value("ZMIENNA_Miejscowosc_STR1_DATA_EDIT"), "");

    const QList<structFillField> results =
        listFunClassFields(*documentByClass("TFArkuszStr2bKl1"), schoolTemplate);
    QCOMPARE(results.size(), 2);
    QCOMPARE(results[0].fromTemplate, "2026 / 2027");
    QCOMPARE(listFunClassFields(*documentByClass("TFArkuszStr2bKl1"), {})[0].fromTemplate, "");
}

void TestClassFill::fillEmptyOnlyOrOverwrite_data() {
    QTest::addColumn<bool>("overwrite");
    QTest::addColumn<QStringList>("classes"); // Bąk, Nowak, Żak afterwards
    QTest::addColumn<QStringList>("numbers");
    QTest::newRow("empty fields only")
        << false << QStringList{"1b", "1a", "1b"} << QStringList{"12/2027", "7/2026", "14/2027"};
    QTest::newRow("filled ones too")
        << true << QStringList{"1b", "1b", "1b"} << QStringList{"12/2027", "13/2027", "14/2027"};
}

void TestClassFill::fillEmptyOnlyOrOverwrite() {
    QFETCH(bool, overwrite);
    QFETCH(QStringList, classes);
    QFETCH(QStringList, numbers);
    ClassSession session;
    QVERIFY(session.open(classFile()).ok);
    const QByteArray herFile = readFile(classFile());
    const StudentList pupils = session.pupilsInOrder();
    QCOMPARE(pupils.size(), 3);
    QCOMPARE(pupils[0].table, "PESEL13252806563");

    const QHash<QString, SqlDataList> before = hashFunClassRecords(session.workingCopy(), pupils);
    structFillRequest request;
    const QList<structFillField> fields =
        listFunClassFields(*documentByClass("TFKlasa1"), SqlDataList());
    for (const structFillField &f : fields) {
        if (f.component == kClass)
            request.values.append({f, "1b"});
        else // an empty value is never written
            request.values.append({f, QString()});
    }
    request.numbers = true;
    request.firstNumber = "12/2027";
    request.overwrite = overwrite;
    const QList<structFillChange> changes = listFunPlanClassFill(pupils, before, request);
    for (const structFillChange &c : changes)
        QVERIFY(c.oldValue != c.newValue);

    const ClassFileOutcome out = applyClassFill(session, changes);
    QVERIFY(out.ok);
    QVERIFY(session.unsaved);
    // Her file is as it was until "Zapisz".
    QCOMPARE(readFile(classFile()), herFile);

    for (int i = 0; i < pupils.size(); ++i) {
        const SqlDataList after = recordsOf(session.workingCopy(), pupils[i].table);
        QCOMPARE(valueOf(after, certificateId(), kClass), classes[i]);
        QCOMPARE(valueOf(after, kData, kNumber), numbers[i]);
        // Every other row as it was, in its place; new fields at the end.
        QList<structFillChange> mine;
        for (const structFillChange &c : changes)
            if (c.table == pupils[i].table)
                mine << c;
        const SqlDataList expected = listFunWithChanges(before[pupils[i].table], mine);
        QCOMPARE(after.size(), expected.size());
        for (int r = 0; r < after.size(); ++r)
            QVERIFY2(after[r] == expected[r], qPrintable(after[r].comp_name));
        for (int r = 0; r < before[pupils[i].table].size(); ++r)
            QCOMPARE(after[r].comp_name, before[pupils[i].table][r].comp_name);
    }
    QCOMPARE(valueOf(recordsOf(session.workingCopy(), "PESEL13252806563"), certificateId(),
                     "ZMIENNA_SzczegolneOsiagniecia1_STR2_DATA_EDIT"),
             "konkurs  plastyczny ");

    // The same again changes nothing more.
    const QList<structFillChange> again =
        listFunPlanClassFill(pupils, hashFunClassRecords(session.workingCopy(), pupils), request);
    QVERIFY(again.isEmpty());

    // Not saving undoes it: the file opened again has none of it.
    ClassSession reopened;
    QVERIFY(reopened.open(classFile()).ok);
    QCOMPARE(valueOf(recordsOf(reopened.workingCopy(), "PESEL13252806563"), kData, kNumber), "");
}

QTEST_GUILESS_MAIN(TestClassFill)
#include "tst_classfill.moc"
