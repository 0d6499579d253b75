#include "report/ReportModel.h"
#include "report/WmfWriter.h"

#include <QGuiApplication>
#include <QStringDecoder>
#include <QtEndian>
#include <QTest>

using namespace report;

namespace {

constexpr quint16 kCreateFont = 0x02FB;
// A placeable header (22 bytes) and the metafile header (18 bytes) come
// before the first record.
constexpr qsizetype kFirstRecord = 40;
// The face name follows five 16-bit fields and eight single bytes.
constexpr qsizetype kFaceOffset = 18;

// The face name bytes of the first font the metafile creates.
QByteArray firstFaceName(const QByteArray &wmf)
{
    for (qsizetype at = kFirstRecord; at + 6 <= wmf.size();) {
        const auto words = qFromLittleEndian<quint32>(wmf.constData() + at);
        const auto function = qFromLittleEndian<quint16>(wmf.constData() + at + 4);
        if (words < 3)
            break;
        if (function == kCreateFont) {
            const QByteArray params = wmf.mid(at + 6, qsizetype(words) * 2 - 6);
            const QByteArray face = params.mid(kFaceOffset);
            return face.left(face.indexOf('\0'));
        }
        at += qsizetype(words) * 2;
    }
    return {};
}

} // namespace

class TestWmfWriter final : public QObject
{
    Q_OBJECT

private slots:
    void faceNamesAreCutBetweenCharacters_data()
    {
        QTest::addColumn<QString>("face");
        QTest::addColumn<int>("charset");
        QTest::addColumn<QString>("written");
        const QString sixteen = QString(16, QChar(u'黑'));
        const QString a = QStringLiteral("A");
        const QString ab = QStringLiteral("AB");
        QTest::newRow("short chinese name") << "宋体" << kCharsetGb2312 << "宋体";
        QTest::newRow("sixteen two-byte characters") << sixteen << kCharsetGb2312 << sixteen.left(15);
        QTest::newRow("one byte, then two-byte characters") << a + sixteen << kCharsetGb2312 << a + sixteen.left(15);
        QTest::newRow("two bytes, then two-byte characters") << ab + sixteen << kCharsetGb2312 << ab + sixteen.left(14);
        QTest::newRow("western name") << QString(40, QChar(u'x')) << kCharsetAnsi << QString(31, QChar(u'x'));
    }
    void faceNamesAreCutBetweenCharacters()
    {
        QFETCH(QString, face);
        QFETCH(int, charset);
        QFETCH(QString, written);
        WmfWriter writer(QSize(100, 100), 254);
        writer.text(QPoint(10, 10), QStringLiteral("文字"), face, 35, false, false, charset);
        const QByteArray name = firstFaceName(writer.finish());
        QVERIFY(name.size() <= 31);
        QStringDecoder gbk("GBK", QStringConverter::Flag::Stateless);
        const QString decoded = gbk.decode(name);
        QVERIFY(!gbk.hasError());
        QCOMPARE(decoded, written);
    }
};

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    TestWmfWriter test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_wmf_writer.moc"
