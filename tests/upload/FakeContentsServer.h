#pragma once

#include <QAbstractHttpServer>
#include <QFile>
#include <QHash>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpSocket>
#include <QTimer>

namespace pellora::test {

// One request as the server received it.
struct RecordedRequest {
    QByteArray path; // percent-encoded, as sent
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    // The value of a header, whatever its letter case; null when absent.
    QByteArray header(const QByteArray& name) const
    {
        for (const auto& [key, value] : headers) {
            if (key.compare(name, Qt::CaseInsensitive) == 0)
                return value;
        }
        return {};
    }
};

// A stand-in for GitHub's contents endpoint on 127.0.0.1: a PUT under /repos/quennet/pellora/contents/ is
// answered by the token in Authorization as handleRequest lists ("writer" is accepted, "stall" never answered).
class FakeContentsServer final : public QAbstractHttpServer {
public:
    // Listens on 127.0.0.1 (over TLS when given a certificate and its key); the API base, or an empty URL.
    QUrl start(const QString& certificatePath = {}, const QString& keyPath = {})
    {
        const bool tls = !certificatePath.isEmpty();
        if (tls) {
            QFile certificate(certificatePath);
            QFile key(keyPath);
            if (!certificate.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly))
                return {};
            sslSetup(QSslCertificate(certificate.readAll()), QSslKey(key.readAll(), QSsl::Rsa));
        }
        const quint16 port = listen(QHostAddress::LocalHost, 0);
        return port ? QUrl(QStringLiteral("%1://127.0.0.1:%2").arg(tls ? "https" : "http").arg(port)) : QUrl();
    }

    const QList<RecordedRequest>& requests() const { return m_requests; }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override
    {
        using Status = QHttpServerResponder::StatusCode;
        const QByteArray path = request.url().path(QUrl::FullyEncoded).toLatin1();
        m_requests.append({path, request.headers(), request.body()});
        const QByteArray authorization = request.value("Authorization");
        const QByteArray token =
            request.method() == QHttpServerRequest::Method::Put && path.startsWith("/repos/quennet/pellora/contents/")
                ? authorization.mid(authorization.indexOf(' ') + 1)
                : QByteArray();
        // The tokens answered with a JSON message; the others are handled below.
        static const QHash<QByteArray, std::pair<Status, const char*>> answers{
            {"", {Status::NotFound, "Not Found"}}, // anything but a PUT under contents/
            {"writer", {Status::Created, "created"}},
            {"github_pat_writer", {Status::Created, "created"}},
            {"readonly", {Status::Forbidden, "RESOURCE NOT ACCESSIBLE BY INTEGRATION"}},
            {"forbidden", {Status::Forbidden, "Must have admin rights to Repository."}},
            {"missing", {Status::NotFound, "Not Found"}},
            {"hostile", {Status::UnprocessableEntity, "\x1b[2J\r上传成功 · submissions/x"}},
        };
        const auto [status, message] = answers.value(token, {Status::Unauthorized, "Bad credentials"});
        if (token == "moved") {
            makeResponder(request, socket).write({{"Location", "/elsewhere"}}, Status::MovedPermanently);
        } else if (token == "huge") { // 2 MiB
            makeResponder(request, socket).write(QByteArray(2 << 20, 'x'), "text/plain", Status::UnprocessableEntity);
        } else if (token == "cut" || token == "garbage") { // 201 cut off mid-body, or a line that is not HTTP
            socket->write(token == "cut" ? "HTTP/1.1 201 Created\r\nContent-Length: 100\r\n\r\n{\"content\":"
                                         : "SSH-2.0-OpenSSH_9.2p1\r\n");
            socket->disconnectFromHost();
        } else if (token.startsWith("trickle-")) { // the status given, then 1 MB of body, one byte every 25 ms
            socket->write("HTTP/1.1 " + token.mid(8) + " Trickle\r\nContent-Length: 1000000\r\n\r\n");
            auto* timer = new QTimer(socket);
            QObject::connect(timer, &QTimer::timeout, socket, [socket] { socket->write("x"); });
            timer->start(25);
        } else if (token != "stall") {
            makeResponder(request, socket)
                .write(QJsonDocument(QJsonObject{{"message", QString::fromUtf8(message)}}), status);
        }
        return true;
    }

    void missingHandler(const QHttpServerRequest&, QTcpSocket*) override {}

private:
    QList<RecordedRequest> m_requests;
};

} // namespace pellora::test
