#include "PickTypeCondition.h"

#include "SelectArchivesTypeForm.h"
#include "db/Lookups.h"

bool PickTypeCondition(TSelectArchivesTypeForm* typeWindow, QString* typeName, QString* condition, const QString& alias)
{
    if (!typeWindow)
        return true;
    typeWindow->raise();
    typeWindow->activateWindow();
    if (!typeWindow->choose())
        return true;
    if (typeName)
        *typeName = typeWindow->SelectedName();
    if (condition)
        *condition = TypeSubtreeCondition(typeWindow->SelectedKey(), alias);
    return false;
}
