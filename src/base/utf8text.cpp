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

}  // namespace base
