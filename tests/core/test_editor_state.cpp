#include "core/drawing.h"
#include "core/editor_state.h"

#include <QTest>

#include <clocale>
#include <limits>

using zorvik::EditorState;
using zorvik::MaybeFloat;
using zorvik::numberText;
using zorvik::rounded;

class TestEditorState : public QObject {
    Q_OBJECT

private slots:
    void roundsHalvesToEven_data();
    void roundsHalvesToEven();
    void clampsBeyondSixteenBits_data();
    void clampsBeyondSixteenBits();
    void wholeNumbersArePlainDigits_data();
    void wholeNumbersArePlainDigits();
    void fractionsKeepSevenSignificantDigits_data();
    void fractionsKeepSevenSignificantDigits();
    void fractionsIgnoreTheLocale();
    void unsetIsEmptyTextAndDrawsAsZero();
    void startValues();
};

void TestEditorState::roundsHalvesToEven_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("2.5") << 2.5f << 2;
    QTest::newRow("3.5") << 3.5f << 4;
    QTest::newRow("-2.5") << -2.5f << -2;
    QTest::newRow("-3.5") << -3.5f << -4;
    QTest::newRow("0.5") << 0.5f << 0;
    QTest::newRow("2.4999") << 2.4999f << 2;
    QTest::newRow("2.5001") << 2.5001f << 3;
    QTest::newRow("-0.4") << -0.4f << 0;
    QTest::newRow("whole") << 120.0f << 120;
}

void TestEditorState::roundsHalvesToEven()
{
    QFETCH(float, value);
    QFETCH(int, expected);
    QCOMPARE(int(rounded(value)), expected);
}

void TestEditorState::clampsBeyondSixteenBits_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("top") << 32767.0f << 32767;
    QTest::newRow("just over top") << 32767.5f << 32767;
    QTest::newRow("far over top") << 1e9f << 32767;
    QTest::newRow("bottom") << -32768.0f << -32768;
    QTest::newRow("just under bottom") << -32768.6f << -32768;
    QTest::newRow("far under bottom") << -1e30f << -32768;
    QTest::newRow("infinity") << std::numeric_limits<float>::infinity() << 32767;
    QTest::newRow("-infinity") << -std::numeric_limits<float>::infinity() << -32768;
    QTest::newRow("nan") << std::numeric_limits<float>::quiet_NaN() << 0;
}

void TestEditorState::clampsBeyondSixteenBits()
{
    QFETCH(float, value);
    QFETCH(int, expected);
    QCOMPARE(int(rounded(value)), expected);
}

void TestEditorState::wholeNumbersArePlainDigits_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero") << 0.0f << "0";
    QTest::newRow("negative zero") << -0.0f << "0";
    QTest::newRow("positive") << 57.0f << "57";
    QTest::newRow("negative") << -3.0f << "-3";
    QTest::newRow("no grouping") << 1234567.0f << "1234567";
    QTest::newRow("large") << 16777216.0f << "16777216";
}

void TestEditorState::wholeNumbersArePlainDigits()
{
    QFETCH(float, value);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(numberText(value)), expected);
}

void TestEditorState::fractionsKeepSevenSignificantDigits_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("half") << 12.5f << "12.5";
    QTest::newRow("negative half") << -0.5f << "-0.5";
    QTest::newRow("seven digits") << 1.234567f << "1.234567";
    QTest::newRow("rounded to seven") << 3.14159265f << "3.141593";
    QTest::newRow("no trailing zeros") << 2.25f << "2.25";
    QTest::newRow("small") << 0.001f << "0.001";
    QTest::newRow("tiny stays positional") << 0.00000125f << "0.00000125";
    QTest::newRow("big with fraction") << 123456.7f << "123456.7";
    QTest::newRow("fraction lost at seven digits") << 1234567.5f << "1234568";
}

void TestEditorState::fractionsKeepSevenSignificantDigits()
{
    QFETCH(float, value);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(numberText(value)), expected);
}

void TestEditorState::fractionsIgnoreTheLocale()
{
    // A Finnish user's locale writes decimal commas, which would break comma-separated
    // coordinates. The set-up generates fi_FI.UTF-8 for the tests; Windows's C runtime knows
    // Finnish by its own names.
#ifdef _WIN32
    const char *finnish = std::setlocale(LC_ALL, "Finnish_Finland.1252");
    if (!finnish)
        finnish = std::setlocale(LC_ALL, "fi-FI");
#else
    const char *finnish = std::setlocale(LC_ALL, "fi_FI.UTF-8");
#endif
    QVERIFY2(finnish, "the locale fi_FI.UTF-8 is not installed (scripts/install-deps.sh test)");
    QCOMPARE(std::localeconv()->decimal_point, ",");
    const std::string text = numberText(12.5f);
    const std::string small = numberText(-0.0125f);
    const std::string readOut = zorvik::readOut(3.25f, 4.0f);
    std::setlocale(LC_ALL, "C");
    QCOMPARE(text, std::string("12.5"));
    QCOMPARE(small, std::string("-0.0125"));
    QCOMPARE(readOut, std::string("X = 3.25, Y = 4"));
}

void TestEditorState::unsetIsEmptyTextAndDrawsAsZero()
{
    const MaybeFloat unset;
    QCOMPARE(numberText(unset), std::string());
    QCOMPARE(zorvik::drawn(unset), 0.0f);
    QCOMPARE(numberText(MaybeFloat(7.0f)), std::string("7"));
    QCOMPARE(numberText(std::int16_t(-32768)), std::string("-32768"));
    QCOMPARE(numberText(std::numeric_limits<float>::quiet_NaN()), std::string());
}

void TestEditorState::startValues()
{
    const EditorState state;
    QCOMPARE(state.dragRadius, std::int16_t(0));
    QVERIFY(state.rectTool);
    QVERIFY(!state.circleTool);
    QVERIFY(!state.polyTool);
    QVERIFY(!state.dragging);
    QVERIFY(state.polyNew);
    QCOMPARE(state.polyOpen, zorvik::polyOpenFalse);
    QVERIFY(!state.circleX && !state.circleY && !state.startX && !state.startY && !state.endX);
    QCOMPARE(state.circleRadius, std::int16_t(0));
    QCOMPARE(state.endY, std::int16_t(0));
    QVERIFY(state.polyCoords.empty());
}

QTEST_APPLESS_MAIN(TestEditorState)
#include "test_editor_state.moc"
