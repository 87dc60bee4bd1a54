#include "utf8text.h"

#include <QStringDecoder>

namespace base {

namespace {

// The position of the first lone surrogate from `from` on, or -1.
qsizetype nextLoneSurrogate(const QString& text, qsizetype from) {
    for (qsizetype i = from; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return i;
    }
    return -1;
}

}  // namespace

bool hasLoneSurrogate(const QString& text) {
    return nextLoneSurrogate(text, 0) >= 0;
}

QString withWholeCharacters(const QString& text) {
    qsizetype at = nextLoneSurrogate(text, 0);
    if (at < 0)
        return text;
    QString whole = text;
    for (; at >= 0; at = nextLoneSurrogate(whole, at + 1))
        whole[at] = QChar::ReplacementCharacter;
    return whole;
}

QString fromStoredUtf8(QByteArrayView utf8) {
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom |
                                                       QStringConverter::Flag::Stateless);
    return decoder.decode(utf8);
}

namespace {

// The length of the valid UTF-8 sequence at `at`, or 0.
int sequenceLength(const unsigned char* at, qsizetype left) {
    const unsigned char lead = at[0];
    const int length = lead < 0x80   ? 1
                       : lead < 0xc2 ? 0
                       : lead < 0xe0 ? 2
                       : lead < 0xf0 ? 3
                       : lead < 0xf5 ? 4
                                     : 0;
    if (length == 0 || length > left)
        return 0;
    for (int k = 1; k < length; ++k) {
        if ((at[k] & 0xc0) != 0x80)
            return 0;
    }
    // No overlong form, no surrogate, nothing past U+10FFFF.
    if ((lead == 0xe0 && at[1] < 0xa0) || (lead == 0xed && at[1] > 0x9f) ||
        (lead == 0xf0 && at[1] < 0x90) || (lead == 0xf4 && at[1] > 0x8f))
        return 0;
    return length;
}

}  // namespace

QString fromStoredBytes(QByteArrayView bytes) {
    if (bytes.isValidUtf8())
        return fromStoredUtf8(bytes);
    QString text;
    text.reserve(bytes.size());
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    for (qsizetype at = 0; at < bytes.size();) {
        const int length = sequenceLength(data + at, bytes.size() - at);
        if (length == 0) {
            text.append(QChar(char16_t(0xdc00 + data[at])));
            ++at;
            continue;
        }
        text += fromStoredUtf8(bytes.sliced(at, length));
        at += length;
    }
    return text;
}

QByteArray toStoredBytes(const QString& text) {
    if (!hasLoneSurrogate(text))
        return text.toUtf8();
    QByteArray bytes;
    bytes.reserve(text.size() * 3);
    qsizetype done = 0;
    for (qsizetype at = nextLoneSurrogate(text, 0); at >= 0; at = nextLoneSurrogate(text, at + 1)) {
        bytes += QStringView(text).sliced(done, at - done).toUtf8();
        const char16_t unit = text.at(at).unicode();
        if (unit >= 0xdc80 && unit <= 0xdcff)
            bytes += char(unit - 0xdc00);
        else
            bytes += "\xEF\xBF\xBD";
        done = at + 1;
    }
    return bytes + QStringView(text).sliced(done).toUtf8();
}

}  // namespace base
