#pragma once

#include "LetterRows.h"

#include <QAbstractListModel>
#include <QImage>

namespace Letters {

// The two pictures of imType, 12 x 13: a small framed page (not picked) and a green tick (picked).
inline constexpr int imTypeWidth = 12;
inline constexpr int imTypeHeight = 13;
inline constexpr int imTypePage = 0;
inline constexpr int imTypeTick = 1;
QImage imTypePicture(int index);

inline constexpr int LetterRowHeight = 22;

// vstGroup: a flat list over GroupNodeData; text, picture and hint come from the record.
class TGroupModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Roles { IdRole = Qt::UserRole + 1, ClassIdRole, PickedRole };

    explicit TGroupModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // One model reset for the whole class; every row starts not picked.
    void SetRows(GroupRows rows);
    const GroupRows &Rows() const { return m_rows; }
    const GroupNodeData *Record(const QModelIndex &index) const;
    // Inverts Picked; false when the index names no row.
    bool Toggle(const QModelIndex &index);

private:
    GroupRows m_rows;
    QImage m_pictures[2];
};

// vstTemplate: a flat list over TemplateNodeData showing the titles.
class TTemplateModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Roles { IdRole = Qt::UserRole + 1, TextRole };

    explicit TTemplateModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    void SetRows(TemplateRows rows);
    const TemplateRows &Rows() const { return m_rows; }
    const TemplateNodeData *Record(const QModelIndex &index) const;

private:
    TemplateRows m_rows;
};

} // namespace Letters
