#include "search/core/PinyinReading.h"

#include <QTest>

class TstPinyinReading : public QObject
{
    Q_OBJECT

private slots:
    void readsNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("spaced");
        QTest::addColumn<QString>("full");
        QTest::addColumn<QString>("initials");
        QTest::newRow("plain") << u"张三"_qs << u"zhang san"_qs << u"zhangsan"_qs << u"zs"_qs;
        QTest::newRow("empty") << QString() << QString() << QString() << QString();
        QTest::newRow("blank") << u"  "_qs << QString() << QString() << QString();
        // Surnames read as surnames, whatever the character's common reading.
        QTest::newRow("单") << u"单田芳"_qs << u"shan tian fang"_qs << u"shantianfang"_qs << u"stf"_qs;
        QTest::newRow("曾") << u"曾国藩"_qs << u"zeng guo fan"_qs << u"zengguofan"_qs << u"zgf"_qs;
        QTest::newRow("解") << u"解缙"_qs << u"xie jin"_qs << u"xiejin"_qs << u"xj"_qs;
        QTest::newRow("仇") << u"仇英"_qs << u"qiu ying"_qs << u"qiuying"_qs << u"qy"_qs;
        QTest::newRow("朴") << u"朴志成"_qs << u"piao zhi cheng"_qs << u"piaozhicheng"_qs << u"pzc"_qs;
        QTest::newRow("区") << u"区伟"_qs << u"ou wei"_qs << u"ouwei"_qs << u"ow"_qs;
        QTest::newRow("查") << u"查良镛"_qs << u"zha liang yong"_qs << u"zhaliangyong"_qs << u"zly"_qs;
        QTest::newRow("乐") << u"乐嘉"_qs << u"yue jia"_qs << u"yuejia"_qs << u"yj"_qs;
        QTest::newRow("盖") << u"盖聂"_qs << u"ge nie"_qs << u"genie"_qs << u"gn"_qs;
        QTest::newRow("尉迟") << u"尉迟恭"_qs << u"yu chi gong"_qs << u"yuchigong"_qs << u"ycg"_qs;
        QTest::newRow("万俟") << u"万俟卨"_qs << u"mo qi xie"_qs << u"moqixie"_qs << u"mqx"_qs;
        QTest::newRow("单于 before 单") << u"单于清"_qs << u"chan yu qing"_qs << u"chanyuqing"_qs << u"cyq"_qs;
        QTest::newRow("长孙") << u"长孙无忌"_qs << u"zhang sun wu ji"_qs << u"zhangsunwuji"_qs << u"zswj"_qs;
        QTest::newRow("澹台") << u"澹台明"_qs << u"tan tai ming"_qs << u"tantaiming"_qs << u"ttm"_qs;
        // Only the surname: the same character later in the name reads as usual.
        QTest::newRow("乐 twice") << u"乐乐"_qs << u"yue le"_qs << u"yuele"_qs << u"yl"_qs;
        QTest::newRow("ü as v") << u"吕女"_qs << u"lv nv"_qs << u"lvnv"_qs << u"ln"_qs;
        // Latin letters and digits stay, lower-cased, each run a word.
        QTest::newRow("mixed") << u"Tom张3号"_qs << u"tom zhang 3 hao"_qs << u"tomzhang3hao"_qs << u"tz3h"_qs;
        QTest::newRow("accented") << u"José李"_qs << u"jose li"_qs << u"joseli"_qs << u"jl"_qs;
        QTest::newRow("punctuation") << u"王-小 明·A"_qs << u"wang xiao ming a"_qs << u"wangxiaominga"_qs << u"wxma"_qs;
        QTest::newRow("surrounding blanks") << u" 曾静 "_qs << u"zeng jing"_qs << u"zengjing"_qs << u"zj"_qs;
    }
    void readsNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, spaced);
        QFETCH(QString, full);
        QFETCH(QString, initials);
        const PinyinReading reading = PinyinReading::ofName(name);
        QCOMPARE(reading.spaced(), spaced);
        QCOMPARE(reading.full(), full);
        QCOMPARE(reading.initials(), initials);
        QCOMPARE(PinyinReading::initialsOf(spaced), initials);
    }

    // A unit's name has no surname: 单位 is dan wei, 乐山 le shan.
    void readsTextWithoutSurnames_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("spaced");
        QTest::newRow("单") << u"单位食堂"_qs << u"dan wei shi tang"_qs;
        QTest::newRow("乐") << u"乐山公司"_qs << u"le shan gong si"_qs;
        QTest::newRow("3M") << u"3M中国"_qs << u"3 m zhong guo"_qs;
    }
    void readsTextWithoutSurnames()
    {
        QFETCH(QString, text);
        QFETCH(QString, spaced);
        QCOMPARE(PinyinReading::ofText(text).spaced(), spaced);
    }

    void queries_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("query");
        QTest::newRow("lower") << u"zs"_qs << u"zs"_qs;
        QTest::newRow("mixed case") << u"ZhangSan"_qs << u"zhangsan"_qs;
        QTest::newRow("blanks") << u" zhang san "_qs << u"zhangsan"_qs;
        QTest::newRow("apostrophe") << u"xi'an"_qs << u"xian"_qs;
        QTest::newRow("digits") << u"Tom3"_qs << u"tom3"_qs;
        QTest::newRow("chinese") << u"张s"_qs << QString();
        QTest::newRow("percent") << u"z%"_qs << QString();
        QTest::newRow("empty") << QString() << QString();
    }
    void queries()
    {
        QFETCH(QString, typed);
        QFETCH(QString, query);
        QCOMPARE(PinyinReading::queryOf(typed), query);
    }

    void matches_data()
    {
        QTest::addColumn<QString>("spaced");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("found");
        const QString zhangsan = u"zhang san"_qs;
        QTest::newRow("initials") << zhangsan << u"zs"_qs << true;
        QTest::newRow("full then cut") << zhangsan << u"zhangs"_qs << true;
        QTest::newRow("full") << zhangsan << u"zhangsan"_qs << true;
        QTest::newRow("typed in capitals") << zhangsan << u"ZhangSan"_qs << true;
        QTest::newRow("cut then full") << zhangsan << u"zsan"_qs << true;
        QTest::newRow("both cut") << zhangsan << u"zhsa"_qs << true;
        QTest::newRow("from the given name") << zhangsan << u"san"_qs << true;
        QTest::newRow("from the second syllable on") << u"zhang san feng"_qs << u"sanf"_qs << true;
        QTest::newRow("a syllable too many") << zhangsan << u"zsf"_qs << false;
        QTest::newRow("one letter") << zhangsan << u"z"_qs << true;
        QTest::newRow("inside a syllable") << zhangsan << u"angsan"_qs << false;
        QTest::newRow("longer than the name") << zhangsan << u"zhangsana"_qs << false;
        QTest::newRow("syllables skipped") << u"zhang xiao san"_qs << u"zs"_qs << false;
        QTest::newRow("wrong order") << zhangsan << u"sz"_qs << false;
        QTest::newRow("chinese text") << zhangsan << u"张"_qs << false;
        QTest::newRow("empty") << zhangsan << QString() << false;
        // A syllable cut where it could also be a whole one: xi an and xian.
        QTest::newRow("split ambiguity") << u"xi an shi"_qs << u"xians"_qs << true;
        QTest::newRow("u for ü") << u"lv bu"_qs << u"lubu"_qs << true;
        QTest::newRow("v for ü") << u"lv bu"_qs << u"lvb"_qs << true;
        QTest::newRow("digits") << u"tom zhang 3"_qs << u"tz3"_qs << true;
        QTest::newRow("latin words") << u"tom lee"_qs << u"tl"_qs << true;
        QTest::newRow("no reading") << QString() << u"z"_qs << false;
    }
    void matches()
    {
        QFETCH(QString, spaced);
        QFETCH(QString, typed);
        QFETCH(bool, found);
        QCOMPARE(PinyinReading::matches(spaced, PinyinReading::queryOf(typed)), found);
    }

    void longQueriesAreRefusedNotOverrun()
    {
        // A unit's name may hold 255 characters.
        const QString spaced = QStringList(255, u"zhang"_qs).join(u' ');
        QVERIFY(PinyinReading::matches(spaced, u"zh"_qs.repeated(255)));
        QVERIFY(PinyinReading::matches(spaced, u"zhang"_qs.repeated(255)));
        QVERIFY(!PinyinReading::matches(spaced, u"zhang"_qs.repeated(255) + u'z'));
        QVERIFY(!PinyinReading::matches(spaced, u"z"_qs.repeated(4096)));
    }
};

QTEST_GUILESS_MAIN(TstPinyinReading)
#include "tst_pinyin_reading.moc"
