#pragma once

#include <QtGlobal>

#include <functional>

namespace pellora {

// An index uniformly distributed in [0, count) from a source of uniform 32-bit words, by rejection:
// words below 2^32 mod count are drawn again, so no index is favoured. count must be positive.
quint32 uniformIndex(quint32 count, const std::function<quint32()>& nextWord);

} // namespace pellora
