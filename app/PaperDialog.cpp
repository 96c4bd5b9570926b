#include "PaperDialog.h"

#include "LetterExport.h"
#include "LetterPaper.h"
#include "LetterPrint.h"
#include "PaperChoices.h"
#include "PaperFonts.h"
#include "PaperOutputDialogs.h"
#include "PaperPreview.h"
#include "PlumaretError.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

using namespace Paper;

namespace {

// What the user typed as a name may hold characters no file name can; they are left out.
QString fileNamePart(const QString &name)
{
    QString part;
    for (const QChar c : name.trimmed()) {
        if (c.category() != QChar::Other_Control && !QStringLiteral("/\\:*?\"<>|").contains(c))
            part.append(c);
    }
    return part.trimmed();
}

QComboBox *choice(QWidget *parent, const char *name, const QString &accessible)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(accessible);
    return box;
}

} // namespace

TPaperDialog::TPaperDialog(QWidget *parent)
    : QDialog(parent)
    , m_settings(LoadPaperChoices())
    , m_dialogs(std::make_unique<TStandardPaperOutputDialogs>())
{
    setObjectName(QStringLiteral("frmPaper"));
    setWindowTitle(QStringLiteral("信纸与打印"));
    Preview = new TPaperPreview(this);
    Preview->setObjectName(QStringLiteral("Preview"));
    Preview->setAccessibleName(QStringLiteral("信纸预览"));
    Preview->setMinimumSize(300, 380);

    // Typing comes in bursts: the letter is laid out again once the burst pauses for a frame. A closed
    // dialog lays out nothing; SetSource lays the letter out afresh when it opens again.
    m_typing = new QTimer(this);
    m_typing->setSingleShot(true);
    m_typing->setInterval(16);
    connect(m_typing, &QTimer::timeout, this, [this] {
        if (isVisible())
            refresh();
    });

    setupChoices();
    setupButtons();
    showChoices();
    resize(780, 560);
}

TPaperDialog::~TPaperDialog() = default;

void TPaperDialog::setupChoices()
{
    cbPaper = choice(this, "cbPaper", QStringLiteral("信纸"));
    for (TPaperKind kind : { pkRuled, pkGrid, pkPlain, pkFlower })
        cbPaper->addItem(PaperKindLabel(kind), int(kind));
    cbSize = choice(this, "cbSize", QStringLiteral("纸张大小"));
    for (TPaperSize size : { psA4, psA5, psB5, ps16K }) {
        const QSizeF mm = PageSizeMm(size);
        cbSize->addItem(
            QStringLiteral("%1（%2×%3 毫米）").arg(PaperSizeLabel(size)).arg(mm.width()).arg(mm.height()),
            int(size));
    }
    cbFont = choice(this, "cbFont", QStringLiteral("字体"));
    for (const OfferedFont &font : OfferedFonts()) {
        cbFont->addItem(font.label, font.family);
        cbFont->setItemData(cbFont->count() - 1, QFont(font.family), Qt::FontRole);
    }
    cbFont->setEnabled(cbFont->count() > 1);
    edtFontSize = new QSpinBox(this);
    edtFontSize->setObjectName(QStringLiteral("edtFontSize"));
    edtFontSize->setAccessibleName(QStringLiteral("字号"));
    edtFontSize->setRange(MinPointSize, MaxPointSize);
    edtFontSize->setSuffix(QStringLiteral(" 磅"));
    cbInk = choice(this, "cbInk", QStringLiteral("墨色"));
    for (TInk ink : { inkBlack, inkBlue, inkRed })
        cbInk->addItem(InkLabel(ink), int(ink));
    chkHand = new QCheckBox(QStringLiteral("手写效果(&H)"), this);
    chkHand->setObjectName(QStringLiteral("chkHand"));
    chkHand->setAccessibleName(QStringLiteral("手写效果"));

    for (QComboBox *box : { cbPaper, cbSize, cbFont, cbInk })
        connect(box, &QComboBox::activated, this, &TPaperDialog::choicesChanged);
    connect(edtFontSize, &QSpinBox::valueChanged, this, &TPaperDialog::choicesChanged);
    connect(chkHand, &QCheckBox::toggled, this, &TPaperDialog::choicesChanged);
}

void TPaperDialog::setupButtons()
{
    const auto button = [this](const char *name, const QString &caption, const QString &accessible) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAccessibleName(accessible);
        b->setAutoDefault(false);
        return b;
    };
    btnPrint = button("btnPrint", QStringLiteral("打印(&P)..."), QStringLiteral("打印"));
    btnPdf = button("btnPdf", QStringLiteral("导出 PDF(&D)..."), QStringLiteral("导出 PDF"));
    btnImage = button("btnImage", QStringLiteral("导出图片(&I)..."), QStringLiteral("导出图片"));
    auto *imageMenu = new QMenu(btnImage);
    actPngPages = imageMenu->addAction(QStringLiteral("每页一张(&E)..."));
    actPngPages->setObjectName(QStringLiteral("actPngPages"));
    actLongPng = imageMenu->addAction(QStringLiteral("长图(&L)..."));
    actLongPng->setObjectName(QStringLiteral("actLongPng"));
    btnImage->setMenu(imageMenu);
    btnClose = button("btnClose", QStringLiteral("关闭"), QStringLiteral("关闭"));
    connect(btnPrint, &QPushButton::clicked, this, &TPaperDialog::PrintClick);
    connect(btnPdf, &QPushButton::clicked, this, &TPaperDialog::ExportPdfClick);
    connect(actPngPages, &QAction::triggered, this, &TPaperDialog::ExportPngClick);
    connect(actLongPng, &QAction::triggered, this, &TPaperDialog::ExportLongPngClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);

    lblPages = new QLabel(this);
    lblPages->setObjectName(QStringLiteral("lblPages"));
    lblEmpty = new QLabel(QStringLiteral("先写一封信吧"), this);
    lblEmpty->setObjectName(QStringLiteral("lblEmpty"));

    auto *form = new QFormLayout;
    const auto row = [form](const QString &caption, QWidget *field) {
        auto *label = new QLabel(caption);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    row(QStringLiteral("信纸(&Z)："), cbPaper);
    row(QStringLiteral("纸张大小(&S)："), cbSize);
    row(QStringLiteral("字体(&F)："), cbFont);
    row(QStringLiteral("字号(&N)："), edtFontSize);
    row(QStringLiteral("墨色(&M)："), cbInk);
    form->addRow(chkHand);

    auto *side = new QVBoxLayout;
    side->addLayout(form);
    side->addWidget(lblPages);
    side->addStretch(1);
    side->addWidget(lblEmpty);
    for (QPushButton *b : { btnPrint, btnPdf, btnImage })
        side->addWidget(b);
    side->addSpacing(12);
    side->addWidget(btnClose);

    auto *outer = new QHBoxLayout(this);
    outer->addWidget(Preview, 1);
    outer->addLayout(side);
    setTabOrder(Preview, cbPaper);
}

