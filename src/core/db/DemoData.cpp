#include "DemoData.h"

#include "Database.h"
#include "FieldConfig.h"
#include "FunLib.h"
#include "Lookups.h"
#include "Sql.h"
#include "common/Clock.h"

#include <QDate>
#include <QStringList>

#include <random>
#include <sodium.h>
#include <sqlite3.h>

namespace DemoData {

namespace {

struct Statement
{
    sqlite3_stmt* stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};

class Filler
{
public:
    Filler(sqlite3* db, quint32 seed) : m_db(db), m_rng(seed) {}

    bool prepare(Statement& s, const char* sql)
    {
        if (sqlite3_prepare_v2(m_db, sql, -1, &s.stmt, nullptr) != SQLITE_OK) {
            m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
            return false;
        }
        return true;
    }

    void bindText(Statement& s, int i, const QString& v)
    {
        if (v.isNull()) {
            sqlite3_bind_null(s.stmt, i);
            return;
        }
        const QByteArray b = v.toUtf8();
        sqlite3_bind_text(s.stmt, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    }

    bool step(Statement& s)
    {
        const int rc = sqlite3_step(s.stmt);
        sqlite3_reset(s.stmt);
        sqlite3_clear_bindings(s.stmt);
        if (rc != SQLITE_DONE) {
            m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
            return false;
        }
        return true;
    }

    int pick(int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(m_rng)); }
    template <size_t N> QString pick(const char* const (&list)[N]) { return QString::fromUtf8(list[pick(int(N))]); }
    double uniform() { return std::uniform_real_distribution<double>(0, 1)(m_rng); }

    QString error() const { return m_error; }

private:
    sqlite3* m_db;
    std::mt19937 m_rng;
    QString m_error;
};

const char* const kTopTypes[] = {"文书档案", "科技档案", "会计档案", "人事档案", "声像档案"};
const char* const kTerms[] = {"永久", "长期", "短期"};
const char* const kDepartments[] = {"办公室", "财务处", "人事处", "基建处", "档案室", "技术科"};
const char* const kHalves[] = {"上半年", "下半年"};
const char* const kSubjects[] = {"年度工作计划", "财务预算",     "干部任免", "工程验收",     "设备采购",
                                 "安全生产检查", "职工培训",     "档案移交", "科研项目立项", "信息化建设",
                                 "办公用房调整", "质量管理体系", "合同审查", "会议纪要",     "年度工作总结"};
const char* const kKinds[] = {"请示", "报告", "通知", "批复", "函", "决定", "纪要", "方案"};
const char* const kSecrecy[] = {"公开", "公开", "公开", "内部", "内部", "秘密", "机密"};
const char* const kPeople[] = {"张伟", "王芳", "李娜", "刘洋", "陈静", "杨帆", "赵磊", "黄敏", "周杰", "吴婷"};
const char* const kPages[] = {"正文", "附件", "底稿", "批示", "图纸", "照片说明", "清单"};

} // namespace

QString usersText()
{
    return QStringLiteral("用户: 001 管理员 (口令 admin, 系统管理员); 002 张伟 (口令 054); 003 王芳 (口令 054); "
                          "004 李娜 (停用)");
}

bool fill(const Options& o, QString* error, const std::function<void(qint64, qint64)>& progress)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (LookupNumber(QStringLiteral("SELECT COUNT(*) FROM QN_ARCHIVE_MASTER_TABLE")) > 0 ||
        LookupNumber(QStringLiteral("SELECT COUNT(*) FROM SYS_USER_TABLE")) > 0)
        return fail(QStringLiteral("数据库中已有档案或用户,示范数据只能填入新建的数据库"));
    if (sodium_init() < 0)
        return fail(QStringLiteral("口令库初始化失败"));

    QSqlDatabase qdb = Database::db();
    sqlite3* db = Database::handle(qdb);
    if (!db)
        return fail(QStringLiteral("数据库没有打开"));
    Transaction tx;
    if (!tx.isActive())
        return fail(QStringLiteral("不能开始数据库事务"));
    Filler f(db, o.seed);
    const QDate today = Clock::today();
    const QString todayText = Sql::isoDate(today);
    const QString admin = QStringLiteral("管理员");

