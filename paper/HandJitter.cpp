#include "HandJitter.h"

#include "LetterLayout.h"

#include <QtMath>

namespace Paper {

namespace {

// Sizes of the jitter in ems or degrees, a little above handwriting simulators' defaults so that it
// shows at letter size; held to two σ so that no character leaves its place.
constexpr double ShiftSigma = 1.0 / 24;
constexpr double TurnSigma = 3.0;
constexpr double SizeSigma = 0.04;

std::uint64_t fnv1a(const QString &text)
{
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (const QChar c : text) {
        h ^= c.unicode();
        h *= 0x100000001b3ULL;
    }
    return h;
}

} // namespace

HandJitter::HandJitter(const QString &letter, qreal em)
    : m_state(fnv1a(letter))
    , m_em(em)
{
}

// splitmix64: the same numbers on every platform and library, unlike std::normal_distribution.
double HandJitter::uniform()
{
    std::uint64_t z = (m_state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    z ^= z >> 31;
    return double(z >> 11) * (1.0 / 9007199254740992.0);
}

double HandJitter::normal(double sigma, double limit)
{
    const double u1 = qMax(uniform(), 1e-12);
    const double u2 = uniform();
    const double n = std::sqrt(-2 * std::log(u1)) * std::cos(2 * M_PI * u2);
    return qBound(-limit, n * sigma, limit);
}

void HandJitter::apply(LaidGlyph &glyph)
{
    glyph.shift
        = QPointF(normal(ShiftSigma, 2 * ShiftSigma) * m_em, normal(ShiftSigma, 2 * ShiftSigma) * m_em);
    glyph.turn = normal(TurnSigma, 2 * TurnSigma);
    glyph.size = 1 + normal(SizeSigma, 2 * SizeSigma);
}

} // namespace Paper
