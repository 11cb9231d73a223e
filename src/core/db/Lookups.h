#pragma once

#include <QString>

// Named settings of SYS_ID_TABLE and the shared lookups every screen uses.

bool SettingIsOn(const QString& name);
QString ReadSetting(const QString& name);
// Shows "参数保存过程发生错误" and keeps the old value when the statement fails.
bool WriteSetting(const QString& name, const QString& value);
// AppContext.NumberingScheme from "分类编号" (0 when empty).
int LoadNumberingScheme();
// ReminderField and ReminderDays of the context from "提醒字段" and "提醒天数".
void LoadReminderSettings();

// The condition that selects a type and every type below it (index-friendly); empty for an empty key.
QString TypeSubtreeCondition(const QString& typeId, const QString& alias = QString());
// The names of a type's ancestors and itself, top level first, separated by one blank.
QString TypePath(const QString& typeId);
QString TopTypeId(const QString& typeId);

// The lending-state condition piece of the find dialogs (" (RETURN_DATE IS NULL)@" and so on);
// state is "未归还" or "已归还", anything else gives empty text.
QString LendStateCondition(const QString& state, const QString& alias = QString());

// A program's name with everything from suffix on removed.
QString ReadProgramName(int groupId, int programId, const QString& suffix);
// Renames a program to newName + suffix; false when the row is missing or the statement fails.
bool RenameProgram(const QString& newName, int groupId, int programId, const QString& suffix);

// The working date of the context becomes today.
void RefreshLoginDate();
