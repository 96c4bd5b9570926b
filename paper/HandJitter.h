#pragma once

#include <QString>

#include <cstdint>

namespace Paper {

struct LaidGlyph;

// 手写效果: each character moved, turned and scaled by small random amounts. The draws are seeded from
// the letter's text, so the preview, the PDF and the pictures of one letter are the same every time.
class HandJitter
{
public:
    HandJitter(const QString &letter, qreal em);
    void apply(LaidGlyph &glyph);

private:
    double uniform();
    double normal(double sigma, double limit);

    std::uint64_t m_state;
    qreal m_em;
};

} // namespace Paper
