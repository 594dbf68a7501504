#pragma once

#include <QWidget>

#include <cstdint>

class QLabel;
class QProgressBar;

// The small floating "Pendra Update" window shown while an update downloads
// and installs. It never takes focus from what the user is doing.
class UpdateProgressPanel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kWidth = 360; // px
    static constexpr int kHeight = 132; // px

    explicit UpdateProgressPanel(const QString &version, const QString &host, QWidget *parent = nullptr);

    // Bytes so far and in total (-1 when unknown).
    void setDownloadProgress(std::int64_t received, std::int64_t total, const QString &version);
    void showInstalling(const QString &version);

    QString headline() const;
    QString detail() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_headline;
    QLabel *m_detail;
    QProgressBar *m_bar;
};
