#include "StatusRendering.h"

#include <array>

namespace pellora {
namespace {

// What each mood looks like, in the order of the categories.
struct Mood {
    const char16_t* name;    // as machine-readable output gives it
    const char16_t* classic; // the classic kaomoji pack's face
    const char16_t* dynamic; // the dynamic kaomoji pack's face
    const char16_t* tag;     // the text-only pack's tag; focus names the place as well
};

// Faces written as code points: several carry combining marks (U+0300, U+0301, U+0320, U+0E3A) that an
// editor or a normalising tool could silently merge or reorder if they were typed as characters.
constexpr std::array<Mood, moodCategoryCount> moods{{
    {u"sleeping", u"( \u02D8\u03C9\u02D8 )", u"(\u1D55\u2240 \u0320\u1D55 )", u"[Sleeping]"},
    {u"chill", u"(\uFF3E\u25BD\uFF3E)", u"(\uFF89\u25D5\u30EE\u25D5)\uFF89*:\uFF65\uFF9F\u2727", u"[Chill Mode]"},
    {u"focus", u"(\uFF61\u2022\u0300\u1D17-)\u2727", u"(\u0E07 \u2022\u0300_\u2022\u0301)\u0E07", u"[Focus @ "},
    {u"hyperdrive", u"\u30FD(\u30FB\u2200\u30FB)\uFF89",
     u"\uFF61\uFF9F\u2736\u0E3A.\u30FD(*\u00B4\u2200`)\uFF89\uFF9F\u2736\u0E3A.\uFF61", u"[Hyperdrive]"},
    {u"chaos", u"(\uFF1B\u2323\u0300_\u2323\u0301)", u"(\u256F\u00B0\u25A1\u00B0\uFF09\u256F\uFE35 \u253B\u2501\u253B",
     u"[Chaos Buffering]"},
}};

const Mood& mood(MoodCategory category)
{
    return moods.at(size_t(category));
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
    return QString::fromUtf16(mood(category).name);
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
    if (stylePack == StylePack::textOnly)
        return statusTag(category, event);
    const Mood& face = mood(category);
    return QString::fromUtf16(stylePack == StylePack::classicKaomoji ? face.classic : face.dynamic);
}

QString statusTag(MoodCategory category, const RoleEvent& event)
{
    const QString tag = QString::fromUtf16(mood(category).tag);
    return category == MoodCategory::focus ? tag + event.location + u']' : tag;
}

StylePalette stylePalette(StylePack stylePack)
{
    // In the order of the style packs: lavender blue, rose, sage green.
    static constexpr std::array<StylePalette, allStylePacks.size()> palettes{{
        {{0.73, 0.77, 0.94}, {0.92, 0.94, 0.99}, {0.22, 0.25, 0.36}, {0, 0, 0, 0.1}},
        {{0.98, 0.76, 0.78}, {0.99, 0.92, 0.93}, {0.32, 0.20, 0.24}, {0, 0, 0, 0.15}},
        {{0.78, 0.87, 0.77}, {0.91, 0.96, 0.90}, {0.17, 0.28, 0.20}, {0, 0, 0, 0.08}},
    }};
    return palettes.at(size_t(stylePack));
}

} // namespace pellora
