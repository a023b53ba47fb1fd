#include "FakeContentsServer.h"

#include <QDir>
#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaEnum>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace pellora::test {

using namespace Qt::StringLiterals;
using Status = QHttpServerResponder::StatusCode;

const QByteArray FakeContentsServer::contentsPrefix = "/repos/quennet/pellora/contents/";

namespace {

QByteArray messageBody(const QString& message)
{
    return QJsonDocument(
               QJsonObject{{u"message"_s, message}, {u"documentation_url"_s, u"https://docs.github.com/rest"_s}})
        .toJson(QJsonDocument::Compact);
}

// Writes `head`, then `total` bytes of body (or chunks without end when total < 0) as fast as the client
// takes them, without ever holding more than a few pieces in the socket's buffer.
void stream(QTcpSocket* socket, const QByteArray& head, qint64 total)
{
    socket->write(head);
    auto sent = std::make_shared<qint64>(0);
    const auto more = [socket, sent, total] {
        static const QByteArray piece(64 * 1024, 'x');
        while (socket->bytesToWrite() < 4 * piece.size() && (total < 0 || *sent < total)) {
            if (total < 0) {
                socket->write("10000\r\n" + piece + "\r\n"); // one chunk of 0x10000 bytes
            } else {
                const qint64 count = std::min<qint64>(piece.size(), total - *sent);
                socket->write(piece.first(count));
                *sent += count;
            }
        }
    };
    QObject::connect(socket, &QTcpSocket::bytesWritten, socket, more);
    more();
}

} // namespace

QByteArray RecordedRequest::header(const QByteArray& name) const
{
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

FakeContentsServer::FakeContentsServer(const QString& rootFolder) : m_root(rootFolder) {}

QUrl FakeContentsServer::start()
{
    const quint16 port = listen(QHostAddress::LocalHost, 0);
    return port ? QUrl(u"http://127.0.0.1:%1"_s.arg(port)) : QUrl();
}

QUrl FakeContentsServer::startTls(const QString& certificatePath, const QString& keyPath)
{
    QFile certificateFile(certificatePath);
    QFile keyFile(keyPath);
    if (!certificateFile.open(QIODevice::ReadOnly) || !keyFile.open(QIODevice::ReadOnly))
        return {};
    sslSetup(QSslCertificate(certificateFile.readAll()), QSslKey(keyFile.readAll(), QSsl::Rsa));
    const quint16 port = listen(QHostAddress::LocalHost, 0);
    if (!port)
        return {};
    for (QTcpServer* server : servers()) {
        if (auto* tls = qobject_cast<QSslServer*>(server))
            QObject::connect(tls, &QSslServer::startedEncryptionHandshake, this, [this] { ++m_handshakes; });
    }
    return QUrl(u"https://127.0.0.1:%1"_s.arg(port));
}

QByteArray FakeContentsServer::longMessage()
{
    return QByteArray(longMessageSize, 'm');
}

bool FakeContentsServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket)
{
    const QByteArray path = request.url().path(QUrl::FullyEncoded).toLatin1();
    const QByteArray method =
        QByteArray(QMetaEnum::fromType<QHttpServerRequest::Method>().valueToKey(int(request.method()))).toUpper();
    m_requests.append({method, path, request.headers(), request.body()});

    if (!path.startsWith(contentsPrefix)) {
        // Where the 301 points: whatever arrives here would pass for a success.
        makeResponder(request, socket).write(messageBody(u"elsewhere"_s), "application/json", Status::Ok);
        return true;
    }
    const QByteArray authorization = request.value("Authorization");
    const qsizetype space = authorization.indexOf(' ');
    answerContents(request, socket, space < 0 ? QByteArray() : authorization.mid(space + 1));
    return true;
}

