#include "app/preferences/preferences_texts.h"

#include <QStringView>

namespace PreferencesTexts {

QString onLinux(const char16_t *productText)
{
    const QStringView text(productText);
    for (const Mapping &mapping : kMappings) {
        if (text == QStringView(mapping.productText))
            return QString::fromUtf16(mapping.linuxText);
    }
    return text.toString();
}

} // namespace PreferencesTexts