    // Organisation, settings and field configuration.
    const bool ok =
        ExecSql(QStringLiteral("INSERT INTO SYS_COMPANY_TABLE (COMPANY_ID, COMPANY_NAME, COMPANY_ADDRESS, "
                               "COMPANY_POSTCODE, COMPANY_PHONE, CREATE_NAME, CREATE_DATE) VALUES "
                               "('000001', %1, %2, '100000', '010-66668888', %3, %4)")
                    .arg(Sql::quote(QStringLiteral("东方市档案馆")), Sql::quote(QStringLiteral("东方市人民路88号")),
                         Sql::quote(admin), Sql::quote(todayText))) &&
        WriteSetting(QStringLiteral("档案编号"), QStringLiteral("是")) &&
        WriteSetting(QStringLiteral("档案明细编号"), QStringLiteral("否")) &&
        WriteSetting(QStringLiteral("档案借阅编号"), QStringLiteral("是")) &&
        WriteSetting(QStringLiteral("过期未还提醒"), QStringLiteral("是")) &&
        WriteSetting(QStringLiteral("不自动数据备份"), QStringLiteral("否")) &&
        WriteSetting(QStringLiteral("分类编号"), QStringLiteral("0")) && FieldConfig::writeArchiveDefaults() &&
        FieldConfig::writeDetailDefaults();
    const QString s = QStringLiteral("String");
    const bool extra =
        FieldConfig::writeRow("SYS_ARCHIVE_FIELD_TABLE", {"TEXT_FIELD3", "责任者", s, "DT", 50, 12, 3, true, 0}) &&
        FieldConfig::writeRow("SYS_ARCHIVE_FIELD_TABLE", {"TEXT_FIELD4", "全宗号", s, "T", 50, 10, 4, true, 0}) &&
        FieldConfig::writeRow("SYS_ARCHIVE_FIELD_TABLE", {"NUMBER_FIELD1", "页数", "Float", "T", 0, 8, 8, false, 0}) &&
        FieldConfig::writeRow("SYS_ARCHIVE_FIELD_TABLE",
                              {"DATE_FIELD2", "保管期限至", "Date", "D", 0, 10, 9, true, 0}) &&
        FieldConfig::writeRow("SYS_ARCHIVE_DETAIL_FIELD_TABLE",
                              {"DETAIL_DATE_FIELD1", "文件日期", "Date", "D", 0, 10, 3, false, 0}) &&
        FieldConfig::writeRow("SYS_ARCHIVE_DETAIL_FIELD_TABLE",
                              {"DETAIL_TEXT_FIELD1", "责任者", s, "DT", 50, 12, 4, false, 0}) &&
        FieldConfig::writeRow("SYS_ARCHIVE_DETAIL_FIELD_TABLE",
                              {"DETAIL_NUMBER_FIELD1", "页数", "Float", "T", 0, 8, 5, false, 0});
    if (!ok || !extra)
        return fail(QStringLiteral("示范设置写入失败"));

