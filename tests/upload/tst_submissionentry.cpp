#include "upload/SubmissionEntry.h"

#include <QtTest>

using namespace pellora;
using namespace Qt::StringLiterals;

namespace {

SubmissionEntry fullEntry()
{
    return SubmissionEntry{u"Hello World!"_s,
                           u"me@example.com"_s,
                           u"咖啡师"_s,
                           u"08:00-09:00 起床\n09:00-18:00 上班/摸鱼"_s,
                           u"alpha"_s,
                           u"阿尔法"_s,
                           u"2025-03-01T08:09:10Z"_s,
                           u"Asia/Shanghai"_s,
                           u"zh_CN"_s};
}

} // namespace

class TestSubmissionEntry : public QObject {
    Q_OBJECT

private slots:
    void slug_data()
    {
        QTest::addColumn<QString>("nickname");
        QTest::addColumn<QString>("slug");

        QTest::newRow("words") << u"Hello World!"_s << u"hello-world"_s;
        QTest::newRow("inner runs kept, ends trimmed") << u" A  B "_s << u"a--b"_s;
        QTest::newRow("punctuation only") << u"!?…"_s << u"anonymous"_s;
        QTest::newRow("empty") << QString() << u"anonymous"_s;
        QTest::newRow("climbing out") << u"../../etc"_s << u"etc"_s;
        QTest::newRow("slashes, dots, escapes") << u"a/b\\c／d.json%2f"_s << u"a-b-c-d-json-2f"_s;
        QTest::newRow("CJK kept") << u"小明 Ming"_s << u"小明-ming"_s;
        QTest::newRow("CJK beyond the BMP") << u"𠀀𠀁"_s << u"𠀀𠀁"_s;
        QTest::newRow("accented letters") << u"Zoë ÅNGSTRÖM"_s << u"zoë-ångström"_s;
        QTest::newRow("combining mark kept") << u"Cafe\u0301"_s << u"cafe\u0301"_s;
        QTest::newRow("emoji split once each") << u"a😀b🎉"_s << u"a-b"_s;
    }

    void slug()
    {
        QFETCH(QString, nickname);
        QFETCH(QString, slug);
        QCOMPARE(submissionSlug(nickname), slug);
        QVERIFY(!slug.contains(u'/') && !slug.contains(u'.'));
    }

    void path_data()
    {
        QTest::addColumn<QString>("createdAtISO");
        QTest::addColumn<QString>("path");

        QTest::newRow("generated stamp") << u"2025-03-01T08:09:10Z"_s
                                         << u"submissions/hello-world-2025-03-01T08-09-10Z.json"_s;
        QTest::newRow("offset and fraction")
            << u"2025-03-01T08:09:10.5+08:00"_s << u"submissions/hello-world-2025-03-01T08-09-10.5+08-00.json"_s;
        // Never produced by the app; an entry from elsewhere must still not leave the folder.
        QTest::newRow("slashes") << u"/../../x"_s << u"submissions/hello-world--..-..-x.json"_s;
        QTest::newRow("backslash, query, fragment, newline")
            << u"a\\b?c#d\ne"_s << u"submissions/hello-world-a-b-c-d-e.json"_s;
        QTest::newRow("fullwidth solidus") << u"1／2"_s << u"submissions/hello-world-1-2.json"_s;
    }

    void path()
    {
        QFETCH(QString, createdAtISO);
        QFETCH(QString, path);
        SubmissionEntry entry = fullEntry();
        entry.createdAtISO = createdAtISO;
        QCOMPARE(submissionPath(entry), path);
    }

    void encodesEntry_data()
    {
        QTest::addColumn<SubmissionEntry>("entry");
        QTest::addColumn<QByteArray>("json");

        // Raw strings are split between members: moc loses track of one with an odd number of '"' or with '\"'.
        QTest::newRow("all members") << fullEntry()
                                     << QByteArray(R"({"nickname":"Hello World!","email":"me@example.com",)"
                                                   R"("occupation":"咖啡师",)"
                                                   R"("schedule":"08:00-09:00 起床\n09:00-18:00 上班\/摸鱼",)"
                                                   R"("selectedRoleID":"alpha","selectedRoleName":"阿尔法",)"
                                                   R"("createdAtISO":"2025-03-01T08:09:10Z",)"
                                                   R"("timezone":"Asia\/Shanghai","deviceLocale":"zh_CN"})");

        SubmissionEntry noRole = fullEntry();
        noRole.selectedRoleID.reset();
        noRole.selectedRoleName.reset();
        noRole.email.clear();
        noRole.occupation.clear();
        QTest::newRow("no role, empty texts written")
            << noRole
            << QByteArray(
                   R"({"nickname":"Hello World!","email":"","occupation":"",)"
                   R"("schedule":"08:00-09:00 起床\n09:00-18:00 上班\/摸鱼",)"
                   R"("createdAtISO":"2025-03-01T08:09:10Z","timezone":"Asia\/Shanghai","deviceLocale":"zh_CN"})");
    }

