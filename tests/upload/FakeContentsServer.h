#pragma once

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHttpServerRequest>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

namespace pellora::test {

// One request as the server received it.
struct RecordedRequest {
    QHttpServerRequest::Method method;
    QByteArray path; // percent-encoded, as sent
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    // The value of a header, whatever its letter case; null when absent.
    QByteArray header(const QByteArray& name) const;
};

// A stand-in for GitHub's contents endpoint on 127.0.0.1. A PUT under /repos/quennet/pellora/contents/ is
// answered by the token in Authorization:
//   writer, github_pat_writer  201
//   readonly, readonly-caps    403 "Resource not accessible by …", in mixed or in capital letters
//   forbidden                  403 "Must have admin rights to Repository."
//   missing                    404 "Not Found"
//   moved                      301 to /elsewhere (which answers any request with 200)
//   hostile                    422 whose message clears the screen and fakes a success
//   huge                       422 with a 2 MiB body
//   cut                        201, then the connection closed mid-body
//   trickle-NNN                status NNN, then a body of 1 MB sent one byte every 25 ms
//   stall                      no answer at all
//   garbage                    a line that is not HTTP, then the connection closed
//   anything else              401 "Bad credentials"
class FakeContentsServer final : public QAbstractHttpServer {
public:
    // Listens on a free port of 127.0.0.1, over TLS when given a certificate and its key; the API base address,
    // or an empty URL when that failed.
    QUrl start(const QString& certificatePath = {}, const QString& keyPath = {});

    const QList<RecordedRequest>& requests() const { return m_requests; }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest&, QTcpSocket*) override {}

private:
    QList<RecordedRequest> m_requests;
};

} // namespace pellora::test
