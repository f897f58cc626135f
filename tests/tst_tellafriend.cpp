#include "promotion/modTellAFriend.h"
#include "tests/support/TestSupport.h"
#include "web/LinkTable.h"

#include <QtTest>

using modTellAFriend::Referral;
using modTellAFriend::ReferralData;

namespace {

struct QueryItem
{
    QString key;
    QString value; // decoded
};

// Splits an address the way the receiving page does: "?" once, then "&" and "=", then percent-decoding.
QList<QueryItem> decodedQuery(const QString &address, QString *base = nullptr)
{
    const qsizetype mark = address.indexOf(u'?');
    if (base)
        *base = address.left(mark);
    QList<QueryItem> items;
    if (mark < 0)
        return items;
    const QStringList pairs = address.mid(mark + 1).split(u'&');
    for (const QString &pair : pairs) {
        const qsizetype eq = pair.indexOf(u'=');
        items.append({pair.left(eq), QUrl::fromPercentEncoding(pair.mid(eq + 1).toLatin1())});
    }
    return items;
}

Referral allFields(const QString &text)
{
    Referral r;
    r.name = r.email = r.message = r.friendName = r.friendEmail = text;
    return r;
}

Referral proper()
{
    Referral r;
    r.name = QStringLiteral("Ann");
    r.email = QStringLiteral("ann@mail.example");
    r.message = QStringLiteral("Try it");
    r.friendName = QStringLiteral("Bob");
    r.friendEmail = QStringLiteral("bob@mail.example");
    return r;
}

QString folderAddress()
{
    return QStringLiteral("http://") + Sites::mainHost() + QStringLiteral("/zenor-free-lyrandel/");
}

QStringList keys(const QList<QueryItem> &items)
{
    QStringList result;
    for (const QueryItem &item : items)
        result.append(item.key);
    return result;
}

} // namespace

class TestTellAFriend : public QObject
{
    Q_OBJECT
private slots:
    void init() { ReferralData = Referral(); }

    void trimSpaces_removesOnlyCode32_data();
    void trimSpaces_removesOnlyCode32();
    void addressChecks_messageInOrder_data();
    void addressChecks_messageInOrder();
    void submissionChecks_firstFailingValueWins_data();
    void submissionChecks_firstFailingValueWins();
    void address_keysInOrderAndFolderLast();
    void address_valuesSurviveDecoding_data();
    void address_valuesSurviveDecoding();
    void submit_refused_opensNothingAndKeepsUrl();
    void submit_passing_storesAndOpensAddress();
};

void TestTellAFriend::trimSpaces_removesOnlyCode32_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("trimmed");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("only spaces") << QStringLiteral("    ") << QString();
    QTest::newRow("both ends") << QStringLiteral("  Your Name ") << QStringLiteral("Your Name");
    QTest::newRow("inner spaces kept") << QStringLiteral(" a  b ") << QStringLiteral("a  b");
    QTest::newRow("tabs kept") << QStringLiteral("\tx\t") << QStringLiteral("\tx\t");
    QTest::newRow("CR LF kept") << QStringLiteral(" Your Message\r\n ") << QStringLiteral("Your Message\r\n");
    QTest::newRow("no-break space kept") << QStringLiteral("\u00a0x ") << QStringLiteral("\u00a0x");
}

void TestTellAFriend::trimSpaces_removesOnlyCode32()
{
    QFETCH(QString, text);
    QFETCH(QString, trimmed);
    QCOMPARE(modTellAFriend::trimSpaces(text), trimmed);
}

void TestTellAFriend::addressChecks_messageInOrder_data()
{
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("friendEmail");
    QTest::addColumn<QString>("message");
    const QString distinct = QStringLiteral("Please Enter Distinct Email Addresses");
    const QString proper = QStringLiteral("Please Enter Proper Email Address");
    QTest::newRow("both empty") << QString() << QString() << distinct;
    QTest::newRow("same text, even improper") << QStringLiteral("abc") << QStringLiteral("abc") << distinct;
    QTest::newRow("same proper") << QStringLiteral("a@b.c") << QStringLiteral("a@b.c") << distinct;
    QTest::newRow("both placeholders")
        << QStringLiteral("Your Email Address") << QStringLiteral("Friend's Email Address") << proper;
    QTest::newRow("own empty") << QString() << QStringLiteral("a@b.c") << proper;
    QTest::newRow("friend's empty") << QStringLiteral("a@b.c") << QString() << proper;
    QTest::newRow("own lacks @") << QStringLiteral("a.b.c") << QStringLiteral("x@y.z") << proper;
    QTest::newRow("friend's lacks @") << QStringLiteral("a@b.c") << QStringLiteral("x.y.z") << proper;
    QTest::newRow("own lacks dot") << QStringLiteral("a@bc") << QStringLiteral("x@y.z") << proper;
    QTest::newRow("friend's lacks dot") << QStringLiteral("a@b.c") << QStringLiteral("x@yz") << proper;
    QTest::newRow("differ only in case") << QStringLiteral("A@B.C") << QStringLiteral("a@b.c") << QString();
    QTest::newRow("the two signs alone") << QStringLiteral("@.") << QStringLiteral(".@") << QString();
    QTest::newRow("dot before @") << QStringLiteral("a.b@c") << QStringLiteral("x@y.z") << QString();
    QTest::newRow("inner space") << QStringLiteral("a b@c.d") << QStringLiteral("x@y.z") << QString();
}

