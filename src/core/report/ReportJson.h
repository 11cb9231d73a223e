#pragma once

#include <QJsonObject>

class TReportControl;

// A template as JSON: page, margins, paper, lines and cells with every stored and computed property and
// the merges (by line and cell index). For administrators and scripts (vuzazo-cli template show).
QJsonObject TemplateToJson(const TReportControl& report);
