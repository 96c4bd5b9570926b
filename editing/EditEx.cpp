#include "EditEx.h"

#include "EditExNumber.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QProxyStyle>
#include <QScopedValueRollback>
#include <algorithm>

using namespace EditExNumber;

namespace {

// QLineEdit has no caret switch of its own; it takes the caret width from the style at every
// paint, so a zero width hides the caret without touching anything else of the look.
class EditExCaretStyle : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_TextCursorWidth)
            return 0;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

enum : int {
    kSelectAll = 1,
    kCopy = 3,
    kBackspace = 8,
    kEnter = 13,
    kEscape = 27,
    kPaste = 22,
    kCut = 24,
    kUndo = 26,
};

} // namespace

// ---------------------------------------------------------------------------------------------

TValueSetting::TValueSetting(TCustomEditEx *owner)
    : m_owner(owner)
{
    ComputeMaxLength();
}

void TValueSetting::setValueType(TValueType value)
{
    if (value == m_valueType)
        return;
    m_valueType = value;
    m_owner->ApplyValueType();
    // Switching to vtString or vtNumberOnly keeps the text as it is.
    if (value == vtFloat)
        ShowValue(FloatValue());
}

long double TValueSetting::FloatValue() const
{
    QString text = m_owner->text();
    text.remove(u',');
    return ParseNumber(text, m_valueType == vtFloat && m_showThousands);
}

void TValueSetting::setFloatValue(long double value)
{
    if (m_valueType == vtFloat)
        ShowValue(value);
    else
        m_owner->setText(FormatGeneral(value));
    m_owner->setModified(false);
}

void TValueSetting::setShowThousands(bool value)
{
    if (value == m_showThousands)
        return;
    m_showThousands = value;
    ComputeMaxLength();
    BuildFormat();
    ShowValue(FloatValue());
}

void TValueSetting::setDecimalPlaces(quint8 value)
{
    if (value == m_decimalPlaces)
        return;
    m_decimalPlaces = value;
    ComputeMaxLength();
    BuildFormat();
    ShowValue(FloatValue());
}

void TValueSetting::setIntegerLength(quint8 value)
{
    if (value == m_integerLength)
        return;
    m_integerLength = value;
    ComputeMaxLength();
}

void TValueSetting::setHideZeroValue(bool value)
{
    if (value == m_hideZeroValue)
        return;
    m_hideZeroValue = value;
    ShowValue(FloatValue());
}

QString TValueSetting::Format(long double value) const
{
    return FormatFixed(value, m_decimalPlaces, m_showThousands);
}

void TValueSetting::ShowValue(long double value)
{
    if (m_valueType != vtFloat)
        return;
    if (m_hideZeroValue && value == 0)
        m_owner->setText(QString());
    else
        m_owner->setText(Format(value));
}

void TValueSetting::BuildFormat()
{
    m_formatStr = m_showThousands ? QStringLiteral("#,0") : QStringLiteral("0");
    if (m_decimalPlaces > 0)
        m_formatStr += u'.' + QString(m_decimalPlaces, u'0');
}

void TValueSetting::ComputeMaxLength()
{
    int length = m_integerLength;
    if (m_showThousands) {
        length = m_integerLength + m_integerLength / 3;
        if (m_integerLength % 3 == 0)
            --length;
    }
    if (m_decimalPlaces > 0)
        length += m_decimalPlaces + 1;
    m_maxLength = length;
}

// ---------------------------------------------------------------------------------------------

TCustomEditEx::TCustomEditEx(QWidget *parent)
    : QLineEdit(parent)
    , m_valueSetting(std::make_unique<TValueSetting>(this))
    , m_hintTextFont(font())
    , m_hintTextColor(palette().color(QPalette::PlaceholderText))
{
    setAlignment(taLeftJustify);
    connect(this, &QLineEdit::textChanged, this, [this](const QString &text) { m_lastText = text; });
    connect(this, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (!m_ownEdit)
            ForeignEdit(text);
    });
    ApplyValueType();
    UpdateTextRect();
}

