#pragma once

#include <QString>

#include <functional>

// A believable archive room for newcomers and for the benchmarks: a five-level type tree, the field
// configuration, archives with their detail items, lendings (some overdue, some returned) and a few users.
namespace DemoData {

struct Options
{
    qint64 archives = 2000;
    qint64 details = 6000;
    quint32 seed = 20091125;
};

// Fills the open program database, which must hold no archives or users yet. One transaction: a failure
// leaves the database as it was. progress(done, total) is called now and then.
bool fill(const Options& options, QString* error, const std::function<void(qint64, qint64)>& progress = {});

// The demo users and their passwords, for the message after filling.
QString usersText();

} // namespace DemoData
