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
        QTest::newRow("climbing out") << u"../../etc"_s << u"etc"_s;
        QTest::newRow("slashes, dots, escapes") << u"a/b\\c／d.json%2f"_s << u"a-b-c-d-json-2f"_s;
        QTest::newRow("CJK, also beyond the BMP") << u"小明 Ming𠀀"_s << u"小明-ming𠀀"_s;
        QTest::newRow("accents, combining mark") << u"Zoë ÅNGSTRÖM Cafe\u0301"_s << u"zoë-ångström-cafe\u0301"_s;
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

        QTest::newRow("offset and fraction")
            << u"2025-03-01T08:09:10.5+08:00"_s << u"submissions/hello-world-2025-03-01T08-09-10.5+08-00.json"_s;
        // Never produced by the app; an entry from elsewhere must still not leave the folder.
        QTest::newRow("separators") << u"/../a\\b?c#d\ne／f"_s << u"submissions/hello-world--..-a-b-c-d-e-f.json"_s;
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

    void githubError_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<std::optional<QString>>("message");

        QTest::newRow("GitHub's form") << QByteArray(R"({"message":"Not Found","documentation_url":"docs"})")
                                       << std::optional(u"Not Found"_s);
        QTest::newRow("number") << QByteArray(R"({"message":404})") << std::optional<QString>();
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
