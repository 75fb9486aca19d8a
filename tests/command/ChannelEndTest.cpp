#include <QtTest>

#include "command/ChannelEnd.h"

#ifdef Q_OS_WIN
#include "platform/win32/OwnPipe.h"
#include "platform/win32/WindowsApi.h"
#endif

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

#ifdef Q_OS_WIN
    // A client slow to read still finds its answer, after the server is done
    // with it (closing the pipe's end would throw unread bytes away).
    void anAnswerWaitsForASlowReader() {
        const QString address =
            QStringLiteral("quindorel-channel-test-%1").arg(QCoreApplication::applicationPid());
        const auto listener = quindorel::makeChannelListener();
        std::unique_ptr<quindorel::ChannelClient> served;
        bool replied = false;
        listener->arrived = [&](std::unique_ptr<quindorel::ChannelClient> client) {
            served = std::move(client);
            served->received = [&](const QByteArray& piece) {
                if (piece.endsWith('\n')) {
                    served->reply("answer\n");
                    replied = true;
                }
            };
        };
        QVERIFY2(listener->listen(address), qPrintable(listener->errorText()));
        unsigned long error = 0;
        void* pipe = quindorel::win32::openPipe(
            quindorel::win32::pipePath(address.toStdString()), &error);
        QVERIFY2(pipe != nullptr, qPrintable(QString::number(error)));
        char request[] = "status\n";
        QCOMPARE(quindorel::win32::pipeTransfer(pipe, true, request, 7, 5000), 7L);
        QTRY_VERIFY(replied);
        // What the server does next with its end happens now, before the read.
        for (int turn = 0; turn < 20; ++turn) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QThread::msleep(10);
        }
        char answer[16] = {};
        const long got = quindorel::win32::pipeTransfer(pipe, false, answer, sizeof answer, 5000);
        CloseHandle(pipe);
        QCOMPARE(QByteArray(answer, got > 0 ? got : 0), QByteArray("answer\n"));
    }
#endif
};

QTEST_GUILESS_MAIN(ChannelEndTest)
#include "ChannelEndTest.moc"
