#pragma once

#include <QList>
#include <QString>

// The record of one row of vstGroup: a phrase of the listed class and whether the user ticked it.
struct GroupNodeData
{
    qint32 ID = 0;
    qint32 ClassID = 0;
    QString Title;
    bool Picked = false;
};

// The record of one row of vstTemplate: the whole text is kept so previewing needs no query.
struct TemplateNodeData
{
    qint32 ID = 0;
    QString Title; // already cut to TemplateTitleMaxBytes GBK bytes
    QString Text;
};

// One entry of edtQHType and the class id kept beside it in ClassIDs.
struct PhraseClassRow
{
    qint32 ClassID = 0;
    QString Title;
};

using GroupRows = QList<GroupNodeData>;
using TemplateRows = QList<TemplateNodeData>;
using PhraseClassRows = QList<PhraseClassRow>;
