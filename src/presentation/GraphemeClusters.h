#pragma once

#include <QStringView>

namespace pellora {

// Length in UTF-16 code units of the first `clusters` user-perceived characters (extended grapheme
// clusters) of `text`; the whole length when the text has no more than that. Uses a break iterator
// kept per thread, so it may be called from any thread.
qsizetype leadingClustersLength(QStringView text, qsizetype clusters);

} // namespace pellora
