#pragma once

#include <QString>

// Record keys: a prefix letter, the time as "yymmddhhnnss" and a three-digit serial within that second.
// One generator serves the whole process and only moves forward: when a second's 1000 serials are used up
// it borrows the next second, so keys never repeat, however many rows are made at once.
namespace KeyGenerator {

QString next(const QString& prefix);
// Moves the generator past an existing key (the newest key of a table), so keys made after a restart
// within the same second do not collide with it.
void observe(const QString& key);
// Forget the state (tests).
void reset();

} // namespace KeyGenerator
