#include "catalogue.h"
#include "failures.h"

#include <QTest>

#include <charconv>
#include <set>

using namespace lists;

namespace {

QString text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

int number(std::string_view digits)
{
    int value = -1;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return result.ptr == digits.data() + digits.size() ? value : -1;
}

} // namespace

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void entries_data();
    void entries();
    void eachKeyOncePerList();
    void ascendingOrder();
    void indicesOutOfRange();
};

// Each entry of the lesson: the rows of its peak, height and mountain and the
// exact texts, trailing blanks included.
void TestCatalogue::entries_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("1 Мусала") << 1 << QList { 4, 7, 4 }
                              << QStringList { "Мусала", "2925", "Рила " };
    QTest::newRow("2 Вихрен") << 2 << QList { 1, 6, 3 }
                              << QStringList { "Вихрен", "2914", "Пирин " };
    QTest::newRow("3 Ботев") << 3 << QList { 0, 5, 7 }
                             << QStringList { "Ботев", "2376", "Стара планина " };
    QTest::newRow("4 Черни връх") << 4 << QList { 7, 4, 1 }
                                  << QStringList { "Черни връх", "2290", "Витоша " };
    QTest::newRow("5 Руен") << 5 << QList { 6, 3, 2 }
                            << QStringList { "Руен", "2251", "Осоговска планина " };
    QTest::newRow("6 Гоцев връх") << 6 << QList { 3, 2, 6 }
                                  << QStringList { "Гоцев връх", "2212", "Славянка (Алиботуш)" };
    QTest::newRow("7 Голям Перелик")
        << 7 << QList { 2, 1, 5 } << QStringList { "Голям Перелик", "2191", "Родопи " };
    QTest::newRow("8 Радомир") << 8 << QList { 5, 0, 0 }
                               << QStringList { "Радомир (Калабак) ", "2029", "Беласица " };
}

void TestCatalogue::entries()
{
    QFETCH(int, key);
    QFETCH(QList<int>, rows);
    QFETCH(QStringList, texts);

    const Catalogue &catalogue = Catalogue::builtIn();
    for (std::int16_t list = 0; list < listCount; ++list) {
        const auto row = std::int16_t(rows[list]);
        QCOMPARE(text(catalogue.displayText(list, row)), texts[list]);
        QCOMPARE(text(catalogue.keyText(list, row)), QString::number(key));
    }
}

void TestCatalogue::eachKeyOncePerList()
{
    const Catalogue &catalogue = Catalogue::builtIn();
    for (std::int16_t list = 0; list < listCount; ++list) {
        std::set<int> keys;
        for (std::int16_t row = 0; row < rowCount; ++row)
            keys.insert(number(catalogue.keyText(list, row)));
        QCOMPARE(keys, (std::set { 1, 2, 3, 4, 5, 6, 7, 8 }));
    }
}

void TestCatalogue::ascendingOrder()
{
    const Catalogue &catalogue = Catalogue::builtIn();
    for (std::int16_t row = 1; row < rowCount; ++row) {
        // UTF-8 keeps the order of the code points, and the Bulgarian alphabet
        // is in code point order.
        QVERIFY(catalogue.displayText(0, row - 1) < catalogue.displayText(0, row));
        QVERIFY(catalogue.displayText(2, row - 1) < catalogue.displayText(2, row));
        QVERIFY(number(catalogue.displayText(1, row - 1)) < number(catalogue.displayText(1, row)));
    }
}

void TestCatalogue::indicesOutOfRange()
{
    const Catalogue &catalogue = Catalogue::builtIn();
    QVERIFY_THROWS_EXCEPTION(ListIndexError, catalogue.displayText(3, 0));
    QVERIFY_THROWS_EXCEPTION(ListIndexError, catalogue.displayText(-1, 0));
    QVERIFY_THROWS_EXCEPTION(ListIndexError, catalogue.keyText(0, 8));
    QVERIFY_THROWS_EXCEPTION(ListIndexError, catalogue.keyText(0, -1));
}

QTEST_APPLESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
