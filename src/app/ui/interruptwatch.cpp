// SPDX-License-Identifier: MIT
#include "app/ui/interruptwatch.h"

#include <chrono>

#include <QCoreApplication>
#include <QTimer>

#include "platform/interruptflag.h"

namespace aw {

void WatchForInterrupt(QObject& owner) {
    InterruptFlag::Install(true);
    auto* poll = new QTimer(&owner); // owned by `owner`
    QObject::connect(poll, &QTimer::timeout, &owner, [] {
        // Every loop ends, and any loop started later returns at once: the program runs to its end.
        if (InterruptFlag::Raised())
            QCoreApplication::exit(0);
    });
    poll->start(std::chrono::milliseconds(200));
}

} // namespace aw
