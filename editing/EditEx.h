#pragma once

// A one-line field with a numeric mode (typing filtered key by key, the text re-formatted after
// every accepted key), a digits-only mode and a hint text drawn while the field is empty.

#include <QFont>
#include <QLineEdit>
#include <functional>
#include <memory>

class QPainter;
class QProxyStyle;
class TCustomEditEx;

enum TValueType : quint8 { vtString = 0, vtNumberOnly = 1, vtFloat = 2 };

enum TAlignment : quint8 { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

// Called before the hint text is drawn; clearing EnableAfterPaint suppresses the built-in drawing.
using TPaintHintTextEvent
    = std::function<void(TCustomEditEx *Sender, QPainter &Canvas, bool &EnableAfterPaint)>;

class TValueSetting
{
public:
    explicit TValueSetting(TCustomEditEx *owner);

    TValueType ValueType() const { return m_valueType; }
    void setValueType(TValueType value);

    // The number read from the field's text: commas dropped, trimmed, 0 when unreadable.
    long double FloatValue() const;
    void setFloatValue(long double value);

    bool ShowThousands() const { return m_showThousands; }
    void setShowThousands(bool value);

    bool AutoCutDecimal() const { return m_autoCutDecimal; }
    void setAutoCutDecimal(bool value) { m_autoCutDecimal = value; }

    bool AppectMinus() const { return m_appectMinus; }
    void setAppectMinus(bool value) { m_appectMinus = value; }

    quint8 DecimalPlaces() const { return m_decimalPlaces; }
    void setDecimalPlaces(quint8 value);

    quint8 IntegerLength() const { return m_integerLength; }
    void setIntegerLength(quint8 value);

    bool HideZeroValue() const { return m_hideZeroValue; }
    void setHideZeroValue(bool value);

    // Derived from ShowThousands, DecimalPlaces and IntegerLength.
    QString FormatStr() const { return m_formatStr; }
    int MaxLength() const { return m_maxLength; }

    // The value formatted with FormatStr.
    QString Format(long double value) const;

private:
    friend class TCustomEditEx;
    void ShowValue(long double value);
    void BuildFormat();
    void ComputeMaxLength();

    TCustomEditEx *m_owner;
    TValueType m_valueType = vtString;
    bool m_showThousands = false;
    bool m_autoCutDecimal = false;
    bool m_appectMinus = false;
    QString m_formatStr = QStringLiteral("0.00");
    int m_maxLength = 11;
    quint8 m_decimalPlaces = 2;
    quint8 m_integerLength = 8;
    bool m_hideZeroValue = false;
};

class TCustomEditEx : public QLineEdit
{
    Q_OBJECT

public:
    explicit TCustomEditEx(QWidget *parent = nullptr);
    ~TCustomEditEx() override;

    TValueSetting *ValueSetting() const { return m_valueSetting.get(); }

    QFont HintTextFont() const { return m_hintTextFont; }
    void setHintTextFont(const QFont &font);

    // Qt fonts carry no colour; the hint's colour is kept beside its font.
    QColor HintTextColor() const { return m_hintTextColor; }
    void setHintTextColor(const QColor &color);

    QString HintText() const { return m_hintText; }
    void setHintText(const QString &text);

    bool HideCaret() const { return m_hideCaret; }
    void setHideCaret(bool value);

    TPaintHintTextEvent OnPaintHintText;

    TAlignment Alignment() const { return m_alignment; }
    void setAlignment(TAlignment value);

    quint16 PaddingWidth() const { return m_paddingWidth; }
    void setPaddingWidth(quint16 value);

    // Paste through the field's rules; QLineEdit::paste() is not virtual, so callers that paste
    // on the field's behalf (edit actions, context menu) must come here.
    void Paste();
    // Undo for callers outside the field (edit actions, context menu): the undone text can be
    // longer than the current one, which must not be taken for a paste.
    void Undo();

    // Rejects a key or a paste: the system beep; beeped() lets tests and callers see it.
    void Beep();

signals:
    void beeped();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class TValueSetting;

    // The character a key event stands for, as the field's filter sees it; 0 for keys that
    // are no character (arrows, Home, function keys).
    static int KeyChar(const QKeyEvent *event);
    // Runs one typed character through the numeric filter; true when the edit should insert it
    // itself (only control characters handed on).
    bool FloatKey(int key);
    bool NumberOnlyKey(int key);
    void DeleteKey();
    void ApplyEdit(const QString &text, int caret);
    void UpdateTextRect();
    void ApplyValueType();
    // A user edit that did not come through the field's own filter: QLineEdit::paste() called by
    // someone else (it cannot be overridden) is undone and run through the field's rules.
    void ForeignEdit(const QString &next);

    std::unique_ptr<TValueSetting> m_valueSetting;
    std::unique_ptr<QProxyStyle> m_caretStyle;
    QFont m_hintTextFont;
    QColor m_hintTextColor;
    QString m_hintText;
    TAlignment m_alignment = taLeftJustify;
    quint16 m_paddingWidth = 0;
    bool m_hideCaret = false;
    // Set while the field changes its own text; any other change is foreign.
    bool m_ownEdit = false;
    // The text as of the last textChanged; textEdited comes before it, so it is the old text there.
    QString m_lastText;
};

class TEditEx : public TCustomEditEx
{
    Q_OBJECT

public:
    using TCustomEditEx::TCustomEditEx;
};
