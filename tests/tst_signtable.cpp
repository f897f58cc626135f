#include "reading/SignTable.h"

#include <QtTest>

#include <limits>

namespace {

// Readable failures: a refused look-up shows as a marker, not as an empty string.
QString orRefused(const std::optional<QString> &text)
{
    return text ? *text : QStringLiteral("<refused>");
}

struct Sign
{
    const char *name;
    const char *keyword;
};

constexpr Sign kSigns[] = {
    {"Alpha", "All"},       {"Beta", "Helper"},        {"Gamma", "The Earth"},
    {"Delta", "Power"},     {"Epsilon", "Aspiration"}, {"Zeta", "Tempest"},
    {"Eta", "Sun"},         {"Theta", "Gods"},         {"Iota", "Worry"},
    {"Kappa", "Waves"},     {"Lambda", "Left"},        {"Mu", "Hard Work"},
    {"Nu", "Conflict"},     {"Xi", "Wasted"},          {"Omicron", "Endangered"},
    {"Pi", "Numerous"},     {"Rho", "Simple"},         {"Sigma", "Basic"},
    {"Tau", "Deliverance"}, {"Upsilon", "Enterprise"}, {"Phi", "Hasty"},
    {"Khi", "Golden"},      {"Psi", "Decision"},       {"Omega", "Complex"},
};

// Each interpretation's exact length and its fixed opening sentence.
struct Reading
{
    int length;
    const char *opening;
};

constexpr Reading kReadings[] = {
    {326, "This sign denotes the successful outcome of any project you begin during this time."},
    {366, "You may feel puzzled and confused at this moment of your life."},
    {330, "This is a good sign for farmers and agriculturists."},
    {379, "You must realize the value of time, one of the most important determiners of the "
          "universe."},
    {328, "There are chances that cupid will favor you this time."},
    {298, "There can be some kind of obstacle in your path and you would find it difficult to "
          "face that."},
    {295, "This oracle sign signifies sun, the most important luminary and the center of our "
          "solar system."},
    {291, "You would be assisted by divine powers in your way."},
    {350, "This oracle emphasizes the vitality of hard-work above all other means to attain your "
          "desired end in life."},
    {388, "The oracle puts forth the might of sea waves in stormy weather."},
    {346, "The oracle, in metaphorical language tries to explain the complex and favorable "
          "attribute of the left side."},
    {284, "This is a time to be proactive and diligent."},
    {313, "This oracle points toward an imminent strife or dispute."},
    {345, "Do not frustrate yourself by putting unnecessary efforts."},
    {327, "Are you keeping your fingers crossed for huge gain?"},
    {304, "The oracle signifies the need for struggle and competition to prove someone's true "
          "worth."},
    {356, "You can be in a fix regarding your future and career."},
    {330, "The oracle suggests inaction for you at this moment."},
    {297, "Separation and detachment is on the cards for you."},
    {364, "The oracle represents ambitious plans with some intrinsic noble elements in it."},
    {292, "You must shun reckless actions at any cost."},
    {327, "The oracle predicts the possibility of a chance coming your way."},
    {342, "If you have a question in your mind regarding some proceeding or legal matters, you "
          "can expect fairness and impartial judgment."},
    {316, "The oracle bears some bad news for farmers and agriculturists."},
};

static_assert(std::size(kSigns) == SignTable::kSignCount);
static_assert(std::size(kReadings) == SignTable::kSignCount);

} // namespace

class TestSignTable : public QObject
{
    Q_OBJECT

private slots:
    void namesAndKeywords_data();
    void namesAndKeywords();
    void spareEntryIsEmpty();
    void outOfRangeIsRefused_data();
    void outOfRangeIsRefused();
    void interpretations_data();
    void interpretations();
    void pictureKeys();
};

void TestSignTable::namesAndKeywords_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("keyword");
    for (int i = 0; i < SignTable::kSignCount; ++i)
        QTest::addRow("%d", i) << i << QString::fromLatin1(kSigns[i].name)
                               << QString::fromLatin1(kSigns[i].keyword);
}

void TestSignTable::namesAndKeywords()
{
    QFETCH(int, index);
    QFETCH(QString, name);
    QFETCH(QString, keyword);
    QCOMPARE(orRefused(SignTable::letterName(index)), name);
    QCOMPARE(orRefused(SignTable::keyword(index)), keyword);
}

void TestSignTable::spareEntryIsEmpty()
{
    // The spare entry must exist (not nullopt) yet hold nothing.
    const int spare = SignTable::kEntryCount - 1;
    QCOMPARE(spare, 24);
    QCOMPARE(orRefused(SignTable::letterName(spare)), QString());
    QCOMPARE(orRefused(SignTable::keyword(spare)), QString());
    QCOMPARE(orRefused(SignTable::interpretation(spare)), QString());
}

void TestSignTable::outOfRangeIsRefused_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("-1") << -1;
    QTest::newRow("25") << 25;
    QTest::newRow("min") << std::numeric_limits<int>::min();
    QTest::newRow("max") << std::numeric_limits<int>::max();
}

void TestSignTable::outOfRangeIsRefused()
{
    QFETCH(int, index);
    QVERIFY(!SignTable::letterName(index));
    QVERIFY(!SignTable::keyword(index));
    QVERIFY(!SignTable::interpretation(index));
}

void TestSignTable::interpretations_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("opening");
    for (int i = 0; i < SignTable::kSignCount; ++i)
        QTest::addRow("%d", i) << i << kReadings[i].length << QString::fromLatin1(kReadings[i].opening);
}

void TestSignTable::interpretations()
{
    QFETCH(int, index);
    QFETCH(int, length);
    QFETCH(QString, opening);
    const std::optional<QString> text = SignTable::interpretation(index);
    QVERIFY(text);
    // The opening sentence is followed by more text, never run straight into it.
    QVERIFY2(text->startsWith(opening + QLatin1Char(' ')), qPrintable(*text));
    QCOMPARE(text->size(), length);
    QVERIFY(text->endsWith(QLatin1Char('.')));
    for (const QChar c : *text)
        QVERIFY2(c.unicode() >= 0x20 && c.unicode() < 0x7f, qPrintable(*text));
}

void TestSignTable::pictureKeys()
{
    QCOMPARE(orRefused(SignTable::pictureKey(1)), QStringLiteral("01alpha.jpg"));
    QCOMPARE(orRefused(SignTable::pictureKey(24)), QStringLiteral("24omegae.jpg"));
    QVERIFY(!SignTable::pictureKey(0));
    QVERIFY(!SignTable::pictureKey(25));
    QVERIFY(!SignTable::pictureKey(-1));
    // Every key carries its own position, so a shifted list shows up here.
    for (int position = 1; position <= SignTable::kSignCount; ++position) {
        const std::optional<QString> key = SignTable::pictureKey(position);
        QVERIFY(key);
        QVERIFY2(key->startsWith(QStringLiteral("%1").arg(position, 2, 10, QLatin1Char('0'))),
                 qPrintable(*key));
        QVERIFY(key->endsWith(QLatin1String(".jpg")));
    }
}

QTEST_APPLESS_MAIN(TestSignTable)
#include "tst_signtable.moc"
