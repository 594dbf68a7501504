#pragma once

#include "platform/file_manager.h"

#include <QStringList>

// Remembers which files the app asked to show.
class RecordingFileManager final : public FileManager
{
public:
    void revealFile(const QString &path) override { revealed.append(path); }

    QStringList revealed;
};
