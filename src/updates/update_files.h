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
    QString tempDir; // downloaded ZIP, extraction folder, helper script

    // Logs under ~/.local/state/Pendra, staging under ~/.cache/Pendra, the
    // system's temporary folder.
    static UpdateFiles standard();
    // Everything below one folder, for tests.
    static UpdateFiles under(const QString &root);

    QString extractDir() const;
    QString helperScriptPath() const;
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
