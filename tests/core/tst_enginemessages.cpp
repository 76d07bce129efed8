// SPDX-License-Identifier: GPL-3.0-or-later
// What reaches the user of LibreOffice's own failure texts.
#include "engine/libreoffice/officemessages.h"

#include <QTest>

using namespace Qt::StringLiterals;

class EngineMessagesTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void failuresReadAsTheUsersLanguage_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("a full disk") << u"SfxBaseModel::impl_store <file:///home/ann/out/.corvane-Ab12.pdf.part> "
                                        u"failed: 0x507(Error Area:Io Class:Write Code:7) at "
                                        u"./sfx2/source/doc/sfxbasemodel.cxx:3207"_s
                                     << u"LibreOffice could not write while rendering the pages: the disk may be "
                                        u"full or not writable."_s;
        QTest::newRow("an internal address")
            << u"cannot access vnd.sun.star.pkg://something/x"_s << u"LibreOffice failed while rendering the pages."_s;
        QTest::newRow("a function name") << u"ScModelObj::getRenderer: no page"_s
                                         << u"LibreOffice failed while rendering the pages."_s;
        QTest::newRow("a source place only")
            << u"The sheet is protected. at ./sc/source/ui/x.cxx:12"_s << u"The sheet is protected."_s;
        QTest::newRow("nothing said") << QString() << u"LibreOffice failed while rendering the pages."_s;
        QTest::newRow("plain words") << u"The printer is not available."_s << u"The printer is not available."_s;
    }
    void failuresReadAsTheUsersLanguage()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(OfficeMessages::readable(u"rendering the pages"_s, message), shown);
    }
};

QTEST_GUILESS_MAIN(EngineMessagesTest)
#include "tst_enginemessages.moc"