void TestTellAFriend::addressChecks_messageInOrder()
{
    QFETCH(QString, email);
    QFETCH(QString, friendEmail);
    QFETCH(QString, message);
    QCOMPARE(modTellAFriend::addressProblem(email, friendEmail), message);
}

void TestTellAFriend::submissionChecks_firstFailingValueWins_data()
{
    QTest::addColumn<Referral>("referral");
    QTest::addColumn<QString>("message");

    QTest::newRow("all placeholders") << Referral{QStringLiteral("Your Name"),
                                                  QStringLiteral("Your Email Address"),
                                                  QStringLiteral("Your Message"),
                                                  QStringLiteral("Friend's Name"),
                                                  QStringLiteral("Friend's Email Address"),
                                                  {}}
                                      << QStringLiteral("Please Enter Your Name");
    QTest::newRow("all empty") << Referral() << QStringLiteral("Please Enter Your Name");

    struct Row
    {
        const char *tag;
        QString Referral::*field;
        QString value;
        QString message;
    };
    const Row rows[] = {
        {"name placeholder", &Referral::name, QStringLiteral("Your Name"),
         QStringLiteral("Please Enter Your Name")},
        {"name empty", &Referral::name, QString(), QStringLiteral("Please Enter Your Name")},
        {"name other case", &Referral::name, QStringLiteral("your name"), QString()},
        {"email placeholder", &Referral::email, QStringLiteral("Your Email Address"),
         QStringLiteral("Please Enter Your Email")},
        {"email empty", &Referral::email, QString(), QStringLiteral("Please Enter Your Email")},
        {"message placeholder", &Referral::message, QStringLiteral("Your Message"),
         QStringLiteral("Please Enter Your Message")},
        {"message empty", &Referral::message, QString(), QStringLiteral("Please Enter Your Message")},
        {"message opening text", &Referral::message, QStringLiteral("Your Message\r\n"), QString()},
        {"friend's name placeholder", &Referral::friendName, QStringLiteral("Friend's Name"),
         QStringLiteral("Please Enter Your Friend's Name")},
        {"friend's name empty", &Referral::friendName, QString(),
         QStringLiteral("Please Enter Your Friend's Name")},
        {"friend's email placeholder", &Referral::friendEmail, QStringLiteral("Friend's Email Address"),
         QStringLiteral("Please Enter Your Friend's Email")},
        {"friend's email empty", &Referral::friendEmail, QString(),
         QStringLiteral("Please Enter Your Friend's Email")},
        {"friend's email other case", &Referral::friendEmail, QStringLiteral("FRIEND'S EMAIL ADDRESS"),
         QString()},
    };
    for (const Row &row : rows) {
        Referral r = proper();
        r.*row.field = row.value;
        QTest::newRow(row.tag) << r << row.message;
    }

    // Later values are not examined while an earlier one fails.
    Referral r = proper();
    r.message.clear();
    r.friendName.clear();
    QTest::newRow("message before friend's name") << r << QStringLiteral("Please Enter Your Message");
    r = proper();
    r.email.clear();
    r.friendEmail.clear();
    QTest::newRow("email before friend's email") << r << QStringLiteral("Please Enter Your Email");
    QTest::newRow("all proper") << proper() << QString();
}

void TestTellAFriend::submissionChecks_firstFailingValueWins()
{
    QFETCH(Referral, referral);
    QFETCH(QString, message);
    QCOMPARE(modTellAFriend::referralProblem(referral), message);
}

