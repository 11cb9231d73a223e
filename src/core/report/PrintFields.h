#pragma once

#include <QList>
#include <QString>

// One entry of a print field list: a field a report template may name by its caption, the data set that
// holds it ("M" master, "D" detail) and whether it is offered as a single value ({caption}) and as report
// rows ([caption]).
struct TPrintField
{
    QString fieldName;
    QString caption;
    QString dataSet = QStringLiteral("M");
    bool single = true;
    bool rows = true;
};

using TPrintFieldsArray = QList<TPrintField>;
