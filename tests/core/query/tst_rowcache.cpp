#include "query/RowCache.h"

#include <QtTest>

// The segment cache alone, on a made-up source of rows.
class TestRowCache : public QObject
{
    Q_OBJECT

    static RowCache::Fetch source(int total, QList<int>* offsets, bool* failing = nullptr)
    {
        return [=](int offset, int limit, QList<RowCache::Row>* rows) {
            offsets->append(offset);
            if (failing && *failing)
                return false;
            for (int i = offset; i < qMin(total, offset + limit); ++i)
                rows->append({i, QStringLiteral("row %1").arg(i)});
            return true;
        };
    }

private slots:
    void readsOnlyTheSegmentAsked_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("offset");
        QTest::newRow("first") << 0 << 0;
        QTest::newRow("end of first segment") << 9 << 0;
        QTest::newRow("second") << 10 << 10;
        QTest::newRow("far") << 995 << 990;
        QTest::newRow("last row") << 999 << 990;
    }
    void readsOnlyTheSegmentAsked()
    {
        QFETCH(int, index);
        QFETCH(int, offset);
        QList<int> offsets;
        RowCache cache(10, 4);
        cache.setFetch(source(1000, &offsets));
        const RowCache::Row* r = cache.row(index);
        QVERIFY(r);
        QCOMPARE(r->at(0).toInt(), index);
        QCOMPARE(offsets, QList<int>{offset});
        QVERIFY(cache.isCached(index));
        cache.row(index); // a second read costs nothing
        QCOMPARE(offsets.size(), 1);
    }

    void pastTheEndAndNegative()
    {
        QList<int> offsets;
        RowCache cache(10, 4);
        cache.setFetch(source(25, &offsets));
        QVERIFY(cache.row(24));
        QVERIFY(!cache.row(25));
        QVERIFY(!cache.row(29));
        QVERIFY(!cache.row(-1));
        QVERIFY(!cache.row(1000));
    }

    void keepsABoundedNumberOfSegments()
    {
        QList<int> offsets;
        RowCache cache(10, 3);
        cache.setFetch(source(1000, &offsets));
        for (int i = 0; i < 1000; ++i)
            QCOMPARE(cache.row(i)->at(0).toInt(), i);
        QCOMPARE(cache.cachedSegments(), 3);
        QCOMPARE(offsets.size(), 100);
    }

    void evictsTheLeastRecentlyUsed()
    {
        QList<int> offsets;
        RowCache cache(10, 2);
        cache.setFetch(source(100, &offsets));
        cache.row(0);  // segment 0
        cache.row(10); // segment 1
        cache.row(0);  // segment 0 used again
        cache.row(20); // evicts segment 1
        QVERIFY(cache.isCached(0));
        QVERIFY(!cache.isCached(10));
        QVERIFY(cache.isCached(20));
    }

    void failedReadIsRetried()
    {
        QList<int> offsets;
        bool failing = true;
        RowCache cache(10, 2);
        cache.setFetch(source(100, &offsets, &failing));
        QVERIFY(!cache.row(5));
        QVERIFY(!cache.isCached(5));
        failing = false;
        QVERIFY(cache.row(5));
        QCOMPARE(offsets.size(), 2);
    }

    void updateAndClear()
    {
        QList<int> offsets;
        RowCache cache(10, 2);
        cache.setFetch(source(100, &offsets));
        cache.row(3);
        cache.update(3, {3, QStringLiteral("changed")});
        QCOMPARE(cache.row(3)->at(1).toString(), QStringLiteral("changed"));
        cache.update(50, {50, QStringLiteral("not cached")}); // ignored
        QVERIFY(!cache.isCached(50));
        cache.clear();
        QCOMPARE(cache.cachedSegments(), 0);
        QCOMPARE(cache.row(3)->at(1).toString(), QStringLiteral("row 3"));
    }
};

QTEST_GUILESS_MAIN(TestRowCache)
#include "tst_rowcache.moc"
