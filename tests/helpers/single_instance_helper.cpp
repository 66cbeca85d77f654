// A copy of a program that starts as the program does: it claims the place of the running copy;
// the first copy prints "listening" and then each command it receives ("received <command>"),
// accepting only "RESTORE"; a later copy hands its command to the running one, prints
// "second accepted" or "second refused" and ends with status 0.
//
// With SINGLE_INSTANCE_HELPER_UID set (started by root), it first becomes that user. With
// SINGLE_INSTANCE_HELPER_RAW set to a socket's path, it plays a foreign program instead: it
// connects to that socket itself, writes the command and prints "answered <answer>" or
// "no answer".
//
// single_instance_helper FOLDER APP_NAME [COMMAND [LIFETIME_MS]]

#include "platform/single_instance.h"

#include <QCoreApplication>
#include <QLocalSocket>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    const QByteArray uid = qgetenv("SINGLE_INSTANCE_HELPER_UID");
    if (!uid.isEmpty() && (setgid(gid_t(uid.toUInt())) != 0 || setuid(uid_t(uid.toUInt())) != 0)) {
        std::perror("setuid");
        return 3;
    }
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: %s FOLDER APP_NAME [COMMAND [LIFETIME_MS]]\n", argv[0]);
        return 2;
    }
    const QString command = args.value(3, QStringLiteral("RESTORE"));
    const int lifetimeMs = args.value(4, QStringLiteral("20000")).toInt();
    const QString rawSocket = qEnvironmentVariable("SINGLE_INSTANCE_HELPER_RAW");
    if (!rawSocket.isEmpty()) {
        QLocalSocket socket;
        socket.connectToServer(rawSocket);
        QByteArray answer;
        if (socket.waitForConnected(2000)) {
            socket.write(command.toUtf8() + '\n');
            while (!answer.contains('\n') && socket.waitForReadyRead(2000))
                answer += socket.readAll();
        }
        if (answer.isEmpty())
            std::printf("no answer\n");
        else
            std::printf("answered %s", answer.constData());
        return 0;
    }
    rt::LocalSingleInstance instance(args[2], args[1]);
    if (!instance.claim()) {
        const bool accepted = instance.sendToRunning(command);
        std::printf("second %s\n", accepted ? "accepted" : "refused");
        return 0;
    }
    instance.setCommandHandler([](const QString& received) {
        std::printf("received %s\n", qPrintable(received));
        std::fflush(stdout);
        return received == QLatin1String("RESTORE");
    });
    std::printf("listening\n");
    std::fflush(stdout);
    QTimer::singleShot(lifetimeMs, &app, &QCoreApplication::quit);
    return app.exec();
}
