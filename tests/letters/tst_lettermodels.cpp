// The list models behind vstGroup and vstTemplate.
#include "LetterModels.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace Letters;

namespace {

GroupRows threePhrases()
{
    return { { 11, 7, QStringLiteral("一"), false }, { 12, 7, QStringLiteral("二"), true },
        { 13, 7, QStringLiteral("三"), false } };
}

int opaquePixels(const QImage &image, bool green)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() > 128 && (!green || (c.green() > c.red() + 40 && c.green() > c.blue() + 40)))
                ++n;
        }
    return n;
}

} // namespace

class tst_LetterModels : public QObject
{
    Q_OBJECT

private slots:
    void groupRowsStartUnpicked();
    void toggleChangesOnlyThatRow();
    void toggleRefusesForeignOrInvalidIndex();
    void groupResetIsOneReset();
    void pictures();
    void templateRows();
};

void tst_LetterModels::groupRowsStartUnpicked()
{
    TGroupModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.SetRows(threePhrases());
    QCOMPARE(model.rowCount(), 3);
    for (int row = 0; row < 3; ++row)
        QCOMPARE(model.index(row).data(TGroupModel::PickedRole).toBool(), false);
    QCOMPARE(model.index(2).data().toString(), QStringLiteral("三"));
    QCOMPARE(model.index(2).data(Qt::ToolTipRole).toString(), QStringLiteral("三"));
    QCOMPARE(model.index(2).data(TGroupModel::IdRole).toInt(), 13);
    QCOMPARE(model.index(2).data(Qt::SizeHintRole).toSize().height(), LetterRowHeight);
}

void tst_LetterModels::toggleChangesOnlyThatRow()
{
    TGroupModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.SetRows(threePhrases());
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(model.Toggle(model.index(1)));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toModelIndex(), model.index(1));
    QCOMPARE(changed.at(0).at(1).toModelIndex(), model.index(1));
    QCOMPARE(model.Rows().at(1).Picked, true);
    QCOMPARE(model.Rows().at(0).Picked, false);
    const QImage tick = model.index(1).data(Qt::DecorationRole).value<QImage>();
    QCOMPARE(tick, imTypePicture(imTypeTick));
    QVERIFY(model.Toggle(model.index(1)));
    QCOMPARE(model.Rows().at(1).Picked, false);
    QCOMPARE(model.index(1).data(Qt::DecorationRole).value<QImage>(), imTypePicture(imTypePage));
}

void tst_LetterModels::toggleRefusesForeignOrInvalidIndex()
{
    TGroupModel model;
    TGroupModel other;
    model.SetRows(threePhrases());
    other.SetRows(threePhrases());
    QVERIFY(!model.Toggle(QModelIndex()));
    QVERIFY(!model.Toggle(other.index(0)));
    for (const GroupNodeData &row : model.Rows())
        QVERIFY(!row.Picked);
}

void tst_LetterModels::groupResetIsOneReset()
{
    TGroupModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    GroupRows many;
    for (int i = 0; i < 500; ++i)
        many.append({ i, 3, QString::number(i), false });
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserts(&model, &QAbstractItemModel::rowsInserted);
    model.SetRows(many);
    QCOMPARE(resets.count(), 1);
    QCOMPARE(inserts.count(), 0);
    QCOMPARE(model.rowCount(), 500);
    QCOMPARE(model.rowCount(model.index(0)), 0);
}

void tst_LetterModels::pictures()
{
    const QImage page = imTypePicture(imTypePage);
    const QImage tick = imTypePicture(imTypeTick);
    for (const QImage &image : { page, tick })
        QCOMPARE(image.size(), QSize(imTypeWidth, imTypeHeight));
    QVERIFY(page != tick);
    QVERIFY(opaquePixels(page, false) > 30); // a page, not a speck
    QVERIFY(opaquePixels(tick, true) > 10); // mostly green
    QCOMPARE(opaquePixels(page, true), 0);
}

void tst_LetterModels::templateRows()
{
    TTemplateModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.SetRows({ { 5, QStringLiteral("春"), QStringLiteral("第一行\r\n第二行") },
        { 6, QStringLiteral("夏"), QString() } });
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.index(0).data().toString(), QStringLiteral("春"));
    QCOMPARE(model.index(0).data(TTemplateModel::TextRole).toString(), QStringLiteral("第一行\r\n第二行"));
    QCOMPARE(model.Record(model.index(1))->ID, 6);
    QVERIFY(!model.Record(QModelIndex()));
    model.SetRows({});
    QCOMPARE(model.rowCount(), 0);
}

QTEST_MAIN(tst_LetterModels)
#include "tst_lettermodels.moc"
