#include "enhancedfocus.h"

#include "platform/inifile.h"
#include "platform/launcher.h"
#include "windowstate.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QInputDevice>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>

#include <algorithm>

#ifdef Q_OS_WIN
#include <QSettings>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <shlobj.h> // needs windows.h first
#endif

namespace TouchKeyboard {
QString tabTipCommand(const QString &commonFilesFolder) {
    // Quoted: the folder has blanks and the launcher splits a command line at them.
    return "\"" + commonFilesFolder + "\\" + "Microsoft Shared\\ink\\TabTip.EXE" + "\"";
}

QString otherCommonFilesFolder(const QString &commonFilesFolder) {
    int drive = commonFilesFolder.indexOf(":\\");
    if (drive < 0) return {};
    QString other = commonFilesFolder.left(drive + 2) + "Program Files\\Common Files";
    return other.compare(commonFilesFolder, Qt::CaseInsensitive) == 0 ? QString() : other;
}
} // namespace TouchKeyboard

namespace {
const char *const RequiredProperty = "required";

// Box and indicator, painted on the control's parent under every control, as if drawn on the
// window itself.
class FocusMark : public QWidget {
public:
    explicit FocusMark(QWidget *host) : QWidget(host) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }
    QRect box, indicator; // in this widget's coordinates; empty when not drawn
    QColor fill, border, indicatorColor;
    QString indicatorText;

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        if (!box.isEmpty()) {
            p.fillRect(box, fill);
            p.setPen(border);
            p.drawRect(box.adjusted(0, 0, -1, -1));
        }
        if (!indicator.isEmpty()) {
            p.setPen(indicatorColor);
            p.drawText(indicator, Qt::AlignLeft | Qt::AlignVCenter, indicatorText);
        }
    }
};

// Splitters adopt every child widget as a pane, so the mark goes one level up.
QWidget *markHost(QWidget *control) {
    QWidget *host = control->parentWidget();
    while (host && qobject_cast<QSplitter *>(host) && !host->isWindow() && host->parentWidget())
        host = host->parentWidget();
    return host;
}

// The indicator sits on the first text line of the control: centred on a one-line control,
// near the top of a tall one.
QRect indicatorRect(const QRect &control, int offset, const QSize &glyph) {
    int line = std::min(control.height(), 2 * glyph.height());
    QPoint topLeft(control.left() - offset,
                   control.top() + std::max(0, (line - glyph.height()) / 2));
    return QRect(topLeft, glyph);
}

bool isDropList(const QWidget *control) {
    auto *combo = qobject_cast<const QComboBox *>(control);
    return combo && !combo->isEditable();
}

QString commonFilesFolder() {
#ifdef Q_OS_WIN
    QSettings key(R"(HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion)",
                  QSettings::Registry64Format);
    QString folder = key.value("CommonW6432Dir").toString();
    if (!folder.isEmpty()) return folder;
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES_COMMON, nullptr, SHGFP_TYPE_CURRENT,
                                   path)))
        return QString::fromWCharArray(path);
#endif
    return {};
}
} // namespace

EnhancedFocusClassType::OnScreenKeyboard &EnhancedFocusClassType::OSK() {
    static OnScreenKeyboard osk;
    return osk;
}

EnhancedFocusClassType *EnhancedFocusClassType::install(QWidget *window) {
    if (EnhancedFocusClassType *existing = of(window)) return existing;
    auto *focus = new EnhancedFocusClassType(window);
    const QColor yellow(255, 255, 0), black(0, 0, 0), grey(128, 128, 128);
    focus->INIT(true, yellow, true, false, yellow, true, yellow, black, 2, yellow, black, true,
                grey, QString(QChar(0x00BB)), 8);
    focus->SETONSCREENKEYBOARD(false);
    if (QWidget *focused = QApplication::focusWidget()) focus->focusChanged(nullptr, focused);
    return focus;
}

EnhancedFocusClassType *EnhancedFocusClassType::of(const QWidget *window) {
    return window->findChild<EnhancedFocusClassType *>(QString(), Qt::FindDirectChildrenOnly);
}

void EnhancedFocusClassType::setRequired(QWidget *control, bool required) {
    control->setProperty(RequiredProperty, required);
}

bool EnhancedFocusClassType::isRequired(const QWidget *control) {
    return control->property(RequiredProperty).toBool();
}

EnhancedFocusClassType::EnhancedFocusClassType(QWidget *window)
    : QObject(window), m_window(window) {
    POPUPTOUCHKEYBOARDFOLDER = commonFilesFolder();
    if (!OSK().ENABLEVALSET) {
        OSK().ENABLE = HASTOUCHINPUT();
        OSK().ENABLEVALSET = true;
    }
    ENABLEOSK = OSK().ENABLE;
    connect(qApp, &QApplication::focusChanged, this, &EnhancedFocusClassType::focusChanged);
}

