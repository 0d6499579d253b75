#include "contacts/csv/CsvText.h"
#include "contacts/csv/ImportFile.h"
#include "contacts/csv/ImportGrid.h"

#include <QStringEncoder>
#include <QTest>

// Reading and writing comma-separated text, and the import grid's moves.
class TstCsvText : public QObject
{
    Q_OBJECT

    static QStringList row(const ImportGrid &grid, int r)
    {
        QStringList cells;
        for (int c = 0; c < grid.columnCount(); ++c)
            cells << grid.cell(r, c);
        return cells;
    }

private slots:
    void parsesLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<QStringList>>("expected");
        QTest::newRow("four fields, one empty")
            << QStringLiteral("张三,男,,13900000000\r\n") << QList<QStringList>{{"张三", "男", "", "13900000000"}};
        QTest::newRow("twelve fields keep ten")
            << QStringLiteral("1,2,3,4,5,6,7,8,9,10,11,12")
            << QList<QStringList>{{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}};
        QTest::newRow("no comma, empty line, trailing comma")
            << QStringLiteral("alone\n\na,b,\na,,\n") << QList<QStringList>{{"alone"}, {}, {"a", "b"}, {"a", ""}};
        QTest::newRow("quoted comma, quote and line break")
            << QStringLiteral("\"北京市,海淀区\",\"say \"\"hi\"\"\",\"two\r\nlines\"\r\nx")
            << QList<QStringList>{{"北京市,海淀区", "say \"hi\"", "two\r\nlines"}, {"x"}};
        QTest::newRow("quotes inside an unquoted field stay")
            << QStringLiteral("a\"b,c") << QList<QStringList>{{"a\"b", "c"}};
        QTest::newRow("quote never closed takes the rest")
            << QStringLiteral("a,\"b,c\nd") << QList<QStringList>{{"a", "b,c\nd"}};
        QTest::newRow("quoted empty field at the end counts")
            << QStringLiteral("a,\"\"") << QList<QStringList>{{"a", ""}};
    }
    void parsesLines()
    {
        QFETCH(QString, text);
        QFETCH(QList<QStringList>, expected);
        QCOMPARE(CsvText::parse(text), expected);
    }

    void writesFieldsQuotedOnlyWhenNeeded_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain") << QStringLiteral("北京 海淀") << QStringLiteral("北京 海淀");
        QTest::newRow("comma") << QStringLiteral("北京市,海淀区") << QStringLiteral("\"北京市,海淀区\"");
        QTest::newRow("quote") << QStringLiteral("a\"b") << QStringLiteral("\"a\"\"b\"");
        QTest::newRow("line break") << QStringLiteral("a\nb") << QStringLiteral("\"a\nb\"");
    }
    void writesFieldsQuotedOnlyWhenNeeded()
    {
        QFETCH(QString, value);
        QFETCH(QString, written);
        QCOMPARE(CsvText::field(value), written);
        QCOMPARE(CsvText::parse(written + QStringLiteral(",x")).value(0), (QStringList{value, "x"}));
    }

    void decodesUtf8OrGb18030_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QString text = QStringLiteral("张三,男");
        QTest::newRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8();
        QTest::newRow("utf-8") << text.toUtf8();
        QStringEncoder gbk("GB18030");
        QTest::newRow("gbk") << QByteArray(gbk.encode(text));
    }
    void decodesUtf8OrGb18030()
    {
        QFETCH(QByteArray, bytes);
        QCOMPARE(CsvText::decode(bytes), QStringLiteral("张三,男"));
    }

    // A header line, quoted fields with commas and quotes, UTF-8 with a mark.
    void readsMailProgramFile()
    {
        QFile file(QFINDTESTDATA("csv/mail_export.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const Result<ImportFile::Lines> read = ImportFile::fromBytes(file.readAll());
        QVERIFY(read.ok());
        QCOMPARE(read->size(), 3);
        QCOMPARE(read->at(0).first(), QStringLiteral("姓名"));
        QCOMPARE(read->at(1), (QStringList{"李四", "女", "北京市,海淀区", "13800000000", "昵称 \"小李\""}));
        QCOMPARE(read->at(2).value(2), QStringLiteral("上海"));
    }

    // A file the address book exported itself loses its id column on
    // opening, so its eleventh field (the online contact) is kept; any
    // other file keeps its first ten fields as they stand.
    void dropsTheIdColumnOfItsOwnExport_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("firstLine");
        const QStringList tenFields{"甲", "男", "地址", "139", "-", "-", "-", "-", "-", "qq:1"};
        QTest::newRow("own export") << QByteArray("20260501080000,甲,男,地址,139,-,-,-,-,-,qq:1\r\n"
                                                  "20260501080001,乙,女,-,-,-,-,-,-,-,-\r\n")
                                    << tenFields;
        QTest::newRow("own export, quoted comma")
            << QByteArray("20260501080000,甲,男,\"北京市,海淀区\",139,-,-,-,-,-,qq:1\r\n")
            << QStringList{"甲", "男", "北京市,海淀区", "139", "-", "-", "-", "-", "-", "qq:1"};
        QTest::newRow("own export, empty line between")
            << QByteArray("20260501080000,甲,男,地址,139,-,-,-,-,-,qq:1\r\n\r\n"
                          "20260501080001,乙,女,-,-,-,-,-,-,-,-\r\n")
            << tenFields;
        QTest::newRow("eleven fields, first no id")
            << QByteArray("2026050108000,甲,男,地址,139,-,-,-,-,-,qq:1\r\n")
            << QStringList{"2026050108000", "甲", "男", "地址", "139", "-", "-", "-", "-", "-"};
        QTest::newRow("one line of another form")
            << QByteArray("20260501080000,甲,男,地址,139,-,-,-,-,-,qq:1\r\n乙,女\r\n")
            << QStringList{"20260501080000", "甲", "男", "地址", "139", "-", "-", "-", "-", "-"};
        QTest::newRow("id, then ten fields and more")
            << QByteArray("20260501080000,甲,男,地址,139,-,-,-,-,-,qq:1,x\r\n")
            << QStringList{"20260501080000", "甲", "男", "地址", "139", "-", "-", "-", "-", "-"};
        QTest::newRow("id and fewer fields")
            << QByteArray("20260501080000,甲,男\r\n") << QStringList{"20260501080000", "甲", "男"};
    }
    void dropsTheIdColumnOfItsOwnExport()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, firstLine);
        const Result<ImportFile::Lines> read = ImportFile::fromBytes(CsvText::encodeGbk(QString::fromUtf8(bytes)));
        QVERIFY(read.ok());
        QCOMPARE(read->first(), firstLine);
        for (const QStringList &line : *read)
            QVERIFY(line.size() <= CsvText::kMaxFields);
    }

    void refusesBinaryFile()
    {
        const Result<ImportFile::Lines> read = ImportFile::fromBytes(QByteArray("PK\x03\x04\0\0\xff\xfe", 8));
        QVERIFY(!read.ok());
        QVERIFY(read.valueOr({}).isEmpty());
    }

    // Files that cannot be address book exports are refused with a message
    // naming why, without reading them whole.
    void refusesUnfitFiles_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("says");
        // A device has no size: reading it to the end would never stop.
        QTest::newRow("endless device") << "/dev/zero" << QStringLiteral("文件太大");
        QTest::newRow("missing") << "/no-such-folder/a.csv" << QStringLiteral("无法打开文件“a.csv”");
        QTest::newRow("a folder") << "/tmp" << QStringLiteral("无法打开文件“tmp”");
    }
    void refusesUnfitFiles()
    {
        QFETCH(QString, path);
        QFETCH(QString, says);
        const Result<ImportFile::Lines> read = ImportFile::read(path);
        QVERIFY2(read.error().startsWith(says), qPrintable(read.error()));
        QVERIFY(read.valueOr({}).isEmpty());
    }

    void openFillsHeaderAndLineNumbers()
    {
        ImportGrid grid;
        grid.open({{"a", "b"}, {}});
        QCOMPARE(grid.rowCount(), 3);
        QCOMPARE(row(grid, 0), (QStringList{"", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
        QCOMPARE(row(grid, 1).mid(0, 4), (QStringList{"1", "a", "b", ""}));
        QCOMPARE(row(grid, 2).mid(0, 2), (QStringList{"2", ""}));
    }

    void swapsColumnsAndRows()
    {
        ImportGrid grid;
        grid.open({{"a", "b"}, {"c", "d"}});
        grid.toggleSwap(ImportGrid::Swap::Columns);
        QVERIFY(!grid.click(1, 1));
        QVERIFY(grid.click(2, 2));
        QCOMPARE(grid.swapMode(), ImportGrid::Swap::None);
        QCOMPARE(grid.fields(1).mid(0, 2), (QStringList{"b", "a"}));
        QCOMPARE(grid.cell(0, 1), QStringLiteral("1")); // header untouched
        grid.toggleSwap(ImportGrid::Swap::Rows);
        grid.click(1, 5);
        QVERIFY(grid.click(2, 3));
        QCOMPARE(row(grid, 1).mid(0, 3), (QStringList{"1", "d", "c"})); // line numbers stay
        QCOMPARE(row(grid, 2).mid(0, 3), (QStringList{"2", "b", "a"}));
    }

    void swapEnteredAndLeftChangesNothing()
    {
        ImportGrid grid;
        grid.open({{"a", "b"}});
        grid.toggleSwap(ImportGrid::Swap::Columns);
        grid.click(1, 1);
        grid.toggleSwap(ImportGrid::Swap::Columns);
        QCOMPARE(grid.swapMode(), ImportGrid::Swap::None);
        QVERIFY(!grid.hasPick());
        QVERIFY(!grid.click(1, 2));
        QCOMPARE(grid.fields(1).mid(0, 2), (QStringList{"a", "b"}));
    }

    void deletesColumnAndRowWithTheirNumbers()
    {
        ImportGrid grid;
        grid.open({{"id1", "张三"}, {"id2", "李四"}, {"id3", "王五"}});
        grid.deleteColumn(1);
        QCOMPARE(grid.columnCount(), 10);
        QCOMPARE(grid.cell(0, 1), QStringLiteral("2"));
        QCOMPARE(grid.fields(1).first(), QStringLiteral("张三"));
        grid.deleteRow(2);
        QCOMPARE(grid.rowCount(), 3);
        QCOMPARE(row(grid, 2).mid(0, 2), (QStringList{"3", "王五"}));
        grid.deleteColumn(0); // the line numbers are not data
        QCOMPARE(grid.columnCount(), 10);
    }
};

QTEST_APPLESS_MAIN(TstCsvText)
#include "tst_csv_text.moc"
