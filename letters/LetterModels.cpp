#include "LetterModels.h"

#include <QPainter>
#include <QPainterPath>
#include <QSize>

namespace Letters {

namespace {

QImage drawPage()
{
    QImage image(imTypeWidth, imTypeHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    // A sheet with a folded corner and three text lines, drawn on whole pixels so it stays crisp.
    p.setPen(QColor(0x5a, 0x6e, 0x8c));
    p.setBrush(Qt::white);
    QPolygon sheet;
    sheet << QPoint(1, 0) << QPoint(7, 0) << QPoint(10, 3) << QPoint(10, 12) << QPoint(1, 12);
    p.drawPolygon(sheet);
    p.drawLine(7, 0, 7, 3);
    p.drawLine(7, 3, 10, 3);
    p.setPen(QColor(0xa0, 0xb0, 0xc8));
    for (int y : { 5, 7, 9 })
        p.drawLine(3, y, 8, y);
    return image;
}

QImage drawTick()
{
    QImage image(imTypeWidth, imTypeHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor(0x1e, 0xa0, 0x32), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    QPainterPath tick;
    tick.moveTo(1.5, 7.0);
    tick.lineTo(4.5, 10.5);
    tick.lineTo(10.5, 2.5);
    p.drawPath(tick);
    return image;
}

} // namespace

QImage imTypePicture(int index)
{
    return index == imTypeTick ? drawTick() : drawPage();
}

TGroupModel::TGroupModel(QObject *parent)
    : QAbstractListModel(parent)
{
    m_pictures[imTypePage] = drawPage();
    m_pictures[imTypeTick] = drawTick();
}

int TGroupModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

const GroupNodeData *TGroupModel::Record(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this || index.row() >= m_rows.size())
        return nullptr;
    return &m_rows.at(index.row());
}

QVariant TGroupModel::data(const QModelIndex &index, int role) const
{
    const GroupNodeData *row = Record(index);
    if (!row)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return row->Title;
    case Qt::DecorationRole:
        return m_pictures[row->Picked ? imTypeTick : imTypePage];
    case Qt::SizeHintRole:
        return QSize(-1, LetterRowHeight);
    case IdRole:
        return row->ID;
    case ClassIdRole:
        return row->ClassID;
    case PickedRole:
        return row->Picked;
    default:
        return QVariant();
    }
}

void TGroupModel::SetRows(GroupRows rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    for (GroupNodeData &row : m_rows)
        row.Picked = false;
    endResetModel();
}

bool TGroupModel::Toggle(const QModelIndex &index)
{
    if (!Record(index))
        return false;
    GroupNodeData &row = m_rows[index.row()];
    row.Picked = !row.Picked;
    emit dataChanged(index, index, { Qt::DecorationRole, PickedRole });
    return true;
}

TTemplateModel::TTemplateModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

int TTemplateModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

const TemplateNodeData *TTemplateModel::Record(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this || index.row() >= m_rows.size())
        return nullptr;
    return &m_rows.at(index.row());
}

QVariant TTemplateModel::data(const QModelIndex &index, int role) const
{
    const TemplateNodeData *row = Record(index);
    if (!row)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return row->Title;
    case Qt::SizeHintRole:
        return QSize(-1, LetterRowHeight);
    case IdRole:
        return row->ID;
    case TextRole:
        return row->Text;
    default:
        return QVariant();
    }
}

void TTemplateModel::SetRows(TemplateRows rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

} // namespace Letters
