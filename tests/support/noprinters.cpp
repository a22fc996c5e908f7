#include "noprinters.h"

#include <QHostAddress>
#include <QTcpServer>

int freeLoopbackPort() {
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0))
        return 0;
    return server.serverPort();
}

void useCupsServer(int port) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("CUPS_SERVER", QByteArray("127.0.0.1:") + QByteArray::number(port));
}