void TestTellAFriend::address_keysInOrderAndFolderLast()
{
    const QString address = modTellAFriend::referralAddress(proper());
    QCOMPARE(address, QStringLiteral("http://") + Sites::mainHost() +
                          QStringLiteral("/zenorms-refer-a-friend.php?taf1=Ann&taf2=ann%40mail.example"
                                         "&taf3=Try%20it&taf4=Bob&taf5=bob%40mail.example"
                                         "&taf6=http%3A%2F%2F") +
                          Sites::mainHost() + QStringLiteral("%2Fzenor-free-lyrandel%2F"));
    const QList<QueryItem> items = decodedQuery(address);
    QCOMPARE(keys(items), QStringList({"taf1", "taf2", "taf3", "taf4", "taf5", "taf6"}));
    QCOMPARE(items.last().value, folderAddress());
}

void TestTellAFriend::address_valuesSurviveDecoding_data()
{
    QTest::addColumn<QString>("entry");
    QTest::newRow("ampersand") << QStringLiteral("Tom & Jerry&taf9=x");
    QTest::newRow("equals") << QStringLiteral("a=b==c");
    QTest::newRow("hash") << QStringLiteral("#1 fan #");
    QTest::newRow("question mark") << QStringLiteral("why? ?x=1");
    QTest::newRow("plus") << QStringLiteral("1+1 = 2 +");
    QTest::newRow("percent") << QStringLiteral("100% %26 %zz %");
    QTest::newRow("spaces") << QStringLiteral("  two  spaces  ");
    QTest::newRow("CR LF") << QStringLiteral("Your Message\r\nline two\r\n");
    QTest::newRow("non-ASCII") << QStringLiteral("Zoë Ørsted ĳ Ωμέγα 日本 ’");
    QTest::newRow("slashes and colons") << QStringLiteral("http://x.example/a;b,c/");
    QTest::newRow("everything") << QStringLiteral("a&b=c#d?e+f%g h\r\nÄ");
}

void TestTellAFriend::address_valuesSurviveDecoding()
{
    QFETCH(QString, entry);
    const Referral referral = allFields(entry);
    const QString address = modTellAFriend::referralAddress(referral);

    QString base;
    const QList<QueryItem> items = decodedQuery(address, &base);
    QCOMPARE(base,
             QStringLiteral("http://") + Sites::mainHost() + QStringLiteral("/zenorms-refer-a-friend.php"));
    QCOMPARE(keys(items), QStringList({"taf1", "taf2", "taf3", "taf4", "taf5", "taf6"}));
    for (int i = 0; i < 5; ++i)
        QCOMPARE(items.at(i).value, entry);
    QCOMPARE(items.at(5).value, folderAddress());

    // What the browser is handed must decode the same: the launcher must not re-encode or normalise it.
    MessageRecorder boxes;
    UrlRecorder browser;
    ReferralData = referral;
    modTellAFriend::SubmitReferral(nullptr);
    QVERIFY(boxes.shown.isEmpty());
    QCOMPARE(browser.urls.size(), 1);
    QVERIFY(browser.urls.first().isValid());
    QVERIFY(!browser.urls.first().hasFragment());
    const QList<QueryItem> opened = decodedQuery(browser.addresses().first());
    QCOMPARE(keys(opened), keys(items));
    for (int i = 0; i < opened.size(); ++i)
        QCOMPARE(opened.at(i).value, items.at(i).value);
}

void TestTellAFriend::submit_refused_opensNothingAndKeepsUrl()
{
    MessageRecorder boxes;
    UrlRecorder browser;
    ReferralData = proper();
    ReferralData.url = QStringLiteral("http://earlier.example/");
    ReferralData.friendName = QStringLiteral("Friend's Name");
    modTellAFriend::SubmitReferral(nullptr);
    QCOMPARE(boxes.texts(), QStringList{QStringLiteral("Please Enter Your Friend's Name")});
    QCOMPARE(boxes.shown.first().icon, QMessageBox::Critical);
    QCOMPARE(boxes.shown.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(boxes.shown.first().title, QStringLiteral("Zenor Lyrandel"));
    QVERIFY(browser.urls.isEmpty());
    QCOMPARE(ReferralData.url, QStringLiteral("http://earlier.example/"));
}

void TestTellAFriend::submit_passing_storesAndOpensAddress()
{
    MessageRecorder boxes;
    UrlRecorder browser;
    ReferralData = proper();
    modTellAFriend::SubmitReferral(nullptr);
    modTellAFriend::SubmitReferral(nullptr); // every passing submission opens the page again
    QVERIFY(boxes.shown.isEmpty());
    const QString expected = modTellAFriend::referralAddress(proper());
    QCOMPARE(ReferralData.url, expected);
    QCOMPARE(browser.addresses(), QStringList({expected, expected}));
}

QTEST_MAIN(TestTellAFriend)
#include "tst_tellafriend.moc"
