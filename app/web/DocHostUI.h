#pragma once

#include <QtGlobal>

// What the page host tells the engine, kept as plain values so it can be checked without a page.
// The numbers are the document-host flag values the panel's owners have always used.

using HRESULT_ = qint32;
inline constexpr HRESULT_ S_OK_ = 0;
inline constexpr HRESULT_ S_FALSE_ = 1;
inline constexpr HRESULT_ E_NOTIMPL_ = HRESULT_(0x80004001u);

enum TEnterMode : quint8 { emFlagP = 0, emFlagDiv = 1 };

enum TUserInterfaceOption : quint8 {
    DisableTextSelect,
    DisableHelpMenu,
    DontUse3DBorders,
    DontUseScrollBars,
    PostponeScriptUntilActive,
    ForceOpenNewWindow,
    Reserved_OFFSCREEN,
    ForceFlatScrollBars,
    InsertDivTagOnEditMode,
    ActivateUIOnlyOnDocClick,
    ConsultBeforeRetrievingBehavior,
    CheckFontSupportsCodePage,
    DisableSubmitUrlInUTF8,
    EnableSubmitUrlInUTF8,
    EnablesFormsAutoComplete,
    ForceSameWindowNavigation,
    EmableImeLocalLanguages,
    EnableThemes,
    DisableThemes,
    DisablePicsRatings,
    DisableFrameSetBorder,
    DisablesAutoNameSpaceCorrection,
    DisableLocalFileAccess,
    DisableUntrustedProtocol,
    CheckNavigationDelegatedToHost,
    EnableRedirectNotification,
    EnableDomWindlessControls,
    EnableWindowedControls,
    ForceUserActivationOnActiveXJava,
};
inline constexpr int UserInterfaceOptionCount = 29;

// Bit i stands for member i.
class TUserInterfaceOptions
{
public:
    constexpr TUserInterfaceOptions() = default;
    constexpr TUserInterfaceOptions(std::initializer_list<TUserInterfaceOption> members)
    {
        for (TUserInterfaceOption m : members)
            bits |= 1u << m;
    }
    constexpr bool contains(TUserInterfaceOption m) const { return bits & (1u << m); }
    constexpr bool isEmpty() const { return bits == 0; }
    constexpr bool operator==(const TUserInterfaceOptions &) const = default;
    quint32 bits = 0;
};

// The host flag each option stands for; 0x8000 belongs to none.
quint32 HostFlagOf(TUserInterfaceOption option);
quint32 HostFlagsOf(TUserInterfaceOptions options);

// The host information record as the engine asks for it (20 bytes on the original platform).
struct TDOCHOSTUIINFO
{
    quint32 cbSize = 0;
    quint32 dwFlags = 0;
    quint32 dwDoubleClick = 0;
    const char16_t *pchHostCss = nullptr;
    const char16_t *pchHostNS = nullptr;
};
inline constexpr quint32 DocHostUIInfoSize = 20;
inline constexpr quint32 DivBlockDefaultFlag = 0x100;

// A key message as the key filter sees it: the key and which modifier keys are down.
struct TKeyMessage
{
    bool keyDown = true;
    quint16 virtualKey = 0; // capital letter for letter keys
    bool leftControl = false;
    bool rightControl = false;
    bool leftAlt = false;
    bool rightAlt = false; // AltGr
};
