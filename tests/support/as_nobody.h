#pragma once
#include <QProcessEnvironment>
#include <QStringList>
#include <sys/types.h>

// Permission bits do not stop root, so a test running as root checks a refusal again in a child
// of its own program under the unprivileged user. The child runs a copy of the test program from
// a folder of its own with its own home, so it needs nothing under the checkout: the suite passes
// in a clone that sits in a folder no other user may enter.
inline constexpr uid_t NobodyId = 65534;

struct NobodyRun {
    bool passed = false; // the test function reported PASS (not skipped, not failed)
    QByteArray output;
};

// Hands `paths` (and what they hold) to the unprivileged user, then runs `testFunction` of this
// test program as that user with `extra` added to its environment.
NobodyRun runAsNobody(const QString& testFunction, const QStringList& paths, const QProcessEnvironment& extra = {});
