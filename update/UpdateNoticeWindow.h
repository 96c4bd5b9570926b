#pragma once

#include <QDialog>
#include <QUrl>

struct UpdateNotice;

// A small non-modal window that tells of a newer version; the user reads it when he likes.
class UpdateNoticeWindow : public QDialog
{
    Q_OBJECT
public:
    UpdateNoticeWindow(const UpdateNotice &notice, const QUrl &link, QWidget *parent);
};
