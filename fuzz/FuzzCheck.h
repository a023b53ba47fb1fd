#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace pellora::fuzz {

// A broken invariant stops the fuzzer at once, with the input saved as a crash.
inline void require(bool holds)
{
    if (!holds)
        __builtin_trap();
}

inline QByteArray bytesOf(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

} // namespace pellora::fuzz