EnhancedFocusClassType::~EnhancedFocusClassType() {
    ENHANCEFOCUSUNSELECT();
    delete m_mark.data();
}

void EnhancedFocusClassType::INIT(bool changeColor, const QColor &backgroundColor, bool useBoldText,
                                  bool /*excludeDropList*/, const QColor &backgroundColorRequired,
                                  bool displayBox, const QColor &boxFillColor,
                                  const QColor &boxBorderColor, int boxSize,
                                  const QColor &boxFillColorRequired,
                                  const QColor &boxBorderColorRequired, bool displayIndicator,
                                  const QColor &indicatorColor, const QString &indicatorCharacter,
                                  int indicatorOffset) {
    CHANGECOLOR = changeColor;
    BACKGROUNDCOLOR = backgroundColor;
    USEBOLDTEXT = useBoldText;
    EXCLUDEDROPLIST = false; // drop lists are always marked; a window may change it afterwards
    BACKGROUNDCOLORREQUIRED = backgroundColorRequired;
    DISPLAYBOX = displayBox;
    BOXFILLCOLOR = boxFillColor;
    BOXBORDERCOLOR = boxBorderColor;
    BOXSIZE = boxSize;
    BOXFILLCOLORREQUIRED = boxFillColorRequired;
    BOXBORDERCOLORREQUIRED = boxBorderColorRequired;
    DISPLAYINDICATOR = displayIndicator;
    INDICATORCOLOR = indicatorColor;
    INDICATORCHARACTER = indicatorCharacter.left(2);
    INDICATOROFFSET = indicatorOffset;
    // Everything that cannot take typing.
    for (const QMetaObject *type :
         {&QAbstractButton::staticMetaObject, &QLabel::staticMetaObject,
          &QGroupBox::staticMetaObject, &QTabBar::staticMetaObject, &QTabWidget::staticMetaObject,
          &QMenu::staticMetaObject, &QMenuBar::staticMetaObject, &QToolBar::staticMetaObject,
          &QStatusBar::staticMetaObject, &QAbstractItemView::staticMetaObject,
          &QProgressBar::staticMetaObject, &QAbstractSlider::staticMetaObject,
          &QScrollArea::staticMetaObject, &QDialogButtonBox::staticMetaObject})
        DISABLECONTROLTYPE(*type);
}

void EnhancedFocusClassType::TAKEEVENT(QWidget *control, QEvent *event) {
    switch (event->type()) {
    case QEvent::FocusIn:
        if (control != m_focused) {
            // Watched even while unmarked, so that it gets the mark once it can take typing.
            if (m_focused) m_focused->removeEventFilter(this);
            m_focused = control;
            if (control) control->installEventFilter(this);
        }
        ENHANCEFOCUSUNSELECT();
        ENHANCEFOCUSSELECT(control);
        break;
    case QEvent::Move:
    case QEvent::Resize:
        if (control && control == SCFIELD) {
            DRAWBOXANDCARETINDICATOR(false);
            rememberGeometry();
            DRAWBOXANDCARETINDICATOR(true);
        }
        break;
    case QEvent::DynamicPropertyChange:
        if (static_cast<QDynamicPropertyChangeEvent *>(event)->propertyName() != RequiredProperty)
            break;
        [[fallthrough]];
    case QEvent::EnabledChange:
    case QEvent::ReadOnlyChange:
    case QEvent::Hide:
    case QEvent::Show:
        if (control && control == m_focused) {
            ENHANCEFOCUSUNSELECT();
            ENHANCEFOCUSSELECT(control);
        }
        break;
    default:
        break;
    }
}

void EnhancedFocusClassType::ENHANCEFOCUSUNSELECT() {
    DRAWCOLORANDFONTSINDICATOR(false);
    DRAWBOXANDCARETINDICATOR(false);
    SCFIELD = nullptr;
}

bool EnhancedFocusClassType::ENHANCEFOCUSSELECT(QWidget *control) {
    if (SCFIELD) ENHANCEFOCUSUNSELECT(); // one mark at a time
    if (!SETCURRENTCONTROL(control)) return false;
    if (ENABLEOSK && CONTROLUSEONSCREENKEYBOARD(control)) POPUPTOUCHKEYBOARD();
    DRAWCOLORANDFONTSINDICATOR(true);
    DRAWBOXANDCARETINDICATOR(true);
    return ISCURRENTCONTROLVISIBLE();
}

