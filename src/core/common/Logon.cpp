#include "Logon.h"

#include "AppContext.h"
#include "MachineSettings.h"
#include "Password.h"
#include "db/Database.h"
#include "db/FunLib.h"
#include "db/Sql.h"

#include <cmath>

namespace {

const QString Yes = QStringLiteral("是");
const QString Active = QStringLiteral("有效");

std::optional<Logon::User> matchOn(const QString& column, const QString& typed, const QString& password)
{
    auto q = OpenSql(QStringLiteral("SELECT USE_ID,USE_NAME,SYS_USER,USE_PASSWORD FROM SYS_USER_TABLE WHERE %1 = %2 "
                                    "AND STOP_RIGHT = %3")
                         .arg(column, Sql::quote(typed), Sql::quote(Active)));
    while (q && q->next()) {
        if (Password::verify(q->value(3).toString(), password))
            return Logon::User{q->value(0).toString(), q->value(1).toString(), q->value(2).toString() == Yes};
    }
    return std::nullopt;
}

} // namespace

namespace Logon {

int administratorCount()
{
    return int(std::lround(
        LookupNumber(QStringLiteral("SELECT COUNT(USE_ID) FROM SYS_USER_TABLE WHERE SYS_USER = ") + Sql::quote(Yes))));
}

QStringList activeUserNames()
{
    return LookupColumn(QStringLiteral("SELECT USE_NAME FROM SYS_USER_TABLE WHERE STOP_RIGHT = ") + Sql::quote(Active) +
                        QStringLiteral(" ORDER BY ") + Sql::orderByText(QStringLiteral("USE_NAME")));
}

std::optional<User> findUser(const QString& typedUser, const QString& typedPassword)
{
    const QString t = typedUser.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    if (auto byId = matchOn(QStringLiteral("USE_ID"), t, typedPassword))
        return byId;
    return matchOn(QStringLiteral("USE_NAME"), t, typedPassword);
}

void apply(const User& user)
{
    AppContext& ctx = AppContext::instance();
    ctx.UserId = user.id;
    ctx.UserName = user.name;
    ctx.IsAdmin = user.isAdmin;
    ctx.ImeName = ReadRegValue(QString::fromLatin1(MachineSettings::KeyIme));
}

EnrolResult enrol(const QString& company, const QString& userId, const QString& userName, const QString& password)
{
    const QString hashed = Password::hash(password);
    if (hashed.isEmpty())
        return EnrolResult::UserFailed;
    Transaction tx;
    const bool hasCompany = LookupNumber(QStringLiteral("SELECT COUNT(COMPANY_ID) FROM SYS_COMPANY_TABLE")) > 0;
    const QString companySql =
        hasCompany ? QStringLiteral("UPDATE SYS_COMPANY_TABLE SET COMPANY_NAME = ") + Sql::quote(company)
                   : QStringLiteral("INSERT INTO SYS_COMPANY_TABLE(COMPANY_ID,COMPANY_NAME) VALUES('000001',%1)")
                         .arg(Sql::quote(company));
    if (!tx.isActive() || !ExecSql(companySql))
        return EnrolResult::CompanyFailed;

    const QString loginDate = AppContext::instance().LoginDate;
    if (!ExecSql(QStringLiteral("DELETE FROM SYS_USER_TABLE WHERE USE_ID = ") + Sql::quote(userId)) ||
        !ExecSql(QStringLiteral("INSERT INTO SYS_USER_TABLE(USE_PASSWORD,USE_ID,USE_NAME,SYS_USER,STOP_RIGHT,"
                                "CREATE_NAME,CREATE_DATE) VALUES(%1,%2,%3,%4,%5,%6,%7)")
                     .arg(Sql::quote(hashed), Sql::quote(userId), Sql::quote(userName), Sql::quote(Yes),
                          Sql::quote(Active), Sql::quote(userName), Sql::quoteDate(loginDate))))
        return EnrolResult::UserFailed;

    // The first administrator gets every right of every program; no other user keeps any.
    if (!ExecSql(QStringLiteral("DELETE FROM SYS_RIGHT_TABLE")))
        return EnrolResult::UserFailed;
    static const int programs[][2] = {{1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6}, {1, 7}, {2, 1}, {2, 2}};
    const QString yes = Sql::quote(Yes);
    for (const auto& p : programs) {
        const QString sql = QStringLiteral("INSERT INTO SYS_RIGHT_TABLE(USE_ID,COMPOSE_ID,PROGRAM_ID,ADD_RIGHT,"
                                           "EDIT_RIGHT,DELETE_RIGHT,BROWSE_RIGHT,PRINT_RIGHT,VERIFY_RIGHT,"
                                           "CURRENCY_RIGHT) VALUES(%1,%2,%3,%4,%4,%4,%4,%4,%4,%4)")
                                .arg(Sql::quote(userId), Sql::number(p[0]), Sql::number(p[1]), yes);
        if (!ExecSql(sql))
            return EnrolResult::UserFailed;
    }
    if (!tx.commit())
        return EnrolResult::UserFailed;
    return EnrolResult::Ok;
}

bool registerDeliveredReports(const std::function<void(int)>& progress)
{
    Transaction tx;
    if (!tx.isActive())
        return false;
    int n = 0;
    for (const ReportRow& r : DeliveredReports) {
        const QString index = QString::fromUtf8(r.index);
        const QString id = QString::fromUtf8(r.id);
        const bool present = LookupNumber(QStringLiteral("SELECT COUNT(*) FROM SYS_PRINT_NAME_TABLE WHERE "
                                                         "PRINT_INDEX = %1 AND PRINT_ID = %2")
                                              .arg(Sql::quote(index), Sql::quote(id))) > 0;
        if (!present && !ExecSql(QStringLiteral("INSERT INTO SYS_PRINT_NAME_TABLE(PRINT_ID,PRINT_INDEX,PRINT_NAME,"
                                                "PRINT_TYPE) VALUES(%1,%2,%3,%4)")
                                     .arg(Sql::quote(id), Sql::quote(index), Sql::quote(QString::fromUtf8(r.name)),
                                          Sql::quote(QString::fromUtf8(r.type)))))
            return false;
        if (progress)
            progress(++n);
    }
    return tx.commit();
}

} // namespace Logon
