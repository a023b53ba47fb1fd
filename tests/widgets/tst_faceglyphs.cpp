#include "presentation/DisplayText.h"
#include "presentation/StatusRendering.h"
#include "widgets/Style.h"

#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>
#include <QtTest>

using namespace pellora;
using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<QTextLayout> oneLine(const QString& text, const QFont& font)
{
    auto layout = std::make_unique<QTextLayout>(text, font);
    layout->beginLayout();
    layout->createLine();
    layout->endLayout();
    return layout;
}

// Where an accent and its base were laid out: the base's pen position and advance, the accent's ink centre.
struct Placement {
    qreal baseLeft = -1;
    qreal baseRight = -1;
    qreal inkCentre = -2;
};

// One placement per accent of the text, in order. A base and its accent form one cluster whose glyphs
// may come in either order, so each is found by its font's own glyph for the character.
QList<Placement> accentPlacements(const QTextLayout& layout)
{
    QList<Placement> placements;
    for (qsizetype accent = 1; accent < layout.text().size(); ++accent) {
        if (layout.text().at(accent).category() != QChar::Mark_NonSpacing)
            continue;
        Placement& found = placements.emplace_back();
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
    }
    return placements;
}

QImage paint(const QString& text, const QFont& font, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    oneLine(text, font)->draw(&painter, {});
    return image;
}

} // namespace

// Every face the views show, in the font the views set for it, at the sizes it is shown: no glyph is
// missing and every combining accent is drawn over its own base character.
class TestFaceGlyphs : public QObject {
    Q_OBJECT

private slots:
    void laidOut_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<QFont::Weight>("weight");
        // One event of each mood, in each pack, at the strip's and the picker's sizes.
        for (const auto& [mood, activity] :
             {std::pair{u"睡"_s, u""_s}, {u""_s, u""_s}, {u""_s, u"会议"_s}, {u"开心"_s, u""_s}, {u"焦"_s, u""_s}}) {
            const RoleEvent event{u"08:00-09:00"_s, activity, mood, u"图书馆"_s, 3, u"独处"_s};
            for (StylePack pack : allStylePacks) {
                for (int pixelSize : {20, 14})
                    QTest::addRow("%s %s %dpx", qPrintable(moodCategoryName(moodCategory(event))),
                                  qPrintable(stylePackText(pack)), pixelSize)
                        << statusFace(event, pack) << pixelSize << QFont::Normal;
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
        const QFont font = style::faceFont(text, pixelSize, weight);
        const auto layout = oneLine(text, font);
        for (const QGlyphRun& run : layout->glyphRuns())
            QVERIFY2(!run.glyphIndexes().contains(0), qPrintable(u"missing glyph in "_s + run.rawFont().familyName()));
        for (const Placement& at : accentPlacements(*layout)) {
            QVERIFY2(at.inkCentre > at.baseLeft && at.inkCentre < at.baseRight,
                     qPrintable(u"accent at %1, base %2 to %3"_s.arg(at.inkCentre).arg(at.baseLeft).arg(at.baseRight)));
        }

        // The accents' painted ink (the face painted with and without them) lies over their bases, some over each.
        const QSize size = layout->boundingRect().toAlignedRect().size() + QSize(2, 2);
        const QImage face = paint(text, font, size);
        const QImage bare = paint(QString(text).remove(QRegularExpression(u"\\p{Mn}"_s)), font, size);
        QList<bool> inkInColumn(size.width());
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x)
                inkInColumn[x] |= qAbs(qGray(face.pixel(x, y)) - qGray(bare.pixel(x, y))) >= 96;
        }

        QList<bool> overABase(size.width());
        for (const Placement& at : accentPlacements(*layout)) {
            // One column of anti-aliasing either side.
            const int left = qMax(0, qFloor(at.baseLeft) - 1), right = qMin(size.width() - 1, qCeil(at.baseRight) + 1);
            QVERIFY2(std::any_of(inkInColumn.begin() + left, inkInColumn.begin() + right + 1, std::identity()),
                     qPrintable(u"no accent ink over the base at %1"_s.arg(at.baseLeft)));
            std::fill(overABase.begin() + left, overABase.begin() + right + 1, true);
        }
        for (int x = 0; x < size.width(); ++x)
            QVERIFY2(!inkInColumn[x] || overABase[x], qPrintable(u"accent ink in column %1, over no base"_s.arg(x)));
    }
};

QTEST_MAIN(TestFaceGlyphs)
#include "tst_faceglyphs.moc"