TCustomEditEx::~TCustomEditEx()
{
    // The widget must stop using the caret style before the style goes.
    if (m_caretStyle)
        setStyle(nullptr);
}

void TCustomEditEx::setHintTextFont(const QFont &font)
{
    m_hintTextFont = font;
    if (IsBlank(text()) && !IsBlank(m_hintText))
        update();
}

void TCustomEditEx::setHintTextColor(const QColor &color)
{
    m_hintTextColor = color;
    if (IsBlank(text()) && !IsBlank(m_hintText))
        update();
}

void TCustomEditEx::setHintText(const QString &text)
{
    m_hintText = text;
    if (IsBlank(this->text()) && !IsBlank(text))
        update();
}

void TCustomEditEx::setHideCaret(bool value)
{
    if (value == m_hideCaret)
        return;
    m_hideCaret = value;
    if (value) {
        m_caretStyle = std::make_unique<EditExCaretStyle>();
        setStyle(m_caretStyle.get());
    } else {
        setStyle(nullptr);
        m_caretStyle.reset();
    }
    update();
}

void TCustomEditEx::setAlignment(TAlignment value)
{
    m_alignment = value;
    // Without Qt::AlignAbsolute, left and right swap by themselves for right-to-left text.
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (value == taRightJustify)
        horizontal = Qt::AlignRight;
    else if (value == taCenter)
        horizontal = Qt::AlignHCenter;
    QLineEdit::setAlignment(horizontal | Qt::AlignVCenter);
}

void TCustomEditEx::setPaddingWidth(quint16 value)
{
    if (value == m_paddingWidth)
        return;
    m_paddingWidth = value;
    UpdateTextRect();
}

void TCustomEditEx::UpdateTextRect()
{
    // QLineEdit centres its line vertically itself (Qt::AlignVCenter); the inset is a margin.
    setTextMargins(m_paddingWidth, 0, m_paddingWidth, 0);
    update();
}

void TCustomEditEx::ApplyValueType()
{
    const TValueType type = m_valueSetting->ValueType();
    // A drop would put text into a numeric field past its filter.
    setAcceptDrops(type == vtString);
    if (type == vtString)
        setInputMethodHints(Qt::ImhNone);
    else if (type == vtNumberOnly)
        setInputMethodHints(Qt::ImhDigitsOnly);
    else
        setInputMethodHints(Qt::ImhFormattedNumbersOnly);
}

void TCustomEditEx::Beep()
{
    emit beeped();
    QApplication::beep();
}

int TCustomEditEx::KeyChar(const QKeyEvent *event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return kEnter;
    if (key == Qt::Key_Escape)
        return kEscape;
    if (key == Qt::Key_Backspace)
        return (mods & Qt::ControlModifier) ? 127 : kBackspace;
    if ((mods & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
        return key - Qt::Key_A + 1;
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).unicode() >= 32 && text.at(0).unicode() != 127)
        return text.at(0).unicode();
    return 0;
}

