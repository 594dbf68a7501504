#pragma once

#include <QString>
#include <QWidget>

class AppActions;
class PanelActions;

// The product, its version, a short description and the ways out: the app,
// the comparison page, an update check, the web site and the desktop's
// battery settings.
class AboutPane : public QWidget
{
    Q_OBJECT

public:
    static inline const QString kDescription = QStringLiteral(
        "Pendra Pro watches the battery and power draw from the top bar: live watts, time left, the apps that use "
        "the energy and why the battery dropped — measured and kept on this computer.");

    // `version` is the display form; the actions must outlive the pane.
    AboutPane(const QString &version, AppActions &app, PanelActions &panel, QWidget *parent = nullptr);
};
