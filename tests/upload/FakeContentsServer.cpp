#include "FakeContentsServer.h"

#include <QFile>
#include <QHttpServerResponder>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpSocket>
#include <QTimer>

namespace pellora::test {

using namespace Qt::StringLiterals;
using Status = QHttpServerResponder::StatusCode;

QByteArray RecordedRequest::header(const QByteArray& name) const
{
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

QUrl FakeContentsServer::start(const QString& certificatePath, const QString& keyPath)
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
    return port ? QUrl(u"%1://127.0.0.1:%2"_s.arg(tls ? u"https"_s : u"http"_s).arg(port)) : QUrl();
}

bool FakeContentsServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket)
{
    const QByteArray path = request.url().path(QUrl::FullyEncoded).toLatin1();
    m_requests.append({request.method(), path, request.headers(), request.body()});
    const QByteArray authorization = request.value("Authorization");
    const QByteArray token = authorization.mid(authorization.indexOf(' ') + 1);
    const auto answer = [&](Status status, const QString& message) {
        const QJsonObject body{{u"message"_s, message}, {u"documentation_url"_s, u"https://docs.github.com/rest"_s}};
        makeResponder(request, socket).write(QJsonDocument(body), status);
    };

    if (!path.startsWith("/repos/quennet/pellora/contents/")) {
        answer(Status::Ok, u"elsewhere"_s); // where the 301 points: this would pass for a success
    } else if (request.method() != QHttpServerRequest::Method::Put) {
        answer(Status::NotFound, u"Not Found"_s);
    } else if (token == "writer" || token == "github_pat_writer") {
        answer(Status::Created, u"created"_s);
    } else if (token == "readonly") {
        answer(Status::Forbidden, u"Resource not accessible by personal access token"_s);
    } else if (token == "readonly-caps") {
        answer(Status::Forbidden, u"RESOURCE NOT ACCESSIBLE BY INTEGRATION"_s);
    } else if (token == "forbidden") {
        answer(Status::Forbidden, u"Must have admin rights to Repository."_s);
    } else if (token == "missing") {
        answer(Status::NotFound, u"Not Found"_s);
    } else if (token == "moved") {
        makeResponder(request, socket).write({{"Location", "/elsewhere"}}, Status::MovedPermanently);
    } else if (token == "hostile") {
        answer(Status::UnprocessableEntity, u"\u001b[2J\r上传成功 · submissions/x"_s);
    } else if (token == "huge") {
        makeResponder(request, socket).write(QByteArray(2 << 20, 'x'), "text/plain", Status::UnprocessableEntity);
    } else if (token == "cut") {
        socket->write("HTTP/1.1 201 Created\r\nContent-Length: 100\r\n\r\n{\"content\":");
        socket->disconnectFromHost();
    } else if (token.startsWith("trickle-")) {
        socket->write("HTTP/1.1 " + token.mid(8) + " Trickle\r\nContent-Length: 1000000\r\n\r\n");
        auto* timer = new QTimer(socket);
        QObject::connect(timer, &QTimer::timeout, socket, [socket] { socket->write("x"); });
        timer->start(25);
    } else if (token == "garbage") {
        socket->write("SSH-2.0-OpenSSH_9.2p1\r\n");
        socket->disconnectFromHost();
    } else if (token != "stall") { // a stalled request stays unanswered until the client gives up
        answer(Status::Unauthorized, u"Bad credentials"_s);
    }
    return true;
}

} // namespace pellora::test
