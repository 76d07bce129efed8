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
