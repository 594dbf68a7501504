#pragma once

#include <QString>

// The desktop's file manager, for showing the user a file the app just wrote.
class FileManager
{
public:
    virtual ~FileManager() = default;

    // Shows the file at `path` (absolute) selected in the file manager; when
    // no file manager answers, opens the folder that holds it. Returns at
    // once; failures are not reported.
    virtual void revealFile(const QString &path) = 0;
};
