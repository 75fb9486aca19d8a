#include <QtTest>

#include "command/ChannelEnd.h"

class ChannelEndTest : public QObject {
    Q_OBJECT
private slots:
    void aSecondServerOnTheNameIsRefusedWithAReason() {
        QTemporaryDir dir;
        const QString address = dir.filePath("socket");  // a pipe's name on Windows
        const auto first = quindorel::makeChannelListener();
        QVERIFY2(first->listen(address), qPrintable(first->errorText()));
        const auto second = quindorel::makeChannelListener();
        QVERIFY2(!second->listen(address) && !second->errorText().isEmpty(),
                 "not refused with a reason");
    }
};

QTEST_GUILESS_MAIN(ChannelEndTest)
#include "ChannelEndTest.moc"
