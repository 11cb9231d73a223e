#include "common/Password.h"

#include <QtTest>

// Passwords are stored as Argon2id hash strings of the trimmed text; older plain values still compare.
class TestPassword : public QObject
{
    Q_OBJECT

private slots:
    void verify_data()
    {
        QTest::addColumn<QString>("stored"); // typed password to hash, or "plain:" + a stored plain value
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("matches");
        QTest::newRow("same") << "abc123"
                              << "abc123" << true;
        QTest::newRow("blanks around") << " abc "
                                       << "abc  " << true;
        QTest::newRow("case matters") << "Abc"
                                      << "abc" << false;
        QTest::newRow("one more character") << "abc"
                                            << "abcd" << false;
        QTest::newRow("chinese") << "口令一"
                                 << "口令一" << true;
        QTest::newRow("injection") << "secret"
                                   << "' OR '1'='1" << false;
        QTest::newRow("plain kept") << "plain:054"
                                    << "054" << true;
        QTest::newRow("plain wrong") << "plain:054"
                                     << "055" << false;
        QTest::newRow("plain prefix") << "plain:0540"
                                      << "054" << false;
    }
    void verify()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, matches);
        const QString value = stored.startsWith(QLatin1String("plain:")) ? stored.mid(6) : Password::hash(stored);
        QVERIFY(!value.isEmpty());
        QCOMPARE(Password::verify(value, typed), matches);
    }

    void hashesAreSaltedArgon2id()
    {
        // The work factors of a real installation (the other cases use the same code with the test factors).
        Password::useMinimalCostForTests(false);
        const QString a = Password::hash(QStringLiteral("pass"));
        Password::useMinimalCostForTests(true);
        const QString b = Password::hash(QStringLiteral("pass"));
        QVERIFY(a.startsWith(QStringLiteral("$argon2id$")));
        QVERIFY(a.contains(QStringLiteral("m=65536")));
        QVERIFY(a != b);
        QVERIFY(Password::isHash(a));
        QVERIFY(!Password::isHash(QStringLiteral("054")));
        QVERIFY(Password::verify(a, QStringLiteral("pass")));
        QVERIFY(Password::verify(b, QStringLiteral(" pass")));
        QVERIFY(a.size() <= 128); // USE_PASSWORD holds it
    }

    void initTestCase() { Password::useMinimalCostForTests(true); }
};

QTEST_GUILESS_MAIN(TestPassword)
#include "tst_password.moc"
