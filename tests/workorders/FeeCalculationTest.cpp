#include <QtTest>

#include "common/AmountFormat.h"
#include "workorders/AmountEdit.h"
#include "workorders/FeeCalculation.h"

using namespace zomi;

Q_DECLARE_METATYPE(zomi::Amount)

class FeeCalculationTest : public QObject {
    Q_OBJECT

  private slots:
    void workedExampleOfAVatContractor();
    void contractorWithoutVatKeepsItsRates_data();
    void contractorWithoutVatKeepsItsRates();
    void untickingVatMakesGrossEqualNet();
    void emptyAmountsGiveZero();
    void zeroRatesAreLeftEmpty();
    void amountsAreNeverRounded();
    void typedAmounts_data();
    void typedAmounts();
    void editTextReadsBack();
};

void FeeCalculationTest::workedExampleOfAVatContractor() {
    const NetRates rates = RatesFromContractor(QStringLiteral("I"), 127, 254, 1.27);
    QVERIFY(rates.munkadij1 && rates.kiszdij1);
    QCOMPARE(*rates.munkadij1, 100.0);
    QCOMPARE(*rates.kiszdij1, 200.0);

    const double munkadij3 = NetLabourFee(rates.munkadij1, 3.0);
    const double kiszdij3 = NetCallOutFee(rates.kiszdij1, 2.0);
    QCOMPARE(munkadij3, 300.0);
    QCOMPARE(kiszdij3, 400.0);

    const GrossAmounts gross =
        GrossAndTotal(munkadij3, kiszdij3, Amount(), QStringLiteral("I"), 1.27);
    QCOMPARE(gross.munkadij4, 381.0);
    QCOMPARE(gross.kiszdij4, 508.0);
    QCOMPARE(gross.anyag4, 0.0);
    QCOMPARE(gross.ossz, 889.0);
}

void FeeCalculationTest::contractorWithoutVatKeepsItsRates_data() {
    QTest::addColumn<QString>("afas");
    QTest::newRow("N") << QStringLiteral("N");
    QTest::newRow("empty") << QString();
    QTest::newRow("lower-case i") << QStringLiteral("i");
    QTest::newRow("I with a blank") << QStringLiteral("I ");
}

void FeeCalculationTest::contractorWithoutVatKeepsItsRates() {
    QFETCH(QString, afas);
    QCOMPARE(ContractorRateFactor(afas, 1.27), 1.0);
    const NetRates rates = RatesFromContractor(afas, 7500, 4000, 1.27);
    QCOMPARE(rates.munkadij1, Amount(7500));
    QCOMPARE(rates.kiszdij1, Amount(4000));

    const GrossAmounts gross =
        GrossAndTotal(NetLabourFee(rates.munkadij1, 2.5), NetCallOutFee(rates.kiszdij1, 1.0),
                      12345.5, afas, 1.27);
    QCOMPARE(gross.munkadij4, 18750.0);
    QCOMPARE(gross.kiszdij4, 4000.0);
    QCOMPARE(gross.anyag4, 12345.5);
    QCOMPARE(gross.ossz, 18750.0 + 4000.0 + 12345.5);
}

void FeeCalculationTest::untickingVatMakesGrossEqualNet() {
    const NetRates rates = RatesFromContractor(QStringLiteral("I"), 127, 254, 1.27);
    const double munkadij3 = NetLabourFee(rates.munkadij1, 3.0);
    const double kiszdij3 = NetCallOutFee(rates.kiszdij1, 2.0);
    // The work order's own flag decides, not the contractor's.
    const GrossAmounts gross = GrossAndTotal(munkadij3, kiszdij3, 50.0, QStringLiteral("N"), 1.27);
    QCOMPARE(gross.munkadij4, munkadij3);
    QCOMPARE(gross.kiszdij4, kiszdij3);
    QCOMPARE(gross.anyag4, 50.0);
    QCOMPARE(gross.ossz, munkadij3 + kiszdij3 + 50.0);
    QCOMPARE(*rates.munkadij1, 100.0);
}

void FeeCalculationTest::emptyAmountsGiveZero() {
    QCOMPARE(NetLabourFee(Amount(), Amount()), 0.0);
    QCOMPARE(NetLabourFee(100.0, Amount()), 0.0);
    QCOMPARE(NetCallOutFee(Amount(), 2.0), 0.0);
    for (const QString& afas : {QStringLiteral("I"), QStringLiteral("N")}) {
        const GrossAmounts gross = GrossAndTotal(Amount(), Amount(), Amount(), afas, 1.27);
        QCOMPARE(gross.munkadij4, 0.0);
        QCOMPARE(gross.kiszdij4, 0.0);
        QCOMPARE(gross.anyag4, 0.0);
        QCOMPARE(gross.ossz, 0.0);
    }
}