void FakeContentsServer::answerContents(const QHttpServerRequest& request, QTcpSocket* socket, const QByteArray& token)
{
    const auto answer = [&](Status status, const QString& message) {
        makeResponder(request, socket).write(messageBody(message), "application/json", status);
    };

    if (request.method() != QHttpServerRequest::Method::Put) {
        answer(Status::NotFound, u"Not Found"_s);
    } else if (token == "writer" || token == "github_pat_writer") {
        writeFile(request, socket);
    } else if (token == "readonly") {
        answer(Status::Forbidden, u"Resource not accessible by personal access token"_s);
    } else if (token == "readonly-caps") {
        answer(Status::Forbidden, u"RESOURCE NOT ACCESSIBLE BY INTEGRATION"_s);
    } else if (token == "forbidden") {
        answer(Status::Forbidden, u"Must have admin rights to Repository."_s);
    } else if (token == "hostile") {
        answer(Status::UnprocessableEntity, u"\u001b[2J\r上传成功 · submissions/x"_s);
    } else if (token == "missing") {
        answer(Status::NotFound, u"Not Found"_s);
    } else if (token == "broken") {
        makeResponder(request, socket)
            .write("<html><body>Internal Server Error</body></html>", "text/html", Status::InternalServerError);
    } else if (token == "moved") {
        makeResponder(request, socket)
            .write(messageBody(u"Moved Permanently"_s),
                   {{"Content-Type", "application/json"}, {"Location", "/elsewhere"}}, Status::MovedPermanently);
    } else if (token.startsWith("status-")) {
        makeResponder(request, socket).write(QByteArray(), "text/plain", Status(token.mid(7).toInt()));
    } else if (token == "latin1") {
        makeResponder(request, socket)
            .write("{\"message\":\"Zugriff f\xfcr G\xe4ste verweigert\"}", "application/json", Status::Forbidden);
    } else if (token == "long-message") {
        answer(Status::UnprocessableEntity, QString::fromLatin1(longMessage()));
    } else if (token == "huge") {
        stream(socket,
               "HTTP/1.1 422 Unprocessable Entity\r\nContent-Length: " + QByteArray::number(hugeBodySize) + "\r\n\r\n",
               hugeBodySize);
    } else if (token == "endless") {
        stream(socket, "HTTP/1.1 500 Internal Server Error\r\nTransfer-Encoding: chunked\r\n\r\n", -1);
    } else if (token == "cut") {
        socket->write("HTTP/1.1 201 Created\r\nContent-Length: 100\r\n\r\n{\"content\":");
        socket->disconnectFromHost();
    } else if (token.startsWith("trickle-")) {
        socket->write("HTTP/1.1 " + token.mid(8) + " Trickle\r\nContent-Length: 1000000\r\n\r\n");
        auto* timer = new QTimer(socket);
        QObject::connect(timer, &QTimer::timeout, socket, [socket] { socket->write("x"); });
        timer->start(25);
    } else if (token == "stall") {
        // The request stays unanswered; the client's timeout ends it.
    } else if (token == "garbage") {
        socket->write("SSH-2.0-OpenSSH_9.2p1\r\n");
        socket->disconnectFromHost();
    } else {
        answer(Status::Unauthorized, u"Bad credentials"_s);
    }
}

void FakeContentsServer::writeFile(const QHttpServerRequest& request, QTcpSocket* socket)
{
    const auto answer = [&](Status status, const QByteArray& body) {
        makeResponder(request, socket).write(body, "application/json", status);
    };
    const QString relative = request.url().path().mid(contentsPrefix.size());
    const QString target = QDir::cleanPath(m_root + u'/' + relative);
    if (!target.startsWith(m_root + u"/submissions/"_s)) {
        answer(Status::BadRequest, messageBody(u"outside submissions/"_s));
        return;
    }
    const QJsonObject payload = QJsonDocument::fromJson(request.body()).object();
    const auto content = QByteArray::fromBase64Encoding(payload.value(u"content"_s).toString().toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!content) {
        answer(Status::UnprocessableEntity, messageBody(u"Invalid request.\n\n\"content\" wasn't supplied."_s));
        return;
    }
    if (QFile::exists(target)) {
        answer(Status::UnprocessableEntity, messageBody(u"Invalid request.\n\n\"sha\" wasn't supplied."_s));
        return;
    }
    QDir().mkpath(QFileInfo(target).path());
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(content.decoded) != content.decoded.size()) {
        answer(Status::InternalServerError, messageBody(u"cannot write"_s));
        return;
    }
    const QJsonObject created{
        {u"content"_s, QJsonObject{{u"name"_s, QFileInfo(target).fileName()}, {u"path"_s, relative}}},
        {u"commit"_s, QJsonObject{{u"message"_s, payload.value(u"message"_s)}}}};
    answer(Status::Created, QJsonDocument(created).toJson(QJsonDocument::Compact));
}

void FakeContentsServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket)
{
    makeResponder(request, socket).write(messageBody(u"Not Found"_s), "application/json", Status::NotFound);
}

} // namespace pellora::test
