#include "StatusRendering.h"

#include <array>

namespace pellora {
namespace {

struct Face {
    const char16_t* classic;
    const char16_t* dynamic;
};

// Written as code points: several faces carry combining marks (U+0300, U+0301, U+0320, U+0E3A) that an
// editor or a normalising tool could silently merge or reorder if they were typed as characters.
Face faceFor(MoodCategory category)
{
    switch (category) {
    case MoodCategory::sleeping:
        return {u"( \u02D8\u03C9\u02D8 )", u"(\u1D55\u2240 \u0320\u1D55 )"};
    case MoodCategory::chill:
        return {u"(\uFF3E\u25BD\uFF3E)", u"(\uFF89\u25D5\u30EE\u25D5)\uFF89*:\uFF65\uFF9F\u2727"};
    case MoodCategory::focus:
        return {u"(\uFF61\u2022\u0300\u1D17-)\u2727", u"(\u0E07 \u2022\u0300_\u2022\u0301)\u0E07"};
    case MoodCategory::hyperdrive:
        return {u"\u30FD(\u30FB\u2200\u30FB)\uFF89",
                u"\uFF61\uFF9F\u2736\u0E3A.\u30FD(*\u00B4\u2200`)\uFF89\uFF9F\u2736\u0E3A.\uFF61"};
    case MoodCategory::chaos:
        return {u"(\uFF1B\u2323\u0300_\u2323\u0301)",
                u"(\u256F\u00B0\u25A1\u00B0\uFF09\u256F\uFE35 \u253B\u2501\u253B"};
    }
    Q_UNREACHABLE();
    return {u"", u""};
}

struct KeywordRule {
    bool inMood; // otherwise the activity is tested
    const char16_t* keyword;
    MoodCategory category;
};

// First match wins: every mood rule precedes every activity rule; sleep beats anxiety beats excitement.
constexpr std::array<KeywordRule, 11> rules{{
    {true, u"睡", MoodCategory::sleeping},
    {true, u"无意识", MoodCategory::sleeping},
    {true, u"焦", MoodCategory::chaos},
    {true, u"压", MoodCategory::chaos},
    {true, u"紧", MoodCategory::chaos},
    {true, u"兴奋", MoodCategory::hyperdrive},
    {true, u"开心", MoodCategory::hyperdrive},
    {true, u"雀跃", MoodCategory::hyperdrive},
    {false, u"会议", MoodCategory::focus},
    {false, u"写", MoodCategory::focus},
    {false, u"研究", MoodCategory::focus},
}};

// Lower-cased as the rule asks, and composed so a search matches canonically equivalent forms
// (CJK compatibility ideographs decompose to the unified ones the keywords use).
QString searchable(const QString& text)
{
    return text.toLower().normalized(QString::NormalizationForm_C);
}

} // namespace

QString moodCategoryName(MoodCategory category)
{
    switch (category) {
    case MoodCategory::sleeping:
        return QStringLiteral("sleeping");
    case MoodCategory::chill:
        return QStringLiteral("chill");
    case MoodCategory::focus:
        return QStringLiteral("focus");
    case MoodCategory::hyperdrive:
        return QStringLiteral("hyperdrive");
    case MoodCategory::chaos:
        return QStringLiteral("chaos");
    }
    Q_UNREACHABLE();
    return {};
}

MoodCategory moodCategory(const RoleEvent& event)
{
    const QString mood = searchable(event.mood);
    const QString activity = searchable(event.event);
    for (const KeywordRule& rule : rules) {
        const QString& text = rule.inMood ? mood : activity;
        if (text.contains(QStringView(rule.keyword)))
            return rule.category;
    }
    return MoodCategory::chill;
}

QString statusFace(const RoleEvent& event, StylePack stylePack)
{
    const MoodCategory category = moodCategory(event);
    switch (stylePack) {
    case StylePack::classicKaomoji:
        return QString::fromUtf16(faceFor(category).classic);
    case StylePack::dynamicKaomoji:
        return QString::fromUtf16(faceFor(category).dynamic);
    case StylePack::textOnly:
        return statusTag(category, event);
    }
    Q_UNREACHABLE();
    return {};
}

QString statusTag(MoodCategory category, const RoleEvent& event)
{
    switch (category) {
    case MoodCategory::sleeping:
        return QStringLiteral("[Sleeping]");
    case MoodCategory::chill:
        return QStringLiteral("[Chill Mode]");
    case MoodCategory::focus:
        return QStringLiteral("[Focus @ ") + event.location + u']';
    case MoodCategory::hyperdrive:
        return QStringLiteral("[Hyperdrive]");
    case MoodCategory::chaos:
        return QStringLiteral("[Chaos Buffering]");
    }
    Q_UNREACHABLE();
    return {};
}

StylePalette stylePalette(StylePack stylePack)
{
    switch (stylePack) {
    case StylePack::classicKaomoji: // lavender blue
        return {{0.73, 0.77, 0.94}, {0.92, 0.94, 0.99}, {0.22, 0.25, 0.36}, {0, 0, 0, 0.1}};
    case StylePack::dynamicKaomoji: // rose
        return {{0.98, 0.76, 0.78}, {0.99, 0.92, 0.93}, {0.32, 0.20, 0.24}, {0, 0, 0, 0.15}};
    case StylePack::textOnly: // sage green
        return {{0.78, 0.87, 0.77}, {0.91, 0.96, 0.90}, {0.17, 0.28, 0.20}, {0, 0, 0, 0.08}};
    }
    Q_UNREACHABLE();
    return {};
}

} // namespace pellora
