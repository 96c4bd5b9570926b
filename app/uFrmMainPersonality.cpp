// The window side of the page "个性情书": the forms of the four personality pages and the button
// that turns them into a letter. The letter texts and the report's sums live in letters/.
#include "uFrmMain.h"

#include "Anchors.h"
#include "EditEx.h"
#include "MsgBox.h"
#include "Personality.h"
#include "PlumaretApplication.h"
#include "Statistics.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <algorithm>
#include <initializer_list>
#include <utility>

using namespace Personality;

namespace {

// The page control's design size; the forms are drawn for it and text fields grow with it.
constexpr QSize PersonalityDesign(380, 166);
constexpr int FormLeft = 8;
constexpr int FormTop = 8;
constexpr int RowHeight = 22;
constexpr int RowStep = 28;
constexpr int LabelGap = 6;
constexpr int TextFieldRight = 370; // right end of a text field at the design size
constexpr int NumberFieldWidth = 50;
constexpr int NumberRowStep = 26;
constexpr int NumberColumnGap = 16;

QLabel *formLabel(QWidget *page, const QString &text)
{
    auto *label = new QLabel(text, page);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

int textWidth(const QWidget *w, const QString &text)
{
    return QFontMetrics(w->font()).horizontalAdvance(text) + 2;
}

} // namespace

void TfrmMain::setupPersonality()
{
    // Turned to before the forms exist, so that the turn has nothing to lay out.
    pgPersonality->setCurrentIndex(ppRevolution);

    const auto textField = [](QWidget *page, const char *name) {
        auto *edit = new QLineEdit(page);
        edit->setObjectName(QLatin1String(name));
        return edit;
    };

    // Pages 0 and 2: one field per row, the label on its left; the fields start behind the
    // page's widest label and reach to the right.
    const auto simpleForm = [&](int pageIndex,
                                std::initializer_list<std::pair<QLineEdit **, const char *>> rows,
                                std::initializer_list<const char *> names) {
        QWidget *page = pgPersonality->widget(pageIndex);
        QList<QLabel *> labels;
        int labelWidth = 0;
        for (const auto &row : rows) {
            QLabel *label = formLabel(page, QString::fromUtf8(row.second));
            labels << label;
            labelWidth = std::max(labelWidth, textWidth(label, label->text()));
        }
        const int fieldLeft = FormLeft + labelWidth + LabelGap;
        int y = FormTop;
        int i = 0;
        auto name = names.begin();
        for (const auto &row : rows) {
            QLineEdit *edit = textField(page, *name++);
            *row.first = edit;
            labels.at(i)->setBuddy(edit);
            Anchor(labels.at(i), QRect(FormLeft, y, labelWidth, RowHeight), pgPersonality, PersonalityDesign);
            Anchor(edit, QRect(fieldLeft, y, TextFieldRight - fieldLeft, RowHeight), pgPersonality,
                PersonalityDesign, Qt::Horizontal);
            y += RowStep;
            ++i;
        }
    };

    simpleForm(ppBold,
        { { &edtHair, "形容一下她的头发" }, { &edtEye, "描述一下她的眼睛" }, { &edtSex, "她最性感的部位是" },
            { &edtCharacter, "描述一下她的性格" } },
        { "edtHair", "edtEye", "edtSex", "edtCharacter" });
    simpleForm(ppSpring,
        { { &edtShe, "只要一想到她就像" }, { &edtLM, "你们认为最浪温的地方" },
            { &edtWL, "你们认识最无聊的地方" }, { &edtDY, "如果去看电影的话会看" } },
        { "edtShe", "edtLM", "edtWL", "edtDY" });

    // Page 1: the first field sits inside its sentence, "她有一双 … 眼睛".
    {
        QWidget *page = pgPersonality->widget(ppInvincible);
        QLabel *before = formLabel(page, QStringLiteral("她有一双"));
        QLabel *after = formLabel(page, QStringLiteral("眼睛"));
        QLabel *beautiful = formLabel(page, QStringLiteral("美丽的东西都应该"));
        QLabel *flower = formLabel(page, QStringLiteral("若她是一朵花，愿她"));
        const int labelWidth = std::max({ textWidth(before, before->text()),
            textWidth(beautiful, beautiful->text()), textWidth(flower, flower->text()) });
        const int fieldLeft = FormLeft + labelWidth + LabelGap;
        const int afterWidth = textWidth(after, after->text());
        edtEye2 = textField(page, "edtEye2");
        edtBeautiful = textField(page, "edtBeautiful");
        edtFlower = textField(page, "edtFlower");
        before->setBuddy(edtEye2);
        beautiful->setBuddy(edtBeautiful);
        flower->setBuddy(edtFlower);
        const int eyeWidth = TextFieldRight - fieldLeft - LabelGap - afterWidth;
        Anchor(before, QRect(FormLeft, FormTop, labelWidth, RowHeight), pgPersonality, PersonalityDesign);
        Anchor(edtEye2, QRect(fieldLeft, FormTop, eyeWidth, RowHeight), pgPersonality, PersonalityDesign);
        Anchor(after, QRect(fieldLeft + eyeWidth + LabelGap, FormTop, afterWidth, RowHeight), pgPersonality,
            PersonalityDesign);
        Anchor(beautiful, QRect(FormLeft, FormTop + RowStep, labelWidth, RowHeight), pgPersonality,
            PersonalityDesign);
        Anchor(edtBeautiful, QRect(fieldLeft, FormTop + RowStep, TextFieldRight - fieldLeft, RowHeight),
            pgPersonality, PersonalityDesign, Qt::Horizontal);
        Anchor(flower, QRect(FormLeft, FormTop + 2 * RowStep, labelWidth, RowHeight), pgPersonality,
            PersonalityDesign);
        Anchor(edtFlower, QRect(fieldLeft, FormTop + 2 * RowStep, TextFieldRight - fieldLeft, RowHeight),
            pgPersonality, PersonalityDesign, Qt::Horizontal);
    }

    // Page 3: nine number fields, row by row, left field before right field.
    {
        QWidget *page = pgPersonality->widget(ppRevolution);
        const std::pair<TEditEx **, const char *> fields[] = {
            { &edtDays, "你们认识的天数" },
            { &edtTelCount, "你们通电话的次数" },
            { &edtCallSheCount, "你打她电话的次数" },
            { &edtCallMax, "最长通话时间(分)" },
            { &edtCallMin, "最短通话时间(分)" },
            { &edtYHCount, "你们约会的次数" },
            { &edtYHZD, "你约她的次数" },
            { &edtYHMax, "最长约会时间(分)" },
            { &edtYHMin, "最短约会时间(分)" },
        };
        const char *const names[] = { "edtDays", "edtTelCount", "edtCallSheCount", "edtCallMax", "edtCallMin",
            "edtYHCount", "edtYHZD", "edtYHMax", "edtYHMin" };
        QList<QLabel *> labels;
        int labelWidth[2] = { 0, 0 };
        for (int i = 0; i < 9; ++i) {
            QLabel *label = formLabel(page, QString::fromUtf8(fields[i].second));
            labels << label;
            labelWidth[i % 2] = std::max(labelWidth[i % 2], textWidth(label, label->text()));
        }
        const int fieldLeft[2] = { FormLeft + labelWidth[0] + LabelGap,
            FormLeft + labelWidth[0] + LabelGap + NumberFieldWidth + NumberColumnGap + labelWidth[1]
                + LabelGap };
        const int labelLeft[2] = { FormLeft, fieldLeft[0] + NumberFieldWidth + NumberColumnGap };
        for (int i = 0; i < 9; ++i) {
            const int column = i % 2;
            const int y = FormTop + (i / 2) * NumberRowStep;
            auto *edit = new TEditEx(page);
            edit->setObjectName(QLatin1String(names[i]));
            edit->ValueSetting()->setValueType(vtFloat);
            edit->ValueSetting()->setDecimalPlaces(0);
            edit->setText(QStringLiteral("0"));
            *fields[i].first = edit;
            labels.at(i)->setBuddy(edit);
            labels.at(i)->setGeometry(labelLeft[column], y, labelWidth[column], RowHeight);
            edit->setGeometry(fieldLeft[column], y, NumberFieldWidth, RowHeight);
        }
    }

    connect(btnMakeLetter, &QPushButton::clicked, this, Guarded([this] { btnMakeLetterClick(); }));
}

bool TfrmMain::IsEditFilled(QLineEdit *edit)
{
    if (!TrimBlanks(edit->text()).isEmpty())
        return true;
    MsgBox(QStringLiteral("必须将内容先填完整"), QString(), mbkInformation);
    // isVisible() is only true when every parent is shown as well.
    if (edit->isVisible() && edit->isEnabled() && edit->focusPolicy() != Qt::NoFocus)
        edit->setFocus(Qt::OtherFocusReason);
    return false;
}

void TfrmMain::btnMakeLetterClick()
{
    const int page = pgPersonality->currentIndex();
    QList<QLineEdit *> fields;
    switch (page) {
    case ppBold:
        fields = { edtHair, edtEye, edtSex, edtCharacter };
        break;
    case ppInvincible:
        fields = { edtEye2, edtBeautiful, edtFlower };
        break;
    case ppSpring:
        fields = { edtShe, edtLM, edtWL, edtDY };
        break;
    case ppRevolution: {
        Statistics::TStatisticsInput in;
        in.daysText = edtDays->text();
        in.telCountText = edtTelCount->text();
        in.callSheCountText = edtCallSheCount->text();
        in.callMaxText = edtCallMax->text();
        in.callMinText = edtCallMin->text();
        in.yhCountText = edtYHCount->text();
        in.yhzdText = edtYHZD->text();
        in.yhMaxText = edtYHMax->text();
        in.yhMinText = edtYHMin->text();
        in.days = edtDays->ValueSetting()->FloatValue();
        in.telCount = edtTelCount->ValueSetting()->FloatValue();
        in.callSheCount = edtCallSheCount->ValueSetting()->FloatValue();
        in.yhCount = edtYHCount->ValueSetting()->FloatValue();
        in.yhzd = edtYHZD->ValueSetting()->FloatValue();
        const Statistics::TStatisticsRefusal refusal = Statistics::CheckStatistics(in);
        if (refusal != Statistics::srNone) {
            TEditEx *offending = refusal == Statistics::srZeroDays ? edtDays
                : refusal == Statistics::srZeroCalls               ? edtTelCount
                                                                   : edtYHCount;
            MsgBox(Statistics::RefusalMessage(refusal), QString(), mbkInformation);
            if (offending->isVisible() && offending->isEnabled())
                offending->setFocus(Qt::OtherFocusReason);
            return;
        }
        edtPersonality->setPlainText(Statistics::MakeStatisticsLetter(in));
        return;
    }
    default:
        return;
    }

    for (QLineEdit *edit : fields)
        if (!IsEditFilled(edit))
            return;
    QStringList texts;
    for (QLineEdit *edit : fields)
        texts << edit->text();
    edtPersonality->setPlainText(MakeLetter(page, texts));
}
