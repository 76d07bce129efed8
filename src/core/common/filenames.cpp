// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/filenames.h"

namespace FileNames {

namespace {

constexpr char16_t escapeBase = 0xDC00;

// The length of the valid UTF-8 sequence at the start of bytes, 0 if there is none.
qsizetype validSequenceAt(QByteArrayView bytes)
{
    const auto byte = [&bytes](qsizetype k) { return static_cast<unsigned char>(bytes.at(k)); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        // No overlong forms, no surrogates.
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (bytes.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (qsizetype k = 2; k < length; ++k) {
        if (byte(k) < 0x80 || byte(k) > 0xBF)
            return 0;
    }
    return length;
}

} // namespace

QString decode(QByteArrayView name)
{
    if (name.isValidUtf8())
        return QString::fromUtf8(name);
    QString text;
    text.reserve(name.size());
    qsizetype k = 0;
    while (k < name.size()) {
        const qsizetype length = validSequenceAt(name.sliced(k));
        if (length == 0) {
            text.append(QChar(char16_t(escapeBase + static_cast<unsigned char>(name.at(k)))));
            ++k;
        } else {
            text.append(QString::fromUtf8(name.sliced(k, length)));
            k += length;
        }
    }
    return text;
}

QByteArray encode(const QString &name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype start = 0;
    for (qsizetype k = 0; k < name.size(); ++k) {
        const char16_t unit = name.at(k).unicode();
        if (unit < escapeBase + 0x80 || unit > escapeBase + 0xFF)
            continue;
        // A low surrogate after a high one is half of a character, not a byte.
        if (k > 0 && name.at(k - 1).isHighSurrogate())
            continue;
        bytes += QStringView(name).sliced(start, k - start).toUtf8();
        bytes += char(unit - escapeBase);
        start = k + 1;
    }
    bytes += QStringView(name).sliced(start).toUtf8();
    return bytes;
}

} // namespace FileNames