    // Users: an administrator, two clerks, one disabled.
    {
        Statement u, r;
        if (!f.prepare(u, "INSERT INTO SYS_USER_TABLE (USE_ID, USE_NAME, USE_PASSWORD, SYS_USER, STOP_RIGHT, NOTE, "
                          "CREATE_NAME, CREATE_DATE) VALUES (?,?,?,?,?,?,?,?)") ||
            !f.prepare(r, "INSERT INTO SYS_RIGHT_TABLE VALUES (?,?,?,?,?,?,?,?,?,?)"))
            return fail(f.error());
        struct User
        {
            const char *id, *name, *password;
            bool admin, active;
        };
        const User users[] = {{"001", "管理员", "admin", true, true},
                              {"002", "张伟", "054", false, true},
                              {"003", "王芳", "054", false, true},
                              {"004", "李娜", "054", false, false}};
        const int programs[][2] = {{1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6}, {1, 7}, {2, 1}, {2, 2}};
        for (const User& user : users) {
            char hash[crypto_pwhash_STRBYTES];
            if (crypto_pwhash_str(hash, user.password, strlen(user.password), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                                  crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
                return fail(QStringLiteral("口令计算失败"));
            f.bindText(u, 1, QString::fromUtf8(user.id));
            f.bindText(u, 2, QString::fromUtf8(user.name));
            f.bindText(u, 3, QString::fromLatin1(hash));
            f.bindText(u, 4, user.admin ? QStringLiteral("是") : QStringLiteral("否"));
            f.bindText(u, 5, user.active ? QStringLiteral("有效") : QStringLiteral("停用"));
            f.bindText(u, 6, user.admin ? QStringLiteral("系统管理员") : QStringLiteral("档案室"));
            f.bindText(u, 7, admin);
            f.bindText(u, 8, todayText);
            if (!f.step(u))
                return fail(f.error());
            for (const auto& p : programs) {
                const bool granted = user.admin || p[0] == 1;
                const QString yes = granted ? QStringLiteral("是") : QStringLiteral("否");
                const QString edit =
                    (user.admin || QByteArray(user.id) == "002") && granted ? yes : QStringLiteral("否");
                f.bindText(r, 1, QString::fromUtf8(user.id));
                sqlite3_bind_int(r.stmt, 2, p[0]);
                sqlite3_bind_int(r.stmt, 3, p[1]);
                for (int i = 4; i <= 10; ++i)
                    f.bindText(r, i, (i <= 6) ? edit : (i == 9 ? QStringLiteral("否") : yes));
                if (!f.step(r))
                    return fail(f.error());
            }
        }
    }

    // The type tree: five levels, keys of three digits per level.
    QStringList leaves;
    QList<QStringList> typePaths;
    {
        Statement t;
        if (!f.prepare(t, "INSERT INTO QN_ARCHIVE_TYPE_TABLE (ARCHIVE_TYPE_ID, ORDER_ID, ARCHIVE_TYPE_NAME, PRIOR_ID, "
                          "NOTE, CREATE_NAME, CREATE_DATE) VALUES (?,?,?,?,?,?,?)"))
            return fail(f.error());
        auto add = [&](const QString& id, int order, const QString& name, const QString& parent) {
            f.bindText(t, 1, id);
            sqlite3_bind_int(t.stmt, 2, order);
            f.bindText(t, 3, name);
            f.bindText(t, 4, parent);
            f.bindText(t, 5, QString());
            f.bindText(t, 6, admin);
            f.bindText(t, 7, todayText);
            return f.step(t);
        };
        const int firstYear = today.year() - 9;
        for (int a = 0; a < 5; ++a) {
            const QString ka = QStringLiteral("%1").arg(a + 1, 3, 10, QLatin1Char('0'));
            if (!add(ka, a + 1, QString::fromUtf8(kTopTypes[a]), QStringLiteral("G001")))
                return fail(f.error());
            for (int b = 0; b < 3; ++b) {
                const QString kb = ka + QStringLiteral("%1").arg(b + 1, 3, 10, QLatin1Char('0'));
                if (!add(kb, b + 1, QString::fromUtf8(kTerms[b]), ka))
                    return fail(f.error());
                for (int c = 0; c < 10; ++c) {
                    const QString kc = kb + QStringLiteral("%1").arg(c + 1, 3, 10, QLatin1Char('0'));
                    if (!add(kc, c + 1, QStringLiteral("%1年").arg(firstYear + c), kb))
                        return fail(f.error());
                    for (int d = 0; d < 4; ++d) {
                        const QString kd = kc + QStringLiteral("%1").arg(d + 1, 3, 10, QLatin1Char('0'));
                        if (!add(kd, d + 1, QString::fromUtf8(kDepartments[d]), kc))
                            return fail(f.error());
                        for (int e = 0; e < 2; ++e) {
                            const QString ke = kd + QStringLiteral("%1").arg(e + 1, 3, 10, QLatin1Char('0'));
                            if (!add(ke, e + 1, QString::fromUtf8(kHalves[e]), kd))
                                return fail(f.error());
                            leaves << ke;
                            typePaths << QStringList{QString::number(firstYear + c), QString::number(e),
                                                     QString::number(d)};
                        }
                    }
                }
            }
        }
    }

    // Value lists the entry screens offer.
    {
        Statement v1, v2, v3, v4;
        if (!f.prepare(v1, "INSERT INTO QN_TEXT_FIELD1_TABLE VALUES (?)") ||
            !f.prepare(v2, "INSERT INTO QN_TEXT_FIELD2_TABLE VALUES (?)") ||
            !f.prepare(v3, "INSERT INTO QN_TEXT_FIELD3_TABLE VALUES (?)") ||
            !f.prepare(v4, "INSERT INTO QN_LEND_NAME_TABLE VALUES (?)"))
            return fail(f.error());
        for (const char* x : {"公开", "内部", "秘密", "机密"}) {
            f.bindText(v1, 1, QString::fromUtf8(x));
            if (!f.step(v1))
                return fail(f.error());
        }
        for (int zone = 0; zone < 4; ++zone)
            for (int row = 1; row <= 5; ++row) {
                f.bindText(v2, 1, QStringLiteral("%1区%2排").arg(QChar('A' + zone)).arg(row));
                if (!f.step(v2))
                    return fail(f.error());
            }
        for (const char* x : kDepartments) {
            f.bindText(v3, 1, QString::fromUtf8(x));
            if (!f.step(v3))
                return fail(f.error());
        }
        for (const char* x : kPeople) {
            f.bindText(v4, 1, QString::fromUtf8(x));
            if (!f.step(v4))
                return fail(f.error());
        }
    }

    // Archives, their detail items and lendings. Keys follow the record-key format, made in the past so
    // that keys the program makes later sort after them.
    Statement am, ad, al;
    if (!f.prepare(am, "INSERT INTO QN_ARCHIVE_MASTER_TABLE (ARCHIVE_RECORD_ID, ARCHIVE_TYPE_ID, ARCHIVE_ID, "
                       "ARCHIVE_NAME, DATE_FIELD1, DATE_FIELD2, TEXT_FIELD1, TEXT_FIELD2, TEXT_FIELD3, TEXT_FIELD4, "
                       "TEXT_NOTE, NUMBER_FIELD1, CREATE_NAME, CREATE_DATE) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)") ||
        !f.prepare(ad, "INSERT INTO QN_ARCHIVE_DETAIL_TABLE (ARCHIVE_RECORD_ID, DETAIL_ARCHIVE_ID, DETAIL_RECORD_ID, "
                       "DETAIL_ARCHIVE_NAME, DETAIL_DATE_FIELD1, DETAIL_TEXT_FIELD1, DETAIL_NUMBER_FIELD1, "
                       "CREATE_NAME, CREATE_DATE) VALUES (?,?,?,?,?,?,?,?,?)") ||
        !f.prepare(al, "INSERT INTO QN_ARCHIVE_LEND_TABLE (ARCHIVE_RECORD_ID, LEND_ID, LEND_DATE, LEND_NAME, "
                       "RETURN_LIMIT_DATE, RETURN_DATE, NOTE, CREATE_NAME, CREATE_DATE) VALUES (?,?,?,?,?,?,?,?,?)"))
        return fail(f.error());

    const qint64 total = o.archives + o.details;
    const QDateTime keyBase = QDateTime(today.addDays(-30), QTime(8, 0, 0));
    auto key = [&](const QString& prefix, qint64 serial) {
        return prefix + keyBase.addSecs(serial / 1000).toString(QStringLiteral("yyMMddHHmmss")) +
               QStringLiteral("%1").arg(serial % 1000, 3, 10, QLatin1Char('0'));
    };
    QHash<int, int> yearSerial;
    qint64 detailsLeft = o.details;
    qint64 detailSerial = 0;
    qint64 lendSerial = 0;
    qint64 done = 0;
    for (qint64 i = 0; i < o.archives; ++i) {
        const int leaf = f.pick(int(leaves.size()));
        const int year = typePaths[leaf][0].toInt();
        const int half = typePaths[leaf][1].toInt();
        const QDate date(year, 1 + half * 6 + f.pick(6), 1 + f.pick(28));
        const int serial = ++yearSerial[year];
        const QString archiveId = QStringLiteral("%1%2").arg(year).arg(serial, 6, 10, QLatin1Char('0'));
        const QString recordId = key(QStringLiteral("A"), i);
        const QString subject = f.pick(kSubjects);
        const QString dept = QString::fromUtf8(kDepartments[typePaths[leaf][2].toInt()]);
        f.bindText(am, 1, recordId);
        f.bindText(am, 2, leaves[leaf]);
        f.bindText(am, 3, archiveId);
        f.bindText(am, 4, QStringLiteral("%1关于%2年度%3的%4").arg(dept).arg(year).arg(subject, f.pick(kKinds)));
        f.bindText(am, 5, Sql::isoDate(date));
        f.bindText(am, 6, f.uniform() < 0.7 ? Sql::isoDate(date.addYears(10 + 20 * f.pick(3))) : QString());
        f.bindText(am, 7, f.pick(kSecrecy));
        f.bindText(am, 8,
                   QStringLiteral("%1区%2排%3柜").arg(QChar('A' + f.pick(4))).arg(1 + f.pick(5)).arg(1 + f.pick(12)));
        f.bindText(am, 9, dept);
        f.bindText(am, 10, QStringLiteral("Q%1").arg(100 + f.pick(20)));
        f.bindText(am, 11, f.uniform() < 0.2 ? QStringLiteral("原件一份,复印件%1份").arg(1 + f.pick(3)) : QString());
        sqlite3_bind_double(am.stmt, 12, double(1 + f.pick(300)));
        f.bindText(am, 13, f.pick(kPeople));
        f.bindText(am, 14, Sql::isoDate(date.addDays(f.pick(30))));
        if (!f.step(am))
            return fail(f.error());

        // Spread the detail items evenly with some variation; the last archive takes what is left.
        const qint64 remainingArchives = o.archives - i;
        qint64 n = detailsLeft / remainingArchives;
        if (remainingArchives > 1 && n > 0)
            n = qMax<qint64>(0, n + f.pick(3) - 1);
        if (remainingArchives == 1)
            n = detailsLeft;
        n = qMin(n, detailsLeft);
        for (qint64 k = 0; k < n; ++k) {
            f.bindText(ad, 1, recordId);
            f.bindText(ad, 2, archiveId + QStringLiteral("-%1").arg(k + 1, 3, 10, QLatin1Char('0')));
            f.bindText(ad, 3, key(QStringLiteral("D"), detailSerial++));
            f.bindText(ad, 4, QStringLiteral("%1%2").arg(subject, f.pick(kPages)));
            f.bindText(ad, 5, Sql::isoDate(date.addDays(-f.pick(20))));
            f.bindText(ad, 6, f.pick(kPeople));
            sqlite3_bind_double(ad.stmt, 7, double(1 + f.pick(40)));
            f.bindText(ad, 8, f.pick(kPeople));
            f.bindText(ad, 9, Sql::isoDate(date));
            if (!f.step(ad))
                return fail(f.error());
        }
        detailsLeft -= n;
        done += 1 + n;

        // About one archive in twenty-five has been lent: most returned, some still out, some overdue.
        if (f.uniform() < 0.04) {
            const QDate lent = today.addDays(-1 - f.pick(400));
            const QDate limit = lent.addDays(15 + f.pick(30));
            const double fate = f.uniform();
            QString returned;
            if (fate < 0.96 && limit < today)
                returned = Sql::isoDate(qMin(today, lent.addDays(1 + f.pick(40))));
            f.bindText(al, 1, recordId);
            f.bindText(al, 2, key(QStringLiteral("L"), lendSerial++));
            f.bindText(al, 3, Sql::isoDate(lent));
            f.bindText(al, 4, f.pick(kPeople));
            f.bindText(al, 5, Sql::isoDate(limit));
            f.bindText(al, 6, returned);
            f.bindText(al, 7, fate > 0.9 ? QStringLiteral("复印%1页").arg(1 + f.pick(20)) : QString());
            f.bindText(al, 8, admin);
            f.bindText(al, 9, Sql::isoDate(lent));
            if (!f.step(al))
                return fail(f.error());
        }
        if (progress && (i % 10000 == 0 || i + 1 == o.archives))
            progress(done, total);
    }
    // Archives that are out now and overdue, so the start-up reminder always has something to say.
    if (o.archives > 0) {
        const QDate lent = today.addDays(-60);
        for (int k = 0; k < qMin<qint64>(3, o.archives); ++k) {
            f.bindText(al, 1, key(QStringLiteral("A"), k));
            f.bindText(al, 2, key(QStringLiteral("L"), lendSerial++));
            f.bindText(al, 3, Sql::isoDate(lent));
            f.bindText(al, 4, f.pick(kPeople));
            f.bindText(al, 5, Sql::isoDate(lent.addDays(30)));
            f.bindText(al, 6, QString());
            f.bindText(al, 7, QString());
            f.bindText(al, 8, admin);
            f.bindText(al, 9, Sql::isoDate(lent));
            if (!f.step(al))
                return fail(f.error());
        }
    }
    if (!tx.commit())
        return fail(QStringLiteral("数据保存过程发生错误"));
    ExecSql(QStringLiteral("ANALYZE"));
    return true;
}

} // namespace DemoData