bool EnhancedFocusClassType::CONTROLALLOWED(const QWidget *control) const {
    if (!control || !control->isEnabled() || !control->isVisible()) return false;
    if (control->property("readOnly").toBool()) return false;
    if (control->focusPolicy() == Qt::NoFocus) return false;
    if (EXCLUDEDROPLIST && isDropList(control)) return false;
    const QMetaObject *kind = control->metaObject();
    return std::none_of(EXCLUDEDCONTROLTYPE.cbegin(), EXCLUDEDCONTROLTYPE.cend(),
                        [kind](const QMetaObject *excluded) { return kind->inherits(excluded); });
}

bool EnhancedFocusClassType::CONTROLUSEONSCREENKEYBOARD(const QWidget *control) const {
    if (auto *combo = qobject_cast<const QComboBox *>(control)) return combo->isEditable();
    return qobject_cast<const QLineEdit *>(control) ||
           qobject_cast<const QAbstractSpinBox *>(control) ||
           qobject_cast<const QPlainTextEdit *>(control) ||
           qobject_cast<const QTextEdit *>(control);
}

void EnhancedFocusClassType::DRAWCOLORANDFONTSINDICATOR(bool show) {
    if (!SCFIELD) return;
    if (!show) {
        if (!m_coloured) return;
        SCFIELD->setPalette(SCCOLOR);
        SCFIELD->setFont(SCSTYLE);
        m_coloured = false;
        releaseSize();
        return;
    }
    if (!CHANGECOLOR || m_coloured) return;
    keepSize();
    QColor background = isRequired(SCFIELD) ? BACKGROUNDCOLORREQUIRED : BACKGROUNDCOLOR;
    QPalette palette = SCFIELD->palette();
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Button, background); // the face of a drop list
    SCFIELD->setPalette(palette);
    if (USEBOLDTEXT) {
        QFont font = SCFIELD->font();
        font.setBold(true);
        SCFIELD->setFont(font);
    }
    m_coloured = true;
}

void EnhancedFocusClassType::DRAWBOXANDCARETINDICATOR(bool show) {
    if (!show || !SCFIELD || (!DISPLAYBOX && !DISPLAYINDICATOR)) {
        if (m_mark) m_mark->hide();
        return;
    }
    QWidget *host = markHost(SCFIELD);
    if (!host) return;
    if (!m_mark)
        m_mark = new FocusMark(host);
    else if (m_mark->parentWidget() != host)
        m_mark->setParent(host);
    auto *mark = static_cast<FocusMark *>(m_mark.data());

    bool required = isRequired(SCFIELD);
    QRect control(SCX, SCY, SCW, SCH);
    QRect box = DISPLAYBOX ? control.adjusted(-BOXSIZE, -BOXSIZE, BOXSIZE, BOXSIZE) : QRect();
    QRect indicator;
    if (DISPLAYINDICATOR) {
        QFontMetrics metrics(mark->font());
        QSize glyph(metrics.horizontalAdvance(INDICATORCHARACTER), metrics.height());
        indicator = indicatorRect(control, INDICATOROFFSET, glyph);
    }
    QRect bounds = box | indicator;
    mark->setGeometry(bounds);
    mark->box = box.translated(-bounds.topLeft());
    mark->indicator = indicator.translated(-bounds.topLeft());
    mark->fill = required ? BOXFILLCOLORREQUIRED : BOXFILLCOLOR;
    mark->border = required ? BOXBORDERCOLORREQUIRED : BOXBORDERCOLOR;
    mark->indicatorColor = INDICATORCOLOR;
    mark->indicatorText = INDICATORCHARACTER;
    mark->lower();
    mark->show();
    mark->update();
}

bool EnhancedFocusClassType::SETCURRENTCONTROL(QWidget *control) {
    if (!CONTROLALLOWED(control)) {
        SCFIELD = nullptr;
        return false;
    }
    SCFIELD = control;
    connect(control, &QObject::destroyed, this, &EnhancedFocusClassType::currentControlDestroyed,
            Qt::UniqueConnection);
    SCCOLOR = control->testAttribute(Qt::WA_SetPalette) ? control->palette() : QPalette();
    SCSTYLE = control->testAttribute(Qt::WA_SetFont) ? control->font() : QFont();
    rememberGeometry();
    return true;
}

bool EnhancedFocusClassType::ISCURRENTCONTROLVISIBLE() const {
    return SCFIELD && SCFIELD->isVisible() && !SCFIELD->visibleRegion().isEmpty();
}

bool EnhancedFocusClassType::HASTOUCHINPUT() {
    const QList<const QInputDevice *> devices = QInputDevice::devices();
    return std::any_of(devices.cbegin(), devices.cend(), [](const QInputDevice *device) {
        return device->type() == QInputDevice::DeviceType::TouchScreen;
    });
}

void EnhancedFocusClassType::SETONSCREENKEYBOARD(bool on) {
    OSK().ENABLE = on;
    OSK().ENABLEVALSET = true;
    ENABLEOSK = on;
}

