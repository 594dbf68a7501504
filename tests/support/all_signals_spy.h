#pragma once

#include <QMetaMethod>
#include <QSignalSpy>
#include <QStringList>

#include <memory>
#include <vector>

// Spies on every change signal an object's own class declares.
class AllSignalsSpy
{
public:
    explicit AllSignalsSpy(QObject *object)
    {
        const QMetaObject *meta = object->metaObject();
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            if (meta->method(i).methodType() == QMetaMethod::Signal)
                m_spies.push_back(std::make_unique<QSignalSpy>(object, meta->method(i)));
        }
    }

    qsizetype signalCount() const { return qsizetype(m_spies.size()); }

    // The signatures of the signals emitted since construction or the last
    // call, which forgets them.
    QStringList takeEmitted()
    {
        QStringList names;
        for (const auto &spy : m_spies) {
            if (!spy->isEmpty())
                names.append(QString::fromLatin1(spy->signal()));
            spy->clear();
        }
        return names;
    }

private:
    std::vector<std::unique_ptr<QSignalSpy>> m_spies;
};