void TPaperDialog::showChoices()
{
    const QSignalBlocker b1(edtFontSize), b2(chkHand);
    cbPaper->setCurrentIndex(cbPaper->findData(int(m_settings.kind)));
    cbSize->setCurrentIndex(cbSize->findData(int(m_settings.size)));
    cbFont->setCurrentIndex(cbFont->findData(ResolveFontFamily(m_settings.fontFamily)));
    edtFontSize->setValue(qRound(m_settings.pointSize));
    cbInk->setCurrentIndex(cbInk->findData(int(m_settings.ink)));
    chkHand->setChecked(m_settings.hand);
}

void TPaperDialog::choicesChanged()
{
    m_settings.kind = TPaperKind(cbPaper->currentData().toInt());
    m_settings.size = TPaperSize(cbSize->currentData().toInt());
    if (cbFont->currentIndex() >= 0)
        m_settings.fontFamily = cbFont->currentData().toString();
    m_settings.pointSize = edtFontSize->value();
    m_settings.ink = TInk(cbInk->currentData().toInt());
    m_settings.hand = chkHand->isChecked();
    SavePaperChoices(m_settings);
    refresh();
}

void TPaperDialog::SetSource(QTextEdit *editor)
{
    disconnect(m_sourceChanged);
    m_source = editor;
    if (editor) {
        m_sourceChanged = connect(
            editor->document(), &QTextDocument::contentsChanged, m_typing, qOverload<>(&QTimer::start));
    }
    refresh();
}

void TPaperDialog::SetDialogs(std::unique_ptr<TPaperOutputDialogs> dialogs)
{
    m_dialogs = std::move(dialogs);
}

void TPaperDialog::refresh()
{
    m_typing->stop();
    // The editor's own document stays untouched: the layout reads a copy.
    const std::unique_ptr<QTextDocument> copy(m_source ? m_source->document()->clone() : new QTextDocument);
    m_paper = std::make_shared<const LetterPaper>(*copy, m_settings);
    Preview->SetPaper(m_paper);
    lblPages->setText(QStringLiteral("共 %1 页").arg(m_paper->pageCount()));

    const bool empty = copy->toPlainText().trimmed().isEmpty();
    lblEmpty->setVisible(empty);
    for (QPushButton *b : { btnPrint, btnPdf, btnImage }) {
        b->setEnabled(!empty);
        b->setToolTip(empty ? lblEmpty->text() : QString());
    }
}

QString TPaperDialog::ProposedFileName(const QString &extension) const
{
    const QString name = fileNamePart(AddresseeName ? AddresseeName() : QString());
    const QString base = name.isEmpty() ? QStringLiteral("情书") : QStringLiteral("给%1的信").arg(name);
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
        .filePath(base + extension);
}

void TPaperDialog::exportTo(const QString &extension, const QString &caption, const QString &filter,
    void (*write)(const LetterPaper &, const QString &))
{
    const QString fileName = m_dialogs->SaveFileName(this, caption, ProposedFileName(extension), filter);
    if (fileName.isEmpty())
        return;
    try {
        write(*m_paper, fileName);
    } catch (const EPlumaretError &e) {
        m_dialogs->ShowError(this, e.message());
    }
}

void TPaperDialog::ExportPdfClick()
{
    exportTo(
        QStringLiteral(".pdf"), QStringLiteral("导出 PDF"), QStringLiteral("PDF 文件 (*.pdf)"), ExportPdf);
}

void TPaperDialog::ExportPngClick()
{
    exportTo(QStringLiteral(".png"), QStringLiteral("导出图片（每页一张）"),
        QStringLiteral("PNG 图片 (*.png)"), ExportPng);
}

void TPaperDialog::ExportLongPngClick()
{
    exportTo(QStringLiteral(".png"), QStringLiteral("导出长图"), QStringLiteral("PNG 图片 (*.png)"),
        ExportLongPng);
}

void TPaperDialog::PrintClick()
{
    if (!m_dialogs->HasPrinter()) {
        m_dialogs->ShowInformation(this, QStringLiteral("没有找到打印机，可以先导出 PDF"));
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer, *m_paper);
    if (!m_dialogs->ChoosePrinter(this, printer, m_paper->pageCount()))
        return;
    try {
        PrintLetter(*m_paper, printer);
    } catch (const EPlumaretError &e) {
        m_dialogs->ShowError(this, e.message());
    }
}
