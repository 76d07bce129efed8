// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/printing/printsettings.h"

#include <QTest>

using namespace Qt::StringLiterals;

class PrintSettingsTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pageRangesBecomeLibreOfficesForm_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("expected"); // empty: refused
        QTest::newRow("one page") << u"4"_s << u"4"_s;
        QTest::newRow("range and page") << u"1-3,5"_s << u"1-3;5"_s;
        QTest::newRow("a page twice") << u"2-2,2"_s << u"2-2;2"_s;
        QTest::newRow("backwards") << u"3-1"_s << QString();
        QTest::newRow("zero") << u"0"_s << QString();
        QTest::newRow("leading zero") << u"01"_s << QString();
        QTest::newRow("sign") << u"+1"_s << QString();
        QTest::newRow("negative") << u"-1"_s << QString();
        QTest::newRow("open end") << u"2-"_s << QString();
        QTest::newRow("two dashes") << u"1-2-3"_s << QString();
        QTest::newRow("blank") << u"1, 2"_s << QString();
        QTest::newRow("semicolon") << u"1;2"_s << QString();
        QTest::newRow("trailing comma") << u"1,"_s << QString();
        QTest::newRow("nothing") << QString() << QString();
    }
    void pageRangesBecomeLibreOfficesForm()
    {
        QFETCH(QString, given);
        QFETCH(QString, expected);
        QString pages = u"untouched"_s;
        QCOMPARE(PrintSettings::parsePages(given, pages), !expected.isEmpty());
        if (!expected.isEmpty())
            QCOMPARE(pages, expected);
    }

    void papersAreKnownByNameOrSize_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<int>("shortSide"); // hundredths of a millimetre; 0: refused
        QTest::addColumn<int>("longSide");
        QTest::addColumn<QString>("media");
        QTest::newRow("A4") << u"A4"_s << 21000 << 29700 << u"iso_a4_210x297mm"_s;
        QTest::newRow("a3, any case") << u"a3"_s << 29700 << 42000 << u"iso_a3_297x420mm"_s;
        QTest::newRow("A5") << u"A5"_s << 14800 << 21000 << u"iso_a5_148x210mm"_s;
        QTest::newRow("letter") << u"LETTER"_s << 21590 << 27940 << u"na_letter_8.5x11in"_s;
        QTest::newRow("legal") << u"Legal"_s << 21590 << 35560 << u"na_legal_8.5x14in"_s;
        QTest::newRow("tabloid") << u"tabloid"_s << 27940 << 43180 << u"na_ledger_11x17in"_s;
        QTest::newRow("millimetres") << u"100x150"_s << 10000 << 15000 << u"custom_100x150mm_100x150mm"_s;
        QTest::newRow("across, short side first")
            << u"150X100.5"_s << 10050 << 15000 << u"custom_100.5x150mm_100.5x150mm"_s;
        QTest::newRow("too small") << u"5x150"_s << 0 << 0 << QString();
        QTest::newRow("too big") << u"100x3001"_s << 0 << 0 << QString();
        QTest::newRow("one side") << u"100"_s << 0 << 0 << QString();
        QTest::newRow("blanks") << u"100 x 150"_s << 0 << 0 << QString();
        QTest::newRow("unknown name") << u"B5"_s << 0 << 0 << QString();
        QTest::newRow("a name with more") << u"A4x"_s << 0 << 0 << QString();
        QTest::newRow("nothing") << QString() << 0 << 0 << QString();
    }
    void papersAreKnownByNameOrSize()
    {
        QFETCH(QString, given);
        QFETCH(int, shortSide);
        QFETCH(int, longSide);
        QFETCH(QString, media);
        PrintSettings::Paper paper;
        QCOMPARE(PrintSettings::parsePaper(given, paper), shortSide > 0);
        QCOMPARE(paper.shortSide, shortSide);
        QCOMPARE(paper.longSide, longSide);
        QCOMPARE(paper.media, media);
    }

    // Whether a range selects any page of a workbook hangs on its lowest page.
    void theLowestPageAskedForIsFoundInAnyPart()
    {
        QString pages;
        QVERIFY(PrintSettings::parsePages(u"9-12,7"_s, pages));
        QCOMPARE(PrintSettings::firstPage(pages), 7);
        QVERIFY(PrintSettings::parsePages(u"3"_s, pages));
        QCOMPARE(PrintSettings::firstPage(pages), 3);
        QVERIFY(PrintSettings::parsePages(u"10-11,2-2,5"_s, pages));
        QCOMPARE(PrintSettings::firstPage(pages), 2);
        QCOMPARE(PrintSettings::firstPage(QString()), 0);
    }
};

QTEST_GUILESS_MAIN(PrintSettingsTest)
#include "tst_printsettings.moc"
