#pragma once

// The first page of a Jet file, as the phrase store reads it and the Jet writer writes it. Each
// value is a row of "Page 0: database definition" in tools/jetwriter/JetFormat.md, where the note
// names it; Jet 3 differs where "Jet 3" there says so.

#include <QtGlobal>

#include <utility>

namespace JetHeader {

inline constexpr int Jet4PageSize = 4096; // "Pages are 4096 bytes"
inline constexpr int Jet3PageSize = 2048; // Jet 3: pages

inline constexpr int MagicOffset = 0x04; // 0x04: "Standard Jet DB"
inline constexpr char Magic[] = "Standard Jet DB"; // with its 0 byte: 16 bytes
inline constexpr int VersionOffset = 0x14; // 0x14: Jet version
inline constexpr quint8 Jet3 = 0;
inline constexpr quint8 Jet4 = 1;

inline constexpr int MaskedOffset = 0x18; // 0x18: RC4-encrypted
inline constexpr int Jet4MaskedLength = 128;
inline constexpr int Jet3MaskedLength = 126; // Jet 3: masked bytes
inline constexpr unsigned char MaskKey[4] = { 0xC7, 0xDA, 0x39, 0x6B };
inline constexpr int CodePageOffset = 0x3C; // 0x3C: code page
inline constexpr int PageKeyOffset = 0x3E; // 0x3E: page encoding key
inline constexpr int PasswordOffset = 0x42; // 0x42: database password
inline constexpr int Jet4PasswordLength = 40;
inline constexpr int Jet3PasswordLength = 20; // Jet 3: password
inline constexpr int SortOrderOffset = 0x6E; // 0x6E: default sort order
inline constexpr int CreatedOffset = 0x72; // 0x72: creation date
inline constexpr int Unknown98Offset = 0x98; // 0x98: unknown, not encrypted
inline constexpr int Unknown9COffset = 0x9C; // 0x9C: unknown, not encrypted

// The bytes a header of this version needs before its masked part can be read whole.
inline constexpr int Jet4HeaderLength = MaskedOffset + Jet4MaskedLength;

inline constexpr int pageSize(quint8 version)
{
    return version == Jet3 ? Jet3PageSize : Jet4PageSize;
}

inline constexpr int maskedLength(quint8 version)
{
    return version == Jet3 ? Jet3MaskedLength : Jet4MaskedLength;
}

inline constexpr int passwordLength(quint8 version)
{
    return version == Jet3 ? Jet3PasswordLength : Jet4PasswordLength;
}

// RC4 with MaskKey over the masked part; the same call masks and unmasks.
inline void applyMask(unsigned char *data, int size)
{
    unsigned char s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<unsigned char>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + MaskKey[i % 4]) & 0xFF;
        std::swap(s[i], s[j]);
    }
    for (int n = 0, i = 0, j = 0; n < size; ++n) {
        i = (i + 1) & 0xFF;
        j = (j + s[i]) & 0xFF;
        std::swap(s[i], s[j]);
        data[n] ^= s[(s[i] + s[j]) & 0xFF];
    }
}

} // namespace JetHeader
