#include "presentation/DisplayText.h"
#include "presentation/StatusRendering.h"
#include "presentation/Style.h"

#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>
#include <QtTest>

using namespace pellora;
using namespace Qt::StringLiterals;

namespace {

void layOut(QTextLayout& layout)
{
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
}

// Where the accent at `accent` and its base were laid out: the base's pen position and advance, and the
// centre of the accent's ink. A base and its accent form one cluster whose glyphs may come in either
// order, so each is found by its font's own glyph for the character.
struct Placement {
    qreal baseLeft = -1;
    qreal baseRight = -1;
    qreal inkCentre = -2;
};

Placement placement(const QTextLayout& layout, qsizetype accent)
{
    Placement found;
    for (const QGlyphRun& run : layout.glyphRuns(int(accent - 1), 2)) {
        const QRawFont font = run.rawFont();
        const QList<quint32> wanted = font.glyphIndexesForString(layout.text().mid(accent - 1, 2));
        for (qsizetype i = 0; i < run.glyphIndexes().size(); ++i) {
            const quint32 glyph = run.glyphIndexes().at(i);
            const QPointF at = run.positions().at(i);
            if (glyph == wanted.value(0)) {
                found.baseLeft = at.x();
                found.baseRight = at.x() + font.advancesForGlyphIndexes(QList<quint32>{glyph}).value(0).x();
            } else if (glyph == wanted.value(1)) {
                found.inkCentre = font.boundingRect(glyph).translated(at).center().x();
            }
        }
    }
    return found;
}

QList<qsizetype> accentsOf(const QString& text)
{
    QList<qsizetype> accents;
    for (qsizetype i = 1; i < text.size(); ++i) {
        if (text.at(i).category() == QChar::Mark_NonSpacing)
            accents.append(i);
    }
    return accents;
}

QImage paint(const QString& text, const QFont& font, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QTextLayout layout(text, font);
    layOut(layout);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    layout.draw(&painter, {});
    return image;
}

} // namespace

// Every face the views show, in the font its view sets, at the sizes it is shown: no glyph is missing
// and every combining accent is drawn over its own base character.
class TestFaceGlyphs : public QObject {
    Q_OBJECT

private slots:
    void laidOut_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<QFont::Weight>("weight");
        const auto event = [](const QString& mood, const QString& activity) {
            return RoleEvent{u"08:00-09:00"_s, activity, mood, u"图书馆"_s, 3, u"独处"_s};
        };
        const std::pair<const char*, RoleEvent> moods[] = {{"sleeping", event(u"睡"_s, {})},
                                                           {"chill", event({}, {})},
                                                           {"focus", event({}, u"会议"_s)},
                                                           {"hyperdrive", event(u"开心"_s, {})},
                                                           {"chaos", event(u"焦"_s, {})}};
        for (const auto& [mood, moodEvent] : moods) {
            for (StylePack pack : allStylePacks) {
                const QString face = statusFace(moodEvent, pack);
                for (int pixelSize : {20, 14}) // the strip's face, the picker's preview
                    QTest::addRow("%s %s %dpx", mood, qPrintable(stylePackText(pack)), pixelSize)
                        << face << pixelSize << QFont::Normal;
            }
        }
        QTest::newRow("picker, no events") << previewFace(Role{}) << 14 << QFont::Normal;
        QTest::newRow("welcome") << u"(ﾉ◕ヮ◕)ﾉ*:･ﾟ✧"_s << 48 << QFont::Normal;
        QTest::newRow("thank you") << u"(´▽｀)ノ"_s << 64 << QFont::Normal;
        QTest::newRow("upload status") << u"填完再上传就好 ( •̀ᴗ•́ )✧"_s << 12 << QFont::Normal;
        QTest::newRow("upload button") << u"上传到 GitHub ٩(｡•́‿•̀｡)۶"_s << 14 << QFont::DemiBold;
    }

    void laidOut()
    {
        QFETCH(QString, text);
        QFETCH(int, pixelSize);
        QFETCH(QFont::Weight, weight);
        QTextLayout layout(text, style::faceFont(text, pixelSize, weight));
        layOut(layout);
        for (const QGlyphRun& run : layout.glyphRuns())
            QVERIFY2(!run.glyphIndexes().contains(0), qPrintable(u"missing glyph in "_s + run.rawFont().familyName()));
        for (qsizetype accent : accentsOf(text)) {
            const Placement at = placement(layout, accent);
            const QString where = u"accent %1 at %2, base %3 to %4"_s.arg(accent).arg(at.inkCentre);
            QVERIFY2(at.inkCentre > at.baseLeft && at.inkCentre < at.baseRight,
                     qPrintable(where.arg(at.baseLeft).arg(at.baseRight)));
        }
    }

    // The painted ink of the accents (the face painted with and without them) lies over their bases.
    void paintedAccents_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pixelSize");
        QTest::newRow("focus classic") << u"(｡•̀ᴗ-)✧"_s << 20;
        QTest::newRow("focus dynamic") << u"(ง •̀_•́)ง"_s << 20;
        QTest::newRow("chaos classic") << u"(；⌣̀_⌣́)"_s << 20;
        QTest::newRow("upload status") << u"填完再上传就好 ( •̀ᴗ•́ )✧"_s << 12;
    }

    void paintedAccents()
    {
        QFETCH(QString, text);
        QFETCH(int, pixelSize);
        const QFont font = style::faceFont(text, pixelSize);
        QTextLayout layout(text, font);
        layOut(layout);
        const QSize size = layout.boundingRect().toAlignedRect().size() + QSize(2, 2);
        const QImage face = paint(text, font, size);
        QString bare = text;
        bare.remove(QRegularExpression(u"\\p{Mn}"_s));
        const QImage withoutAccents = paint(bare, font, size);

        QList<QPair<int, int>> bases; // columns, with one column of anti-aliasing either side
        for (qsizetype accent : accentsOf(text)) {
            const Placement at = placement(layout, accent);
            bases.append({qFloor(at.baseLeft) - 1, qCeil(at.baseRight) + 1});
        }
        QList<int> inkPerBase(bases.size());
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                if (qAbs(qGray(face.pixel(x, y)) - qGray(withoutAccents.pixel(x, y))) < 96)
                    continue;
                qsizetype over = -1;
                for (qsizetype b = 0; b < bases.size() && over < 0; ++b)
                    over = x >= bases[b].first && x <= bases[b].second ? b : -1;
                QVERIFY2(over >= 0, qPrintable(u"accent ink at (%1, %2) over no base"_s.arg(x).arg(y)));
                ++inkPerBase[over];
            }
        }
        for (qsizetype b = 0; b < bases.size(); ++b)
            QVERIFY2(inkPerBase[b] > 0, qPrintable(u"no accent ink over base %1"_s.arg(b)));
    }
};

QTEST_MAIN(TestFaceGlyphs)
#include "tst_faceglyphs.moc"