void FeeCalculationTest::zeroRatesAreLeftEmpty() {
    NetRates rates = RatesFromContractor(QStringLiteral("I"), 0, 15000, 1.27);
    QCOMPARE(rates.munkadij1, Amount());
    QVERIFY(rates.kiszdij1);
    rates = RatesFromContractor(QStringLiteral("N"), 7000, 0, 1.27);
    QCOMPARE(rates.munkadij1, Amount(7000));
    QCOMPARE(rates.kiszdij1, Amount());
    // A rate read as NULL arrives as the default 0 and is left empty as well.
    rates = RatesFromContractor(QString(), 0, 0, 1.27);
    QCOMPARE(rates.munkadij1, Amount());
    QCOMPARE(rates.kiszdij1, Amount());
}

void FeeCalculationTest::amountsAreNeverRounded() {
    const NetRates rates = RatesFromContractor(QStringLiteral("I"), 10000, 3333, 1.27);
    QCOMPARE(*rates.munkadij1, 10000 * (1 / 1.27));
    QVERIFY(*rates.munkadij1 != std::round(*rates.munkadij1 * 100) / 100);

    const double munkadij3 = NetLabourFee(rates.munkadij1, 1.75);
    QCOMPARE(munkadij3, *rates.munkadij1 * 1.75);
    const GrossAmounts gross = GrossAndTotal(munkadij3, 0.1, 0.2, QStringLiteral("I"), 1.27);
    QCOMPARE(gross.munkadij4, munkadij3 * 1.27);
    QCOMPARE(gross.ossz, munkadij3 * 1.27 + 0.1 * 1.27 + 0.2 * 1.27);
}

void FeeCalculationTest::typedAmounts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<Amount>("amount");
    QTest::newRow("whole") << QStringLiteral("1500") << true << Amount(1500);
    QTest::newRow("decimal comma") << QStringLiteral("12,5") << true << Amount(12.5);
    // A full stop groups thousands, as a Hungarian writes them; any other is refused.
    QTest::newRow("thousands point") << QStringLiteral("27.000") << true << Amount(27000);
    QTest::newRow("points and comma") << QStringLiteral("1.234.567,5") << true << Amount(1234567.5);
    QTest::newRow("point as decimal") << QStringLiteral("12.5") << false << Amount();
    QTest::newRow("point in decimals") << QStringLiteral("1,234.567") << false << Amount();
    QTest::newRow("short group") << QStringLiteral("1.23.456") << false << Amount();
    QTest::newRow("digit groups as displayed")
        << QStringLiteral("1 234 567") << true << Amount(1234567);
    QTest::newRow("negative") << QStringLiteral("-250") << true << Amount(-250);
    QTest::newRow("blanks around") << QStringLiteral("  42 ") << true << Amount(42);
    QTest::newRow("empty") << QString() << true << Amount();
    QTest::newRow("only blanks") << QStringLiteral("   ") << true << Amount();
    QTest::newRow("letters") << QStringLiteral("abc") << false << Amount();
    QTest::newRow("trailing letter") << QStringLiteral("12a") << false << Amount();
    QTest::newRow("two separators") << QStringLiteral("1,2,3") << false << Amount();
    QTest::newRow("infinity") << QStringLiteral("inf") << false << Amount();
    QTest::newRow("not a number") << QStringLiteral("nan") << false << Amount();
}

void FeeCalculationTest::typedAmounts() {
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    QFETCH(Amount, amount);
    Amount parsed = 99.0;
    QCOMPARE(ReadAmountText(text, &parsed), isNumber);
    if (isNumber) QCOMPARE(parsed, amount);
}

void FeeCalculationTest::editTextReadsBack() {
    QCOMPARE(AmountEditText(1234.5), QStringLiteral("1234,5"));
    QCOMPARE(AmountEditText(100), QStringLiteral("100"));
    // What the editor offers for editing must be accepted when left as it is.
    for (const double value : {10000 / 1.27, -0.25, 1e9 + 0.5, 123456789012.0}) {
        Amount parsed;
        QVERIFY2(ReadAmountText(AmountEditText(value), &parsed), qPrintable(AmountEditText(value)));
        QVERIFY(qAbs(*parsed - value) <= 1e-12 * qMax(1.0, qAbs(value)));
    }
}

QTEST_APPLESS_MAIN(FeeCalculationTest)
#include "FeeCalculationTest.moc"