void TCustomEditEx::keyPressEvent(QKeyEvent *event)
{
    const TValueType type = m_valueSetting->ValueType();
    if (type == vtString) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    // Whatever a key does here has passed the filter.
    const QScopedValueRollback<bool> own(m_ownEdit, true);
    if (event->matches(QKeySequence::Paste)) {
        if (!isReadOnly())
            Paste();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Copy)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (type == vtFloat && event->key() == Qt::Key_Delete && !isReadOnly()) {
        DeleteKey();
        event->accept();
        return;
    }
    // Alt combinations are menu mnemonics, never characters of the field.
    if ((event->modifiers() & Qt::AltModifier) && !(event->modifiers() & Qt::ControlModifier)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const int key = KeyChar(event);
    if (key == 0) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const bool handOn = type == vtFloat ? FloatKey(key) : NumberOnlyKey(key);
    if (handOn)
        QLineEdit::keyPressEvent(event);
    else
        event->accept();
}

void TCustomEditEx::inputMethodEvent(QInputMethodEvent *event)
{
    const TValueType type = m_valueSetting->ValueType();
    if (type == vtString) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    const QScopedValueRollback<bool> own(m_ownEdit, true);
    // An input method commits whole strings; each character goes through the filter as if typed.
    const QString commit = event->commitString();
    for (const QChar c : commit) {
        if (type == vtFloat)
            FloatKey(c.unicode());
        else if (c.unicode() >= 32 && NumberOnlyKey(c.unicode()))
            insert(QString(c));
    }
    event->accept();
}

bool TCustomEditEx::NumberOnlyKey(int key)
{
    if (key < 32 || (key >= '0' && key <= '9'))
        return true;
    Beep();
    return false;
}

bool TCustomEditEx::FloatKey(int key)
{
    TValueSetting &vs = *m_valueSetting;
    if (key == kSelectAll || key == kCopy || key == kPaste || key == kCut || key == kUndo)
        return true;
    if (isReadOnly()) {
        Beep();
        return false;
    }
    const bool accepted = key == kBackspace || (key >= '0' && key <= '9') || (key == '-' && vs.AppectMinus())
        || (key == '.' && vs.DecimalPlaces() > 0);
    if (!accepted) {
        Beep();
        return false;
    }

    const QString text = this->text();
    const int selLength = int(selectedText().size());
    const int selStart = selLength > 0 ? selectionStart() : cursorPosition();
    const QString left = text.left(selStart);
    const QString right = text.mid(selStart + selLength);
    int tail = int(text.size()) - selStart - selLength;
    bool minusTyped = false;
    QString next;

    if (key == '-') {
        // A second minus in front of a negative number would make the text unreadable and
        // lose the number; the text is negative already.
        if (selStart != 0 || right.startsWith(u'-')) {
            Beep();
            return false;
        }
        next = u'-' + right;
        minusTyped = true;
    } else if (key == '.') {
        if (left.contains(u'.')) {
            Beep();
            return false;
        }
        const qsizetype dot = right.indexOf(u'.');
        if (dot < 0) {
            next = left + u'.' + right;
        } else if (vs.AutoCutDecimal()) {
            next = left + u'.' + right.mid(dot + 1);
            tail -= int(dot) + 1;
        } else {
            Beep();
            return false;
        }
    } else if (key == kBackspace) {
        if (selLength > 0)
            next = left + right;
        else
            next = left.left(left.size() - 1) + right;
    } else {
        const QChar digit(key);
        next = left + digit + right;
        if (selLength == 0 && next.size() > vs.MaxLength()) {
            if (!left.contains(u'.')) {
                Beep();
                return false;
            }
            // Full and typing among the decimals: the last decimal makes room for the new digit,
            // which lands at the caret.
            if (!right.isEmpty()) {
                next = left + digit + right.left(right.size() - 1);
                --tail;
            } else {
                next = left.left(left.size() - 1) + digit;
            }
        }
    }

    const long double x = ParseNumber(next, vs.ShowThousands());
    next = vs.Format(x);
    if (x == 0 && minusTyped)
        next = u'-' + next;
    ApplyEdit(next, int(next.size()) - tail);
    return false;
}

void TCustomEditEx::DeleteKey()
{
    TValueSetting &vs = *m_valueSetting;
    const QString text = this->text();
    const int selLength = int(selectedText().size());
    const int selStart = selLength > 0 ? selectionStart() : cursorPosition();
    const QString left = text.left(selStart);
    const QString right = text.mid(selStart + selLength);
    int tail = int(text.size()) - selStart - selLength;
    QString next;
    if (selLength > 0) {
        next = left + right;
    } else {
        next = left + right.mid(1);
        --tail;
    }
    next = vs.Format(ParseNumber(next, vs.ShowThousands()));
    ApplyEdit(next, int(next.size()) - tail);
}

void TCustomEditEx::ForeignEdit(const QString &next)
{
    const TValueType type = m_valueSetting->ValueType();
    const QString before = m_lastText;
    if (type == vtString || next.size() <= before.size())
        return;
    if (type == vtNumberOnly) {
        const auto nonDigits = [](const QString &s) {
            return std::count_if(s.cbegin(), s.cend(), [](QChar c) { return c < u'0' || c > u'9'; });
        };
        if (nonDigits(next) <= nonDigits(before))
            return;
    }
    // Keys, input methods and drops are filtered already, so a longer text here is a paste. The
    // line edit is still inside its change, so the text is put back once it has finished.
    const int caret = cursorPosition() - int(next.size() - before.size());
    QMetaObject::invokeMethod(
        this,
        [this, type, before, next, caret] {
            if (text() != next)
                return;
            {
                const QScopedValueRollback<bool> own(m_ownEdit, true);
                setText(before);
                setCursorPosition(std::max(0, caret));
            }
            if (type == vtFloat)
                Paste();
            else
                Beep();
        },
        Qt::QueuedConnection);
}

void TCustomEditEx::ApplyEdit(const QString &text, int caret)
{
    const QScopedValueRollback<bool> own(m_ownEdit, true);
    // Replacing through the edit's own insert keeps Ctrl+Z working on re-formatted text.
    if (text != this->text()) {
        selectAll();
        insert(text);
    }
    setCursorPosition(std::clamp(caret, 0, int(this->text().size())));
    setModified(true);
}

void TCustomEditEx::Paste()
{
    const TValueType type = m_valueSetting->ValueType();
    if (isReadOnly())
        return;
    if (type == vtString) {
        QLineEdit::paste();
        return;
    }
    const QMimeData *mime = QApplication::clipboard()->mimeData();
    if (!mime || !mime->hasText())
        return;
    QString clip = mime->text();
    const qsizetype nul = clip.indexOf(QChar(0));
    if (nul >= 0)
        clip.truncate(nul);
    if (clip.isEmpty())
        return;

    if (type == vtNumberOnly) {
        const bool digitsOnly
            = std::all_of(clip.cbegin(), clip.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
        if (!digitsOnly) {
            Beep();
            return;
        }
        const QScopedValueRollback<bool> own(m_ownEdit, true);
        insert(clip);
        return;
    }

    const std::optional<long double> number = ReadNumber(clip);
    if (!number) {
        Beep();
        return;
    }
    const double value = double(*number);
    TValueSetting &vs = *m_valueSetting;
    if (vs.HideZeroValue() && value == 0) {
        ApplyEdit(QString(), 0);
        return;
    }
    const QString formatted = vs.Format(value);
    if (formatted.size() > vs.MaxLength()) {
        Beep();
        return;
    }
    ApplyEdit(formatted, int(formatted.size()));
}

void TCustomEditEx::Undo()
{
    const QScopedValueRollback<bool> own(m_ownEdit, true);
    undo();
}

void TCustomEditEx::contextMenuEvent(QContextMenuEvent *event)
{
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    if (m_valueSetting->ValueType() != vtString) {
        if (QAction *undo = menu->findChild<QAction *>(QStringLiteral("edit-undo"))) {
            undo->disconnect();
            connect(undo, &QAction::triggered, this, &TCustomEditEx::Undo);
        }
        if (QAction *paste = menu->findChild<QAction *>(QStringLiteral("edit-paste"))) {
            paste->disconnect();
            connect(paste, &QAction::triggered, this, &TCustomEditEx::Paste);
        }
    }
    menu->exec(event->globalPos());
}

void TCustomEditEx::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    if (hasFocus() || IsBlank(m_hintText) || !IsBlank(text()))
        return;
    QPainter painter(this);
    painter.setFont(m_hintTextFont);
    painter.setPen(m_hintTextColor);
    bool enableAfterPaint = true;
    if (OnPaintHintText)
        OnPaintHintText(this, painter, enableAfterPaint);
    if (!enableAfterPaint)
        return;
    painter.setFont(m_hintTextFont);
    painter.setPen(m_hintTextColor);
    const QFontMetrics metrics(m_hintTextFont);
    const int y = (height() - metrics.height()) / 2;
    painter.drawText(QRect(3, y, width() - 3, height() - y),
        Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_hintText);
}

void TCustomEditEx::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        UpdateTextRect();
}

void TCustomEditEx::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    UpdateTextRect();
}