    void encodesEntry()
    {
        QFETCH(SubmissionEntry, entry);
        QFETCH(QByteArray, json);
        QCOMPARE(encodeSubmissionEntry(entry), json);
        QCOMPARE(decodeSubmissionEntry(json), std::optional(entry));
    }

    void decodesEntry_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("decodes");
        QTest::addColumn<bool>("hasRole");

        const QByteArray base = R"("nickname":"n","email":"","occupation":"","schedule":"s","createdAtISO":"t",)"
                                R"("timezone":"z","deviceLocale":"l")";
        QTest::newRow("required only") << "{" + base + "}" << true << false;
        QTest::newRow("role null") << "{" + base + R"(,"selectedRoleID":null,"selectedRoleName":null})" << true
                                   << false;
        QTest::newRow("e-mail missing") << QByteArray(base).replace(R"("email":"",)", "").prepend('{').append('}')
                                        << false << false;
        QTest::newRow("role not text") << "{" + base + R"(,"selectedRoleID":7})" << false << false;
    }

    void decodesEntry()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, decodes);
        QFETCH(bool, hasRole);
        const std::optional<SubmissionEntry> entry = decodeSubmissionEntry(json);
        QCOMPARE(entry.has_value(), decodes);
        if (entry) {
            QCOMPARE(entry->selectedRoleID.has_value(), hasRole);
            QCOMPARE(entry->selectedRoleName.has_value(), hasRole);
        }
    }

    void payload_data()
    {
        QTest::addColumn<QString>("nickname");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("committerEmail");

        QTest::newRow("e-mail as typed") << u" A  B "_s << u" Me@Example.com"_s << u" Me@Example.com"_s;
        QTest::newRow("no e-mail, no nickname") << QString() << QString() << u"bot@example.org"_s;
    }

    void payload()
    {
        QFETCH(QString, nickname);
        QFETCH(QString, email);
        QFETCH(QString, committerEmail);
        SubmissionEntry entry = fullEntry();
        entry.nickname = nickname;
        entry.email = email;

        const Payload payload = makePayload(entry, u"bot@example.org"_s);
        QCOMPARE(payload.message, u"Pellora (Quillmere) update for "_s + nickname);
        QCOMPARE(payload.committer, (Committer{nickname, committerEmail}));
        const QByteArray content = QByteArray::fromBase64(payload.content.toLatin1());
        QCOMPARE(content, encodeSubmissionEntry(entry));

        QByteArray escapedContent = payload.content.toLatin1();
        escapedContent.replace("/", "\\/");
        QCOMPARE(encodePayload(entry, u"bot@example.org"_s),
                 "{\"message\":\"Pellora (Quillmere) update for " + nickname.toUtf8() + "\",\"content\":\"" +
                     escapedContent + "\",\"committer\":{\"name\":\"" + nickname.toUtf8() + "\",\"email\":\"" +
                     committerEmail.toUtf8() + "\"}}");
    }

    void githubError_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<std::optional<QString>>("message");

        QTest::newRow("GitHub's form") << QByteArray(R"({"message":"Not Found","documentation_url":"docs"})")
                                       << std::optional(u"Not Found"_s);
        QTest::newRow("empty message") << QByteArray(R"({"message":""})") << std::optional(QString());
        QTest::newRow("number") << QByteArray(R"({"message":404})") << std::optional<QString>();
        QTest::newRow("array") << QByteArray(R"(["message"])") << std::optional<QString>();
        QTest::newRow("HTML") << QByteArray("<html>Bad Gateway</html>") << std::optional<QString>();
        QTest::newRow("not UTF-8") << QByteArray("{\"message\":\"f\xfcr\"}") << std::optional<QString>();
    }

    void githubError()
    {
        QFETCH(QByteArray, body);
        QFETCH(std::optional<QString>, message);
        QCOMPARE(decodeGitHubErrorMessage(body), message);
    }
};

QTEST_GUILESS_MAIN(TestSubmissionEntry)
#include "tst_submissionentry.moc"
