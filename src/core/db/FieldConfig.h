#pragma once

#include <QString>

// The delivered column configurations, written when a configuration table is found empty.
namespace FieldConfig {

// The six default rows of SYS_ARCHIVE_FIELD_TABLE; false (and nothing written) when the statement fails.
bool writeArchiveDefaults();
// The three default rows of SYS_ARCHIVE_DETAIL_FIELD_TABLE.
bool writeDetailDefaults();

struct Row
{
    QString name, caption, type, findType;
    int width = 0, displayWidth = 0, order = 0;
    bool sortOffered = false;
    int iteration = 0;
};
// Inserts or replaces one configuration row.
bool writeRow(const QString& table, const Row& row);

} // namespace FieldConfig
