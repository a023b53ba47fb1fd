#include "GraphemeClusters.h"

#include <unicode/ubrk.h>

#include <algorithm>
#include <limits>
#include <utility>

namespace pellora {

namespace {

// ICU rather than QTextBoundaryFinder: Qt 6.4's own segmenter splits a flag that follows an emoji in two.
// Opening an iterator loads its rules, so each thread opens one and reuses it; an iterator must not be
// shared between threads.
UBreakIterator* characterBreaks()
{
    thread_local const icu::LocalUBreakIteratorPointer iterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        // The root locale: grapheme cluster rules do not depend on the language.
        icu::LocalUBreakIteratorPointer opened(ubrk_open(UBRK_CHARACTER, "", nullptr, 0, &status));
        return U_SUCCESS(status) ? std::move(opened) : icu::LocalUBreakIteratorPointer();
    }();
    return iterator.getAlias();
}

} // namespace

qsizetype leadingClustersLength(QStringView text, qsizetype clusters)
{
    if (clusters <= 0 || text.isEmpty())
        return 0;
    // ICU indexes with 32-bit integers; the clusters asked for always lie far inside that.
    text = text.first(std::min<qsizetype>(text.size(), std::numeric_limits<int32_t>::max()));
    UBreakIterator* const breaks = characterBreaks();
    UErrorCode status = U_ZERO_ERROR;
    if (breaks != nullptr)
        ubrk_setText(breaks, text.utf16(), int32_t(text.size()), &status);
    // Without a working iterator nothing is cut: a label's own eliding still keeps the text in its width.
    if (breaks == nullptr || U_FAILURE(status))
        return text.size();

    qsizetype end = 0;
    for (qsizetype counted = 0; counted < clusters; ++counted) {
        const int32_t next = ubrk_next(breaks);
        if (next == UBRK_DONE)
            break;
        end = next;
    }
    return end;
}

} // namespace pellora
