#pragma once
#include <QProcess>
#include <QStringList>
#include <memory>

// The writer helper, started with args; null when it could not be started.
inline std::unique_ptr<QProcess> startWriter(const QStringList& args) {
    auto p = std::make_unique<QProcess>();
    p->start(QStringLiteral(CRASH_WRITER), args);
    if (!p->waitForStarted(10000))
        return nullptr;
    return p;
}

// Waits for the writer to say it has both files open; false when it ended or stayed silent.
inline bool waitReady(QProcess& p) {
    while (!p.canReadLine())
        if (!p.waitForReadyRead(30000))
            return false;
    return p.readLine() == "ready\n";
}
