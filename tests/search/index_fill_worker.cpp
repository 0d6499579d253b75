// Fills the search indexes of a store in small batches and is killed by
// SIGKILL after `ms` milliseconds, wherever the fill then is: inside a
// batch's transaction or between two.
// Usage: index_fill_worker <pad.db> <ms>
// Exits 0 when the fill finished first.

#include "search/core/IndexFill.h"
#include "store/Store.h"

#include <QCoreApplication>

#include <chrono>
#include <csignal>
#include <thread>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    if (Store::open(QString::fromLocal8Bit(argv[1])).status != Store::Status::Ready)
        return 3;
    const int ms = std::atoi(argv[2]);
    std::thread([ms] {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        std::raise(SIGKILL);
    }).detach();
    return IndexFill(Store::database()).run({}, 50).ok() ? 0 : 4;
}
