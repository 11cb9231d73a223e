#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The data side of logon and first-run enrolment.
namespace Logon {

struct User
{
    QString id;
    QString name;
    bool isAdmin = false;
};

// Administrators in SYS_USER_TABLE (active or not): none means the program enrols one first.
int administratorCount();
// Names of the active users, for the logon list.
QStringList activeUserNames();

// The active user whose number, or else whose name, is typed and whose password matches (both trimmed).
// A match on the number is tried before one on the name.
std::optional<User> findUser(const QString& typedUser, const QString& typedPassword);
// Fills the login context with the user (and the input method from the machine settings).
void apply(const User& user);

enum class EnrolResult
{
    Ok,
    CompanyFailed,
    UserFailed
};
// Records the organisation (every existing organisation row is renamed, else row "000001" is added), the
// first administrator with the hashed password, and the administrator's rights for every program (all
// other rights rows are removed). All or nothing.
EnrolResult enrol(const QString& company, const QString& userId, const QString& userName, const QString& password);

// The report templates the program delivers, registered in SYS_PRINT_NAME_TABLE.
struct ReportRow
{
    const char* id;
    const char* index;
    const char* name;
    const char* type;
};
inline constexpr ReportRow DeliveredReports[5] = {
    {"200700000007", "ArchiveForm", "档案资料", "M"},
    {"200700000008", "QueryArchiveDetail", "档案明细资料查询报表", "M"},
    {"200700000009", "SelectArchivesDetailForm", "档案明细资料报表", "MD"},
    {"200700000010", "SelectArchivesLend", "档案借阅单", "MD"},
    {"200700000011", "QueryArchiveLendForm", "档案借阅资料查询报表", "M"},
};
// Registers the five rows (rows already there are kept); progress(n) after each. All or nothing.
bool registerDeliveredReports(const std::function<void(int)>& progress = {});

} // namespace Logon
