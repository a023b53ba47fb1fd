#pragma once

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

namespace pellora::test {

// One request as the server received it.
struct RecordedRequest {
    QByteArray method;
    QByteArray path; // percent-encoded, as sent
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    // The value of a header, whatever its letter case; null when absent.
    QByteArray header(const QByteArray& name) const;
};

// A stand-in for GitHub's contents endpoint on 127.0.0.1. PUT /repos/quennet/pellora/contents/{path} answers
// by the token in Authorization:
//   writer, github_pat_writer  201 and the file written under the root folder; 422 when it already exists
//   readonly                   403 "Resource not accessible by personal access token"
//   readonly-caps              403 "RESOURCE NOT ACCESSIBLE BY INTEGRATION"
//   forbidden                  403 "Must have admin rights to Repository."
//   missing                    404 "Not Found"
//   broken                     500 with an HTML body
//   moved                      301 to /elsewhere (which answers any request with 200)
//   status-NNN                 status NNN with an empty body
//   latin1                     403 whose message is not UTF-8
//   long-message               422 with a 100 KB message
//   hostile                    422 whose message clears the screen and fakes a success
//   huge                       422 with a 10 MB body
//   endless                    500 with a chunked body that never ends
//   cut                        201, then the connection closed mid-body
//   trickle-NNN                status NNN, then a body of 1 MB sent one byte every 25 ms
//   stall                      no answer at all
//   garbage                    a line that is not HTTP, then the connection closed
//   anything else              401 "Bad credentials"
class FakeContentsServer final : public QAbstractHttpServer {
public:
    static constexpr qsizetype longMessageSize = 100 * 1024;
    static constexpr qint64 hugeBodySize = 10 * 1024 * 1024;
    static const QByteArray contentsPrefix; // "/repos/quennet/pellora/contents/"

    explicit FakeContentsServer(const QString& rootFolder);

    // Listens on a free port of 127.0.0.1; the API base address, or an empty URL when that failed.
    QUrl start();
    // The same over TLS with the throwaway certificate in `certificatePath` and its key.
    QUrl startTls(const QString& certificatePath, const QString& keyPath);

    const QList<RecordedRequest>& requests() const { return m_requests; }
    // TLS handshakes begun (each attempt over HTTPS opens one connection).
    int handshakes() const { return m_handshakes; }

    static QByteArray longMessage();

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    void answerContents(const QHttpServerRequest& request, QTcpSocket* socket, const QByteArray& token);
    void writeFile(const QHttpServerRequest& request, QTcpSocket* socket);

    QString m_root;
    QList<RecordedRequest> m_requests;
    int m_handshakes = 0;
};

} // namespace pellora::test