bool EnhancedFocusClassType::POPUPTOUCHKEYBOARD() {
    if (!ENABLEOSK) return false;
#ifdef Q_OS_WIN
    if (startKeyboard(TouchKeyboard::tabTipCommand(POPUPTOUCHKEYBOARDFOLDER))) return true;
    QString other = TouchKeyboard::otherCommonFilesFolder(POPUPTOUCHKEYBOARDFOLDER);
    if (!other.isEmpty()) {
        POPUPTOUCHKEYBOARDFOLDER = other;
        if (startKeyboard(TouchKeyboard::tabTipCommand(other))) return true;
    }
#else
    // No system touch keyboard to rely on: run the one the office configured, if any.
    if (startKeyboard(IniFile::get(pensionIniPath(), "Programs", "OnScreenKeyboard"))) return true;
#endif
    ENABLEOSK = false;
    return false;
}

void EnhancedFocusClassType::DISABLECONTROLTYPE(const QMetaObject &controlType) {
    if (!EXCLUDEDCONTROLTYPE.contains(&controlType)) EXCLUDEDCONTROLTYPE.append(&controlType);
}

QWidget *EnhancedFocusClassType::controlOf(QWidget *focused) {
    QWidget *control = focused;
    while (control && !control->isWindow()) {
        QWidget *outer = control->parentWidget();
        if (!outer || (outer->focusProxy() != control && !qobject_cast<QAbstractSpinBox *>(outer) &&
                       !qobject_cast<QComboBox *>(outer)))
            break;
        control = outer;
    }
    return control;
}

bool EnhancedFocusClassType::eventFilter(QObject *watched, QEvent *event) {
    // FocusIn comes through focusChanged, which also sees the moves between controls.
    if (watched == m_focused && event->type() != QEvent::FocusIn) TAKEEVENT(m_focused, event);
    // The window is resized: its layout sizes the control as if unmarked (this filter runs
    // before the layout), and the mark comes back once the layout is done.
    if (m_sized && watched == m_sized->parentWidget() && event->type() == QEvent::Resize) {
        QPointer<QWidget> control = m_sized.data();
        ENHANCEFOCUSUNSELECT();
        QTimer::singleShot(0, this, [this, control] {
            if (control && control == m_focused && !SCFIELD) ENHANCEFOCUSSELECT(control);
        });
    }
    return false;
}

namespace {
bool holdsWidget(const QLayout *layout, const QWidget *widget) {
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (item->widget() == widget) return true;
        if (item->layout() && holdsWidget(item->layout(), widget)) return true;
    }
    return false;
}
} // namespace

void EnhancedFocusClassType::keepSize() {
    QWidget *parent = SCFIELD->parentWidget();
    // A control placed by hand moves nothing when it grows.
    if (!parent || !parent->layout() || !holdsWidget(parent->layout(), SCFIELD)) return;
    m_sized = SCFIELD.data();
    m_minimumSize = SCFIELD->minimumSize();
    m_maximumSize = SCFIELD->maximumSize();
    SCFIELD->setFixedSize(SCFIELD->size());
    parent->installEventFilter(this);
}

void EnhancedFocusClassType::releaseSize() {
    if (!m_sized) return;
    if (QWidget *parent = m_sized->parentWidget()) parent->removeEventFilter(this);
    m_sized->setMinimumSize(m_minimumSize);
    m_sized->setMaximumSize(m_maximumSize);
    m_sized = nullptr;
}

void EnhancedFocusClassType::focusChanged(QWidget *, QWidget *now) {
    if (!now || !m_window || (now != m_window && !m_window->isAncestorOf(now))) return;
    QFocusEvent selected(QEvent::FocusIn, Qt::OtherFocusReason);
    TAKEEVENT(controlOf(now), &selected);
}

// A control that goes away while marked must not leave its box behind.
void EnhancedFocusClassType::currentControlDestroyed(QObject *control) {
    if (SCFIELD && SCFIELD.data() != control) return; // another control is marked by now
    m_coloured = false;                               // nothing left to restore
    m_sized = nullptr;
    SCFIELD = nullptr;
    DRAWBOXANDCARETINDICATOR(false);
}

void EnhancedFocusClassType::rememberGeometry() {
    QWidget *host = markHost(SCFIELD);
    QPoint pos = host ? SCFIELD->mapTo(host, QPoint(0, 0)) : SCFIELD->pos();
    SCX = pos.x();
    SCY = pos.y();
    SCW = SCFIELD->width();
    SCH = SCFIELD->height();
}

bool EnhancedFocusClassType::startKeyboard(const QString &command) {
    if (command.trimmed().isEmpty() || !Launcher::start(command)) return false;
    OSK().ISENABLE = true;
    return true;
}
