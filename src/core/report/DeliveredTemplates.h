#pragma once

#include <QList>
#include <QString>

class TReportControl;

// The report templates delivered with the installation: one per printing screen, registered at enrolment
// (SYS_PRINT_NAME_TABLE) and stored in the database folder as files named by their PRINT_ID. They are built
// here by code; resources/templates/ holds their streams (vuzazo-cli template delivered DIR writes them).
namespace DeliveredTemplates {

struct Entry
{
    QString printId;
    QString printIndex; // the screen's report group
    QString printName;  // the title
    QString printType;  // "M" single table, "MD" master with detail rows
};

const QList<Entry>& entries();
// Builds the template of printId into report (which must be empty); false for an unknown identifier.
bool build(const QString& printId, TReportControl& report);

} // namespace DeliveredTemplates
