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
    void onlyPrintableTextWouldBeInserted();
    void commitIsTakenUpToTheFirstRefusal();
};

void TestNameFilter::typedCode_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Code>("expected");
    const int none = Qt::NoModifier;
    const int ctrl = Qt::ControlModifier;
    const int ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    const int alt = Qt::AltModifier;
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
    // The Ctrl chords that the classic US layout maps to control codes; Qt names the shifted symbol.
    QTest::newRow("ctrl+[") << int(Qt::Key_BracketLeft) << ctrl << QStringLiteral("\x1b") << Code(27);
    QTest::newRow("ctrl+\\") << int(Qt::Key_Backslash) << ctrl << QStringLiteral("\x1c") << Code(28);
    QTest::newRow("ctrl+]") << int(Qt::Key_BracketRight) << ctrl << QStringLiteral("\x1d") << Code(29);
    QTest::newRow("ctrl+minus") << int(Qt::Key_Minus) << ctrl << QStringLiteral("\x1f") << Code(31);
    QTest::newRow("ctrl+shift+minus") << int(Qt::Key_Underscore) << ctrlShift << QString() << Code(31);
    QTest::newRow("ctrl+shift+2") << int(Qt::Key_At) << ctrlShift << QString() << Code(0);
    QTest::newRow("ctrl+shift+6") << int(Qt::Key_AsciiCircum) << ctrlShift << QStringLiteral("\x1e")
                                  << Code(30);
    QTest::newRow("ctrl+shift+a") << int(Qt::Key_A) << ctrlShift << QStringLiteral("\x01") << Code(1);
    QTest::newRow("ctrl+space") << int(Qt::Key_Space) << ctrl << QStringLiteral(" ") << Code(32);
    QTest::newRow("ctrl+enter") << int(Qt::Key_Return) << ctrl << QStringLiteral("\n") << Code(10);
    QTest::newRow("ctrl+backspace") << int(Qt::Key_Backspace) << ctrl << QString() << Code(127);
    QTest::newRow("ctrl+escape") << int(Qt::Key_Escape) << ctrl << QStringLiteral("\x1b") << Code(27);
    // Every other Ctrl chord produces nothing, whatever text Qt attaches to it.
    QTest::newRow("ctrl+1") << int(Qt::Key_1) << ctrl << QStringLiteral("1") << Code();
    QTest::newRow("ctrl+period") << int(Qt::Key_Period) << ctrl << QStringLiteral(".") << Code();
    QTest::newRow("ctrl+2 without shift") << int(Qt::Key_2) << ctrl << QStringLiteral("2") << Code();
    QTest::newRow("ctrl+6 without shift") << int(Qt::Key_6) << ctrl << QStringLiteral("6") << Code();
    QTest::newRow("ctrl+shift+[") << int(Qt::Key_BraceLeft) << ctrlShift << QStringLiteral("{") << Code();
    QTest::newRow("ctrl+left") << int(Qt::Key_Left) << ctrl << QString() << Code();
    // Alt chords produce nothing; AltGr is not Alt, its characters are typed characters.
    QTest::newRow("alt+1") << int(Qt::Key_1) << alt << QStringLiteral("1") << Code();
    QTest::newRow("alt+minus") << int(Qt::Key_Minus) << alt << QStringLiteral("-") << Code();
    QTest::newRow("alt+period") << int(Qt::Key_Period) << alt << QStringLiteral(".") << Code();
    QTest::newRow("alt+shift+1") << int(Qt::Key_Exclam) << int(Qt::AltModifier | Qt::ShiftModifier)
                                 << QStringLiteral("!") << Code();
    QTest::newRow("alt+e acute") << int(Qt::Key_Eacute) << alt << QStringLiteral("\u00e9") << Code();
    QTest::newRow("ctrl+alt+1") << int(Qt::Key_1) << int(Qt::ControlModifier | Qt::AltModifier)
                                << QStringLiteral("1") << Code();
    QTest::newRow("logo+1") << int(Qt::Key_1) << int(Qt::MetaModifier) << QStringLiteral("1") << Code();
    QTest::newRow("altgr+q on a German layout")
        << int(Qt::Key_At) << int(Qt::GroupSwitchModifier) << QStringLiteral("@") << Code(64);
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

void TestNameFilter::onlyPrintableTextWouldBeInserted()
{
    QVERIFY(NameFilter::carriesText(QStringLiteral("1")));
    QVERIFY(NameFilter::carriesText(QStringLiteral("\u00e9")));
    QVERIFY(!NameFilter::carriesText(QString()));
    QVERIFY(!NameFilter::carriesText(QStringLiteral("\t")));
    QVERIFY(!NameFilter::carriesText(QStringLiteral("\x7f")));
}

void TestNameFilter::commitIsTakenUpToTheFirstRefusal()
{
    QCOMPARE(NameFilter::acceptedLength(QStringLiteral("Zoe")), 3);
    QCOMPARE(NameFilter::acceptedLength(QStringLiteral("Zo\u00eb")), 2);
    QCOMPARE(NameFilter::acceptedLength(QStringLiteral("Jo Ann")), 2);
    QCOMPARE(NameFilter::acceptedLength(QStringLiteral("1a")), 0);
    QCOMPARE(NameFilter::acceptedLength(QString()), 0);
}

QTEST_APPLESS_MAIN(TestNameFilter)
#include "tst_namefilter.moc"
