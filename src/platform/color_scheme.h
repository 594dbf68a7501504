#pragma once

#include <QObject>

// The desktop's light or dark preference for application styling.
enum class ColorScheme { noPreference, preferDark, preferLight };

// Where the preference comes from. Starts at noPreference until the desktop
// has answered, then follows the desktop's changes.
class ColorSchemeSource : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual ColorScheme colorScheme() const = 0;

signals:
    void colorSchemeChanged(ColorScheme scheme);
};
