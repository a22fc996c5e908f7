#include "httpstub.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <QtEndian>
#include <functional>
#include <memory>

TestHttpServer::TestHttpServer() {
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection())
            serve(socket);
    });
}

QString TestHttpServer::base() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
}

QString TestHttpServer::refusingBase() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1").arg(port);
}

void TestHttpServer::serve(QTcpSocket *socket) {
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    auto request = std::make_shared<QByteArray>();
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, request] {
        request->append(socket->readAll());
        if (!request->contains("\r\n\r\n"))
            return;
        const QByteArrayList lines = request->left(request->indexOf("\r\n\r\n")).split('\n');
        const QByteArray path = lines.value(0).split(' ').value(1);
        QByteArray agent;
        for (const QByteArray &line : lines) {
            if (line.toLower().startsWith("user-agent:"))
                agent = line.mid(11).trimmed();
        }
        paths << path;
        agents << agent;
        request->clear();
        Answer a;
        if (m_answers.contains(path))
            a = m_answers.value(path);
        else
            a.status = 404;

        QByteArray head = "HTTP/1.1 " + QByteArray::number(a.status) + " Answer\r\n";
        for (const QByteArray &h : a.headers)
            head += h + "\r\n";
        const qint64 length = a.announced == -2 ? a.body.size() : a.announced;
        if (length >= 0)
            head += "Content-Length: " + QByteArray::number(length) + "\r\n";
        head += "Connection: close\r\n\r\n";

        // The pieces go out one per pause; the connection closes after the last.
        QPointer<QTcpSocket> guard(socket);
        auto pieces = std::make_shared<QByteArrayList>();
        pieces->append(head);
        const int size = a.piece > 0 ? a.piece : int(std::max<qsizetype>(a.body.size(), 1));
        for (qsizetype at = 0; at < a.body.size(); at += size)
            pieces->append(a.body.mid(at, size));
        auto send = std::make_shared<std::function<void()>>();
        const std::weak_ptr<std::function<void()>> self = send;
        const QByteArray filler(a.piece > 0 ? a.piece : 64 * 1024, '\0');
        *send = [guard, pieces, self, filler, pause = a.pauseMs, endless = a.endless] {
            if (!guard)
                return;
            if (pieces->isEmpty() && !endless) {
                guard->disconnectFromHost();
                return;
            }
            // An endless answer goes no faster than the other side reads it.
            if (!pieces->isEmpty())
                guard->write(pieces->takeFirst());
            else if (guard->bytesToWrite() < 4 * filler.size())
                guard->write(filler);
            if (auto next = self.lock())
                QTimer::singleShot(pause, guard, [next] { (*next)(); });
        };
        QTimer::singleShot(a.pauseMs, socket, [send] { (*send)(); });
    });
}

TestHttpServer::Answer httpAnswer(int status, const QByteArray &body,
                                  const QByteArrayList &headers) {
    TestHttpServer::Answer a;
    a.status = status;
    a.body = body;
    a.headers = headers;
    return a;
}

TestHttpServer::Answer versionAnswer(qint32 major, qint32 minor, qint32 build) {
    QByteArray body(12, '\0');
    qToLittleEndian<qint32>(major, body.data());
    qToLittleEndian<qint32>(minor, body.data() + 4);
    qToLittleEndian<qint32>(build, body.data() + 8);
    return httpAnswer(200, body);
}
