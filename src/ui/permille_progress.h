#pragma once

#include <QMetaObject>

namespace quillet {

// A worker thread's progress callback for sender, whose Progress(int permille) signal then fires
// on sender's own thread. Only changes are sent: a table of millions of records queues about a
// thousand events, not one per record.
template <typename Count, typename Sender>
auto PermilleProgress(Sender* sender) {
    return [sender, shown = -1](Count done, Count total) mutable {
        const int permille = total <= 0 ? 1000 : static_cast<int>(done * 1000 / total);
        if (permille == shown) return;
        shown = permille;
        QMetaObject::invokeMethod(sender, [sender, permille] { emit sender->Progress(permille); }, Qt::QueuedConnection);
    };
}

}  // namespace quillet
