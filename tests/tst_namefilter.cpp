#include "reading/NameFilter.h"

#include <QtTest>

using Code = std::optional<int>;
Q_DECLARE_METATYPE(Code)

class TestNameFilter final : public QObject
{
    Q_OBJECT
private slots:
    void typedCode_data();
    void typedCode();
    void acceptsOnlyLettersAndBackspace();
};

void TestNameFilter::typedCode_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Code>("expected");
    const int none = Qt::NoModifier;
    const int ctrl = Qt::ControlModifier;
    QTest::newRow("letter") << int(Qt::Key_A) << none << QStringLiteral("a") << Code(97);
    QTest::newRow("capital") << int(Qt::Key_A) << int(Qt::ShiftModifier) << QStringLiteral("A") << Code(65);
    QTest::newRow("digit") << int(Qt::Key_5) << none << QStringLiteral("5") << Code(53);
    QTest::newRow("space") << int(Qt::Key_Space) << none << QStringLiteral(" ") << Code(32);
    QTest::newRow("accented") << int(Qt::Key_Eacute) << none << QStringLiteral("\u00e9") << Code(0xe9);
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << none << QStringLiteral("\b") << Code(8);
    QTest::newRow("enter") << int(Qt::Key_Return) << none << QStringLiteral("\r") << Code(13);
    QTest::newRow("keypad enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << QStringLiteral("\r")
                                  << Code(13);
    QTest::newRow("escape") << int(Qt::Key_Escape) << none << QStringLiteral("\x1b") << Code(27);
    // Qt Test sends "v" for Ctrl+V, X sends "\x16": both are code 22.
    QTest::newRow("ctrl+v as Qt Test sends it") << int(Qt::Key_V) << ctrl << QStringLiteral("v") << Code(22);
    QTest::newRow("ctrl+v as X sends it") << int(Qt::Key_V) << ctrl << QStringLiteral("\x16") << Code(22);
    QTest::newRow("ctrl+c") << int(Qt::Key_C) << ctrl << QString() << Code(3);
    QTest::newRow("ctrl+x") << int(Qt::Key_X) << ctrl << QString() << Code(24);
    QTest::newRow("ctrl+z") << int(Qt::Key_Z) << ctrl << QString() << Code(26);
    QTest::newRow("ctrl+h is backspace") << int(Qt::Key_H) << ctrl << QString() << Code(8);
    QTest::newRow("tab moves focus") << int(Qt::Key_Tab) << none << QStringLiteral("\t") << Code();
    QTest::newRow("shift+tab moves focus")
        << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << QString() << Code();
    QTest::newRow("arrow types nothing") << int(Qt::Key_Left) << none << QString() << Code();
    QTest::newRow("delete types nothing") << int(Qt::Key_Delete) << none << QStringLiteral("\x7f") << Code();
    QTest::newRow("alt access key") << int(Qt::Key_G) << int(Qt::AltModifier) << QStringLiteral("g")
                                    << Code();
    QTest::newRow("shift alone") << int(Qt::Key_Shift) << int(Qt::ShiftModifier) << QString() << Code();
}

void TestNameFilter::typedCode()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(Code, expected);
    QCOMPARE(NameFilter::typedCharacterCode(key, Qt::KeyboardModifiers(modifiers), text), expected);
}

void TestNameFilter::acceptsOnlyLettersAndBackspace()
{
    QString accepted;
    for (int code = 0; code < 256; ++code) {
        if (NameFilter::accepts(code))
            accepted.append(QChar(code));
    }
    QCOMPARE(accepted, QStringLiteral("\bABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    QVERIFY(!NameFilter::accepts(0x391)); // Greek capital Alpha
}

QTEST_APPLESS_MAIN(TestNameFilter)
#include "tst_namefilter.moc"
