#include "searchfold.h"

namespace base {

QString foldedForSearch(const QString& text) {
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString kept;
    kept.reserve(decomposed.size());
    for (QChar c : decomposed) {
        if (c.unicode() < 0x0300 || c.unicode() > 0x036f)
            kept.append(c);
    }
    return kept.toLower().replace(QChar(0x03c2), QChar(0x03c3));
}

}  // namespace base
