#pragma once

#include <QString>

#include <optional>

class Clock;

// The installer's files and folders. Absolute paths.
struct UpdateFiles
{
    QString logPath; // update.log, one "[ISO 8601 UTC] message" line per event
    QString resultPath; // update-result.txt, "status|message\n" from the last install
    QString stagingDir; // holds the staged Pendra.app until it is installed
    // Where each install makes its private work folder (download, extraction,
    // helper script). Never the shared temporary folder: other local users
    // can plant files there under any name.
    QString workParent;

    // Logs under ~/.local/state/Pendra, staging and work folders under
    // ~/.cache/Pendra.
    static UpdateFiles standard();
    // Everything below one folder, for tests.
    static UpdateFiles under(const QString &root);

    QString stagedAppPath() const;
};

// Appends lines to the update log. Safe from any thread; errors are ignored.
class UpdateLog
{
public:
    UpdateLog(QString path, const Clock &clock);

    void append(const QString &message) const;
    const QString &path() const { return m_path; }

private:
    QString m_path;
    const Clock &m_clock;
};

// What the last helper run left in the result file: absent when it finished
// ("ok") or left nothing; otherwise the message to show.
std::optional<QString> previousResultMessage(const QString &resultFileText);
// Reads and deletes the result file, then judges it as above.
std::optional<QString> takePreviousResult(const QString &resultPath);
