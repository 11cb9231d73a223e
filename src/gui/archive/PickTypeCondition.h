#pragma once

#include <QString>

class QWidget;
class TSelectArchivesTypeForm;

// Lets the user choose an archive type in typeWindow (shown modally in front) for a search: on 确定 gives the
// type's name and the condition selecting it and every type below it (TypeSubtreeCondition, with the alias
// when one is given) and returns false; returns true when the user closed the window without a choice.
// The callers keep their type window, so it opens again at the last choice.
bool PickTypeCondition(TSelectArchivesTypeForm* typeWindow, QString* typeName, QString* condition,
                       const QString& alias = QString());
