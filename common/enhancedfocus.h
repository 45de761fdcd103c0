#pragma once
// Marks the control that has the keyboard focus so the operator sees where typing will go:
// highlight background (another colour for required fields), bold text, a box around the control
// and an indicator character to its left. It can also pop up a touch keyboard for entry controls.
//
// One object per window, made by install(); the window needs no code of its own.
//
// A control is a required field when its dynamic property "required" is true
// (EnhancedFocusClassType::setRequired). Controls that cannot take typing (buttons, labels, lists,
// tabs, menus, progress bars, group boxes...) are never highlighted, nor are disabled, read-only
// or hidden ones.
#include <QColor>
#include <QEvent>
#include <QFont>
#include <QList>
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QSize>
#include <QString>

class QWidget;

// Where the touch keyboard lives on Windows and where else to look for it.
namespace TouchKeyboard {
// The command that starts the keyboard from a common-files folder.
QString tabTipCommand(const QString &commonFilesFolder);
// The standard common-files folder on the drive of `commonFilesFolder`; empty when there is no
// other place to try (already the standard folder, or no drive in the path).
QString otherCommonFilesFolder(const QString &commonFilesFolder);
} // namespace TouchKeyboard

class EnhancedFocusClassType : public QObject {
    Q_OBJECT
public:
    // Room between a prompt and its entry for the indicator drawn left of the entry.
    static constexpr int IndicatorRoom = 16;
    // The touch-keyboard wish shared by all windows of the process.
    struct OnScreenKeyboard {
        bool ENABLE = false;       // keyboard wanted
        bool ENABLEVALSET = false; // ENABLE has been decided
        bool ISENABLE = false;     // the keyboard has been started successfully
    };
    static OnScreenKeyboard &OSK();

    // Gives `window` its object (once; a second call returns the same one) with the settings every
    // window of the program uses, the touch keyboard switched off, and the focused control marked.
    static EnhancedFocusClassType *install(QWidget *window);
    // The object install() gave `window`, or nullptr.
    static EnhancedFocusClassType *of(const QWidget *window);

    static void setRequired(QWidget *control, bool required = true);
    static bool isRequired(const QWidget *control);

    explicit EnhancedFocusClassType(QWidget *window);
    ~EnhancedFocusClassType() override;

    bool CHANGECOLOR = false;
    QColor BACKGROUNDCOLOR;
    bool USEBOLDTEXT = false;
    bool EXCLUDEDROPLIST = false; // true leaves non-editable combo boxes unmarked
    QColor BACKGROUNDCOLORREQUIRED;
    bool DISPLAYBOX = false;
    QColor BOXFILLCOLOR;
    QColor BOXBORDERCOLOR;
    int BOXSIZE = 0;
    QColor BOXFILLCOLORREQUIRED;
    QColor BOXBORDERCOLORREQUIRED;
    bool DISPLAYINDICATOR = false;
    QColor INDICATORCOLOR;
    QString INDICATORCHARACTER;
    int INDICATOROFFSET = 0;
    bool ENABLEOSK = false;
    QString POPUPTOUCHKEYBOARDFOLDER; // Windows common-files folder holding the touch keyboard

    // The marked control, its own palette and font before marking (default-constructed when it
    // had none of its own, so that restoring hands it back to inheritance), and its geometry in
    // its parent. No pen colour is kept: the mark paints with a painter of its own.
    QPointer<QWidget> SCFIELD;
    QPalette SCCOLOR;
    QFont SCSTYLE;
    int SCX = 0, SCY = 0, SCW = 0, SCH = 0;
    // Kinds of widget (and their subclasses) that never get the mark.
    QList<const QMetaObject *> EXCLUDEDCONTROLTYPE;

    virtual void INIT(bool changeColor, const QColor &backgroundColor, bool useBoldText,
                      bool excludeDropList, const QColor &backgroundColorRequired, bool displayBox,
                      const QColor &boxFillColor, const QColor &boxBorderColor, int boxSize,
                      const QColor &boxFillColorRequired, const QColor &boxBorderColorRequired,
                      bool displayIndicator, const QColor &indicatorColor,
                      const QString &indicatorCharacter, int indicatorOffset);
    // Reacts to an event of `control`: FocusIn moves the mark to it; moves, resizes and changes
    // of state keep the mark on the current control in step.
    virtual void TAKEEVENT(QWidget *control, QEvent *event);
    virtual void ENHANCEFOCUSUNSELECT();
    // Marks `control`; true when the marked control can be seen.
    virtual bool ENHANCEFOCUSSELECT(QWidget *control);
    virtual bool CONTROLALLOWED(const QWidget *control) const;
    virtual bool CONTROLUSEONSCREENKEYBOARD(const QWidget *control) const;
    virtual void DRAWCOLORANDFONTSINDICATOR(bool show);
    virtual void DRAWBOXANDCARETINDICATOR(bool show);

    bool SETCURRENTCONTROL(QWidget *control);
    bool ISCURRENTCONTROLVISIBLE() const;
    static bool HASTOUCHINPUT();
    void SETONSCREENKEYBOARD(bool on);
    // Starts the touch keyboard: TabTip on Windows, elsewhere the command under [Programs]
    // OnScreenKeyboard in PENSION.INI (none unless configured). When it cannot be started this
    // window stops trying.
    bool POPUPTOUCHKEYBOARD();
    void DISABLECONTROLTYPE(const QMetaObject &controlType);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The control a focused widget belongs to: a compound control may hand its focus to an inner
    // editor.
    static QWidget *controlOf(QWidget *focused);
    void focusChanged(QWidget *old, QWidget *now);
    void currentControlDestroyed(QObject *control);
    void rememberGeometry();
    bool startKeyboard(const QString &command);
    // Bold text asks for more room; the marked control keeps the size its layout gave it, so
    // that no other control moves while the mark is on.
    void keepSize();
    void releaseSize();

    QPointer<QWidget> m_window;
    QPointer<QWidget> m_focused; // the control with the focus, marked or not
    QPointer<QWidget> m_mark;    // paints box and indicator
    bool m_coloured = false;     // SCFIELD wears the highlight palette and font
    QPointer<QWidget> m_sized;   // the control whose size is held, with its own limits
    QSize m_minimumSize, m_maximumSize;
};
