#pragma once

#include "platform/file_manager.h"

#include <QDBusConnection>

#include <functional>

// org.freedesktop.FileManager1.ShowItems on the session bus (Nautilus,
// Dolphin, Nemo, Thunar all answer it). When the call fails, `openFolder`
// gets the folder of the file instead.
class FreedesktopFileManager : public FileManager
{
public:
    static constexpr const char *kService = "org.freedesktop.FileManager1";
    static constexpr const char *kPath = "/org/freedesktop/FileManager1";
    static constexpr const char *kInterface = "org.freedesktop.FileManager1";

    using OpenFolder = std::function<void(const QString &folder)>;

    FreedesktopFileManager(QDBusConnection connection, OpenFolder openFolder);

    void revealFile(const QString &path) override;

private:
    QDBusConnection m_connection;
    OpenFolder m_openFolder;
};
