#pragma once
// Shared by the fuzz targets: a check that aborts (so libFuzzer and the
// replay both report the input), and a reader that takes typed values off
// the input and answers zeros once it is used up.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(cond, detail)                                                                   \
    do {                                                                                           \
        if (!(cond))                                                                               \
            FuzzFail(#cond, __FILE__, __LINE__, (detail));                                         \
    } while (0)

[[noreturn]] inline void FuzzFail(const char *what, const char *file, int line,
                                  const QString &detail)
{
    std::fprintf(stderr, "FUZZ CHECK FAILED %s:%d: %s\n  %s\n", file, line, what,
                 detail.toUtf8().constData());
    std::abort();
}

// True for about one input in `every`, always the same ones (FNV-1a of the
// bytes, not Qt's seeded hash): a check that is costly and gains little from
// running on every input runs on a share of them, and a replay of an input
// takes the same road as the run that found it.
inline bool FuzzSampled(const std::uint8_t *data, std::size_t size, std::uint32_t every)
{
    std::uint32_t h = 2166136261u;
    for (std::size_t i = 0; i < size; ++i)
        h = (h ^ data[i]) * 16777619u;
    return h % every == 0;
}

class FuzzInput
{
public:
    FuzzInput(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}

    bool empty() const { return m_pos >= m_size; }
    std::size_t left() const { return m_size - m_pos; }

    std::uint8_t byte() { return empty() ? 0 : m_data[m_pos++]; }
    std::uint16_t u16() { return std::uint16_t(byte() << 8 | byte()); }
    std::int32_t i32() { return std::int32_t(std::uint32_t(u16()) << 16 | u16()); }
    // Up to n bytes.
    QByteArray bytes(std::size_t n)
    {
        const std::size_t take = n < left() ? n : left();
        QByteArray b(reinterpret_cast<const char *>(m_data + m_pos), qsizetype(take));
        m_pos += take;
        return b;
    }
    // The bytes up to the next newline (which is consumed) or the end.
    QByteArray line()
    {
        std::size_t end = m_pos;
        while (end < m_size && m_data[end] != '\n')
            ++end;
        QByteArray b = bytes(end - m_pos);
        if (!empty())
            ++m_pos;
        return b;
    }
    QByteArray rest() { return bytes(left()); }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};
