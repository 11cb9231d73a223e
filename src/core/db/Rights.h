#pragma once

#include <QString>

// A user's rights for one program (SYS_RIGHT_TABLE), in the order of the right columns.
struct ProgramRights
{
    bool add = false;
    bool edit = false;
    bool remove = false;
    bool browse = false;
    bool print = false;
    bool verify = false;
    bool documents = false;

    bool flag(int index) const;
};

namespace Rights {

// The right columns of SYS_RIGHT_TABLE; a right index 0..6 is a position in this list.
inline constexpr const char* Columns[7] = {"ADD_RIGHT",   "EDIT_RIGHT",   "DELETE_RIGHT",  "BROWSE_RIGHT",
                                           "PRINT_RIGHT", "VERIFY_RIGHT", "CURRENCY_RIGHT"};

// Group number of a group name, 0 when there is none.
int groupId(const QString& groupName);
// Program number within a group, 0 when there is none.
int programId(int groupId, const QString& programName);

} // namespace Rights

// All seven flags of a user for a program. A group or program without a row shows group + "程序组找不到"
// or group + "程序找不到" and gives no rights; so does a user without a rights row (silently).
bool GetProgramRights(const QString& groupName, const QString& programName, ProgramRights& rights,
                      const QString& userId);
// The browse right, which decides whether the program's window may be opened at all.
bool HasProgramRight(const QString& groupName, const QString& programName, const QString& userId);
// "您没有在程序\"" + program + "\"中的权限"
QString NoRightMessage(const QString& programName);

// One flag as stored ("是"/"否"; "否" when there is no row or the value is empty).
QString GetRight(const QString& userId, int groupId, int rightIndex, int programId);
// Writes one flag, adding the user's row for the program when there is none (its other flags stay empty).
bool SetRight(const QString& userId, int groupId, const QString& value, int rightIndex, int programId);
