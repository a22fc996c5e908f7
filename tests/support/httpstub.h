#pragma once

#include <QByteArrayList>
#include <QHash>
#include <QObject>
#include <QTcpServer>

// A small HTTP server of the tests' own on 127.0.0.1: each path has a fixed
// answer (404 for any other), sent whole or in timed pieces, after which the
// connection closes (or, for an endless answer, never ends).
class TestHttpServer : public QObject {
    Q_OBJECT
public:
    struct Answer {
        int status = 200;
        QByteArray body;
        QByteArrayList headers; // extra header lines, "Name: value"
        // The Content-Length sent: -2 the body's size, -1 none (the body
        // ends with the connection), otherwise this number.
        qint64 announced = -2;
        int piece = 0;   // bytes per piece of the body; 0 sends it at once
        int pauseMs = 0; // pause before the answer and between pieces
        // After the body, pieces of zeros without end, for as long as the
        // other side reads (the connection never closes from this side).
        bool endless = false;
    };

    TestHttpServer();
    void answer(const QByteArray &path, const Answer &a) { m_answers.insert(path, a); }
    // "http://127.0.0.1:<port>"
    QString base() const;
    // An address on 127.0.0.1 where nothing listens.
    static QString refusingBase();

    // Every request in order: its path and its User-Agent.
    QByteArrayList paths;
    QByteArrayList agents;

private:
    void serve(QTcpSocket *socket);

    QTcpServer m_server;
    QHash<QByteArray, Answer> m_answers;
};

Q_DECLARE_METATYPE(TestHttpServer::Answer)

// An answer sent whole, with its length.
TestHttpServer::Answer httpAnswer(int status, const QByteArray &body,
                                  const QByteArrayList &headers = {});
// The update server's version file.
TestHttpServer::Answer versionAnswer(qint32 major, qint32 minor, qint32 build);
