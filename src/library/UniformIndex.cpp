#include "UniformIndex.h"

namespace pellora {

quint32 uniformIndex(quint32 count, const std::function<quint32()>& nextWord)
{
    Q_ASSERT(count > 0);
    // 2^32 mod count, computed in 32 bits: (2^32 - count) mod count.
    const quint32 threshold = (0u - count) % count;
    for (;;) {
        const quint32 word = nextWord();
        if (word >= threshold)
            return word % count;
    }
}

} // namespace pellora
