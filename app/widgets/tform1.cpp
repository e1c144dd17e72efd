#include "app/widgets/tform1.h"

#include "app/widgets/icons.h"
#include "app/widgets/qt_prompts.h"
#include "core/gbk.h"
#include "editor/widgets/sg2_grid.h"
#include "formats/profiles.h"
#include "library/widgets/dg1_grid.h"
#include "sources/widgets/sg1_grid.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace dotforge {

namespace {

// A label with one character underlined, as a menu's key is shown, that takes
// no key itself. Plain text with the line drawn on it: a rich-text label
// would cost the window's start a text document and its layout.
class UnderlinedKeyLabel : public QLabel {
public:
    UnderlinedKeyLabel(const QString &text, int underlined, QWidget *parent)
        : QLabel(text, parent)
        , m_underlined(underlined)
    {
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QLabel::paintEvent(event);
        const QFontMetrics metrics(font());
        const QRect area = contentsRect();
        // The label's text is left-aligned and centred vertically.
        const int x = area.left() + metrics.horizontalAdvance(text().left(m_underlined));
        const int baseline = area.top() + (area.height() - metrics.height()) / 2 + metrics.ascent();
        QPainter painter(this);
        painter.fillRect(x, baseline + metrics.underlinePos(), metrics.horizontalAdvance(text().at(m_underlined)),
            std::max(1, metrics.lineWidth()), palette().color(foregroundRole()));
    }

private:
    int m_underlined;
};

QString qs(const std::string &s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

QFont simSun(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    // The face has crisp bitmaps for its hanzi at these sizes but only thin
    // outlines for Latin letters and digits, which smoothing turns faint grey:
    // drawn without it they are as black and sharp as the hanzi beside them.
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

void setToggle(QWidget *w, const Toggle &t)
{
    w->setEnabled(t.enabled);
}

// Windows of Dotforge send each other nothing. To open beside those already on
// the screen, whatever folder they work in, each window holds a lock on one of
// a few files of the user's runtime folder, the first it can lock, as long as
// it lives (the lock ends with the process, however that ends); the number of
// that file says how far it stands from the first. Returns the number and the
// open file, -1 when no file could be locked.
constexpr int kWindowSlots = 10;
constexpr int kCascade = 30; // pixels right and down per window

std::pair<int, int> takeWindowSlot()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        return {0, -1};
    for (int slot = 0; slot < kWindowSlots; ++slot) {
        const QByteArray path = QFile::encodeName(folder + QStringLiteral("/dotforge-window-%1").arg(slot));
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return {slot, fd};
        ::close(fd);
    }
    return {0, -1};
}

} // namespace

// SE1: the area spin edit. Its value belongs to the workspace: the spin
// buttons, the arrow keys and the wheel ask for one step; typed characters go
// to the key handler, which keeps digits, and the number typed is handed to
// the workspace on Enter or when the field loses the focus (Escape drops it).
class SE1SpinEdit : public QSpinBox {
public:
    std::function<void(int)> onStep; // +1 or -1
    std::function<void(char32_t, bool &)> onKeyPress; // the typed character; discard?
    std::function<void(int)> onTyped; // the number in the field, confirmed

    explicit SE1SpinEdit(QWidget *parent)
        : QSpinBox(parent)
    {
        // At most two characters, and no paste or cut from the context menu.
        lineEdit()->setMaxLength(2);
        lineEdit()->setContextMenuPolicy(Qt::NoContextMenu);
        lineEdit()->setAcceptDrops(false);
        setAcceptDrops(false);
        // The spin box's own value follows the workspace only: a number being
        // typed is not yet an area.
        setKeyboardTracking(false);
        connect(this, &QAbstractSpinBox::editingFinished, this, [this] {
            if (m_confirmOnLeave)
                confirm();
        });
    }

    void stepBy(int steps) override
    {
        if (steps != 0 && onStep)
            onStep(steps > 0 ? 1 : -1);
    }

    // Shows the workspace's state. The range is set only when it changes:
    // setting it resets the spin box's own state, which this may run inside
    // (a step of the arrows), and the arrows would stop repeating and the keys
    // stop stepping. A number being typed stays until the area changes.
    void follow(const SpinState &state)
    {
        const bool areaChanged = state.value != m_shown.value;
        m_shown = state;
        const QSignalBlocker block(this);
        if (minimum() != state.min || maximum() != state.max)
            setRange(state.min, state.max);
        if (value() != state.value)
            setValue(state.value);
        if (areaChanged)
            showValue();
        setEnabled(state.enabled);
    }

protected:
    // Leaving the field for another control confirms the number; a box or a
    // menu that takes the focus (possibly in the middle of a command), or the
    // window closing, does not.
    void focusOutEvent(QFocusEvent *event) override
    {
        m_confirmOnLeave = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason
            || event->reason() == Qt::MouseFocusReason || event->reason() == Qt::ShortcutFocusReason;
        QSpinBox::focusOutEvent(event);
        m_confirmOnLeave = false;
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
            QSpinBox::keyPressEvent(event);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            confirm();
            lineEdit()->selectAll();
            return;
        case Qt::Key_Escape:
            showValue();
            lineEdit()->selectAll();
            return;
        default:
            break;
        }
        if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll)) {
            QSpinBox::keyPressEvent(event);
            return;
        }
        const QString text = event->text();
        if (!text.isEmpty() && text.front().isPrint() && !(event->modifiers() & Qt::ControlModifier)) {
            bool discard = true;
            if (onKeyPress)
                onKeyPress(text.toUcs4().value(0), discard);
            if (!discard)
                QSpinBox::keyPressEvent(event);
            return;
        }
        event->ignore();
    }

private:
    void showValue()
    {
        const QString text = QString::number(m_shown.value);
        if (lineEdit()->text() != text) {
            const QSignalBlocker block(lineEdit());
            lineEdit()->setText(text);
        }
    }

    // A field left empty, or still showing the area, changes nothing.
    void confirm()
    {
        bool number = false;
        const int typed = lineEdit()->text().toInt(&number);
        if (!number || typed == m_shown.value) {
            showValue();
            return;
        }
        if (onTyped)
            onTyped(typed);
        // The area now shown, also when the number was out of range.
        showValue();
    }

    SpinState m_shown;
    bool m_confirmOnLeave = false;
};

TForm1::TForm1(const WindowFolders &folders, QWidget *parent)
    : TForm1(folders, nullptr, parent)
{
}

TForm1::TForm1(const QString &workDir, Prompts &prompts, QWidget *parent)
    : TForm1(foldersIn(workDir), &prompts, parent)
{
}

TForm1::TForm1(const WindowFolders &folders, Prompts *prompts, QWidget *parent)
    : QMainWindow(parent,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_ownPrompts(prompts ? nullptr : std::make_unique<QtPrompts>(this, folders.dialogs))
    , m_prompts(prompts ? prompts : m_ownPrompts.get())
    , m_ws(std::make_unique<Workspace>(*m_prompts, m_rasterizer, folders.work.toStdString(), folders.font16sPlaces))
{
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(qs(m_ws->controls().caption));
    setFont(simSun(12));

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("Client"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);
    createMenus();
    createBlockMenu();
    createLeftColumn(client);
    createMiddleColumn(client);
    createRightColumn(client);
    // Not resizable: the window is exactly the menu bar and the client area.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // The list's column count follows from the width its cells have.
    m_ws->setLibraryClientWidth(DG1Grid::kClientWidth);
    m_ws->setListener(this);
    m_ws->FormCreate();
    m_DG1->relayout();
    syncControls();

    adjustSize();
    // The first window opens centred on the desktop, each further one 30
    // pixels right of and below the one before it, within the screen.
    const auto [slot, lock] = takeWindowSlot();
    m_windowLock = lock;
    if (const QScreen *s = screen()) {
        const QRect screenArea = s->availableGeometry();
        QPoint topLeft = screenArea.center() - rect().center() + QPoint(kCascade, kCascade) * slot;
        topLeft.setX(std::max(screenArea.left(), std::min(topLeft.x(), screenArea.right() - width())));
        topLeft.setY(std::max(screenArea.top(), std::min(topLeft.y(), screenArea.bottom() - height())));
        move(topLeft);
    }
}

TForm1::~TForm1()
{
    m_ws->setListener(nullptr);
    if (!m_closed) {
        m_closed = true;
        m_ws->run([this] { m_ws->FormClose(); });
    }
    if (m_windowLock >= 0)
        ::close(m_windowLock);
}

// ---- building --------------------------------------------------------------

QAction *TForm1::menuItem(QMenu *menu, const char *name, const char *text, std::function<void()> handler)
{
    QAction *action = menu->addAction(QString::fromUtf8(text));
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, [this, handler = std::move(handler)] { command(handler); });
    return action;
}

void TForm1::createMenus()
{
    Workspace &ws = *m_ws;
    QMenu *file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    file->setObjectName(QStringLiteral("FileMenu"));
    menuItem(file, "mnuNew", "新建(&N)", [&ws] { ws.mnuNewClick(); });
    menuItem(file, "mnuOpen", "打开(&O)...", [&ws] { ws.mnuOpenClick(); });
    m_mnuSave = menuItem(file, "mnuSave", "保存(&S)", [&ws] { ws.mnuSaveClick(); });
    m_mnuSaveAs = menuItem(file, "mnuSaveAs", "另存为(&A)...", [&ws] { ws.mnuSaveAsClick(); });
    menuItem(file, "mnuPrint", "打印(&P)...", [&ws] { ws.mnuPrintClick(); });
    menuItem(file, "mnuClose", "关闭(&C)", [&ws] { ws.mnuCloseClick(); });
    menuItem(file, "mnuExit", "退出(&X)", [&ws] { ws.mnuExitClick(); });

    QMenu *options = menuBar()->addMenu(QStringLiteral("选项(&O)"));
    options->setObjectName(QStringLiteral("OptionsMenu"));
    // A radio submenu: the workspace decides the tick; the group only draws it.
    auto radioMenu = [this, options](const char *name, const char *title) {
        QMenu *sub = options->addMenu(QString::fromUtf8(title));
        sub->setObjectName(QString::fromLatin1(name));
        return std::make_pair(sub, new QActionGroup(sub));
    };
    auto radioItem = [this](std::pair<QMenu *, QActionGroup *> sub, const char *name, const char *text,
                         std::function<void()> handler) {
        QAction *action = menuItem(sub.first, name, text, std::move(handler));
        action->setCheckable(true);
        sub.second->addAction(action);
        return action;
    };

    auto sizes = radioMenu("DotSizeMenu", "字符点阵(&D)");
    m_mnuSize[0] = radioItem(sizes, "mnu16", "&16点阵", [&ws] { ws.mnu16Click(); });
    m_mnuSize[1] = radioItem(sizes, "mnu24", "&24点阵", [&ws] { ws.mnu24Click(); });
    m_mnuSize[2] = radioItem(sizes, "mnu32", "&32点阵", [&ws] { ws.mnu32Click(); });

    auto modes = radioMenu("ModeMenu", "转换模式(&T)");
    m_mnuMode[0] = radioItem(modes, "mnuModA", "模式&A", [&ws] { ws.mnuModeClick(Mode::A); });
    m_mnuMode[1] = radioItem(modes, "mnuModB", "模式&B", [&ws] { ws.mnuModeClick(Mode::B); });
    m_mnuMode[2] = radioItem(modes, "mnuModC", "模式&C", [&ws] { ws.mnuModeClick(Mode::C); });
    m_mnuMode[3] = radioItem(modes, "mnuModD", "模式&D", [&ws] { ws.mnuModeClick(Mode::D); });
    options->addSeparator();

    auto rotations = radioMenu("RotationMenu", "默认旋转(&R)");
    m_mnuRotation[0] = radioItem(rotations, "mnuR0", "不旋转(&0)", [&ws] { ws.mnuRotationClick(Rotation::R0); });
    m_mnuRotation[1] = radioItem(rotations, "mnuR90", "左旋90度(&1)", [&ws] { ws.mnuRotationClick(Rotation::R90); });
    m_mnuRotation[2] = radioItem(rotations, "mnuR180", "左旋180度(&2)", [&ws] { ws.mnuRotationClick(Rotation::R180); });
    m_mnuRotation[3] = radioItem(rotations, "mnuR270", "左旋270度(&3)", [&ws] { ws.mnuRotationClick(Rotation::R270); });

    auto flips = radioMenu("FlipMenu", "默认翻转(&F)");
    m_mnuFlip[0] = radioItem(flips, "mnuFN", "不翻转(&N)", [&ws] { ws.mnuFlipClick(Flip::None); });
    m_mnuFlip[1] = radioItem(flips, "mnuFH", "水平翻转(&H)", [&ws] { ws.mnuFlipClick(Flip::Horizontal); });
    m_mnuFlip[2] = radioItem(flips, "mnuFV", "垂直翻转(&V)", [&ws] { ws.mnuFlipClick(Flip::Vertical); });

    auto swaps = radioMenu("SwapMenu", "默认交换(&E)");
    m_mnuSwap[0] = radioItem(swaps, "mnuEN", "不交换(&N)", [&ws] { ws.mnuSwapClick(Swap::None); });
    m_mnuSwap[1] = radioItem(swaps, "mnuEL", "左右交换(&L)", [&ws] { ws.mnuSwapClick(Swap::LeftRight); });
    m_mnuSwap[2] = radioItem(swaps, "mnuEU", "上下交换(&U)", [&ws] { ws.mnuSwapClick(Swap::UpDown); });

    // Named controller layouts: each ticks its mode and default effects; the one
    // in force is ticked whenever the submenu opens.
    QMenu *profiles = options->addMenu(QStringLiteral("控制器格式(&P)"));
    profiles->setObjectName(QStringLiteral("ProfileMenu"));
    auto *profileGroup = new QActionGroup(profiles);
    profileGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (const LayoutProfile &p : layoutProfiles()) {
        const std::string name = p.name;
        QAction *item
            = menuItem(profiles, ("mnuProfile-" + name).c_str(), p.caption, [&ws, name] { ws.mnuProfileClick(name); });
        item->setCheckable(true);
        profileGroup->addAction(item);
    }
    connect(profiles, &QMenu::aboutToShow, this, [this, profiles] {
        const Workspace &w = *m_ws;
        const LayoutProfile *current = profileOf(
            Layout{w.controls().mode, Effects{w.controls().rotation, w.controls().flip, w.controls().swap}});
        for (QAction *item : profiles->actions())
            item->setChecked(current && item->objectName() == QStringLiteral("mnuProfile-") + current->name);
    });
    options->addSeparator();

    m_mnuView = menuItem(options, "mnuView", "显示默认效果(&V)", [&ws] { ws.mnuViewClick(); });
    m_mnuView->setCheckable(true);

    QMenu *help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    menuItem(help, "mnuHelp", "使用说明(&M)", [&ws] { ws.mnuHelpClick(); });
    menuItem(help, "mnuAbout", "关于(&A)", [&ws] { ws.mnuAboutClick(); });
}

// The block menu. Its shortcuts act through the editor grid's key handler, not
// as shortcuts of the items: Ctrl+X, Ctrl+C and Ctrl+V always, the moves and
// Del while a block is selected.
void TForm1::createBlockMenu()
{
    Workspace &ws = *m_ws;
    m_PMenu = new QMenu(this);
    m_PMenu->setObjectName(QStringLiteral("PMenu"));
    m_pmu[0] = menuItem(m_PMenu, "pmuCut", "剪切\tCtrl+X", [&ws] { ws.mnuCutClick(); });
    m_pmu[1] = menuItem(m_PMenu, "pmuCopy", "复制\tCtrl+C", [&ws] { ws.mnuCopyClick(); });
    m_pmu[2] = menuItem(m_PMenu, "pmuPaste", "粘贴\tCtrl+V", [&ws] { ws.mnuPasteClick(); });
    m_pmu[3] = menuItem(m_PMenu, "pmuLeft", "左移\tCtrl+A", [&ws] { ws.pmuLeftClick(); });
    m_pmu[4] = menuItem(m_PMenu, "pmuRight", "右移\tCtrl+S", [&ws] { ws.pmuRightClick(); });
    m_pmu[5] = menuItem(m_PMenu, "pmuUp", "上移\tCtrl+W", [&ws] { ws.pmuUpClick(); });
    m_pmu[6] = menuItem(m_PMenu, "pmuDown", "下移\tCtrl+Z", [&ws] { ws.pmuDownClick(); });
    m_pmu[7] = menuItem(m_PMenu, "pmuDel", "删除\tDel", [&ws] { ws.mnuDelClick(); });
}

void TForm1::createLeftColumn(QWidget *client)
{
    Workspace &ws = *m_ws;
    constexpr int x = 8;

    // Label3 names the table; its "H" is underlined but the label has no buddy
    // control, so it takes no key (Alt+H opens the help menu).
    m_Label3 = new UnderlinedKeyLabel(QStringLiteral("区位字表(H):"), 5, client);
    m_Label3->setObjectName(QStringLiteral("Label3"));
    m_Label3->setFont(simSun(13, true));
    m_Label3->setGeometry(x, 8, 116, 17);

    m_SE1 = new SE1SpinEdit(client);
    m_SE1->setObjectName(QStringLiteral("SE1"));
    m_SE1->setGeometry(x + 224 - 56, 4, 56, 24);
    m_SE1->setRange(1, 94);
    m_SE1->setValue(16);
    m_SE1->onStep = [this, &ws](int delta) { command([&ws, delta] { ws.SE1Step(delta); }); };
    m_SE1->onKeyPress
        = [this, &ws](char32_t ch, bool &discard) { command([&ws, ch, &discard] { ws.SE1KeyPress(ch, discard); }); };
    // The field also loses the focus while the window closes: no command then.
    m_SE1->onTyped = [this, &ws](int value) {
        if (!m_closed)
            command([&ws, value] { ws.SE1Typed(value); });
    };

    m_Label1 = new QLabel(QStringLiteral("区码(&R)"), client);
    m_Label1->setObjectName(QStringLiteral("Label1"));
    m_Label1->setBuddy(m_SE1);
    m_Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_Label1->setGeometry(x + 224 - 56 - 58, 8, 54, 17);

    m_SG1 = new SG1Grid(ws, m_rasterizer, client);
    m_SG1->setObjectName(QStringLiteral("SG1"));
    m_SG1->setFont(simSun(16));
    m_SG1->move(x, 31);
    connect(m_SG1, &SG1Grid::cellPressed, this,
        [this, &ws](int col, int row) { command([&ws, col, row] { ws.SG1MouseDown(col, row); }); });

    m_ChEdit = new QLineEdit(client);
    m_ChEdit->setObjectName(QStringLiteral("ChEdit"));
    m_ChEdit->setToolTip(QStringLiteral("可在此输入 多个所需文字"));
    m_ChEdit->setFont(simSun(16));
    m_ChEdit->setGeometry(x, 279, 224, 26);
    connect(m_ChEdit, &QLineEdit::textEdited, this, &TForm1::chEditEdited);
    connect(m_ChEdit, &QLineEdit::returnPressed, this, [this, &ws] { command([&ws] { ws.ChEditKeyPress(13); }); });

    m_Label5 = new QLabel(QStringLiteral("直接输入文字(&I):"), client);
    m_Label5->setObjectName(QStringLiteral("Label5"));
    m_Label5->setBuddy(m_ChEdit);
    m_Label5->setGeometry(x, 261, 224, 16);

    m_Button1 = new QPushButton(QStringLiteral("从文本文件中导入文字(&F)"), client);
    m_Button1->setObjectName(QStringLiteral("Button1"));
    m_Button1->setGeometry(x, 310, 224, 26);
    // Its "F" is the file menu's key too: Alt+F opens the menu, as a menu key
    // that sometimes only focuses a button would be no key at all.
    m_Button1->setShortcut(QKeySequence());
    connect(m_Button1, &QPushButton::clicked, this, [this, &ws] { command([&ws] { ws.Button1Click(); }); });

    m_GroupBox1 = new QGroupBox(QStringLiteral("字库"), client);
    m_GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    m_GroupBox1->setGeometry(x, 342, 224, 94);

    m_RW = new QRadioButton(QStringLiteral("&Windows字库"), m_GroupBox1);
    m_RW->setObjectName(QStringLiteral("RW"));
    m_RW->setToolTip(QStringLiteral("用Windows系统自带的TTF字库作为点阵源"));
    m_RW->setAutoExclusive(false);
    m_RW->setGeometry(10, 24, 106, 22);
    // A radio button acts when it becomes ticked.
    connect(m_RW, &QRadioButton::clicked, this, [this, &ws] {
        command([&ws] {
            if (!ws.controls().RW.checked)
                ws.RWClick();
        });
    });

    m_FontBtn = new QPushButton(QStringLiteral("选择字体(&T)"), m_GroupBox1);
    m_FontBtn->setObjectName(QStringLiteral("FontBtn"));
    m_FontBtn->setToolTip(QStringLiteral("选择Windows字体和大小"));
    m_FontBtn->setGeometry(120, 21, 94, 27);
    connect(m_FontBtn, &QPushButton::clicked, this, [this, &ws] { command([&ws] { ws.FontBtnClick(); }); });

    m_RU = new QRadioButton(QStringLiteral("点阵字库(&M)"), m_GroupBox1);
    m_RU->setObjectName(QStringLiteral("RU"));
    m_RU->setToolTip(QStringLiteral("用UCDOS汉字系统的16点阵字库作为点阵源"));
    m_RU->setAutoExclusive(false);
    m_RU->setGeometry(10, 59, 106, 22);
    connect(m_RU, &QRadioButton::clicked, this, [this, &ws] {
        command([&ws] {
            if (!ws.controls().RU.checked)
                ws.RUClick();
        });
    });

    m_UJF = new QComboBox(m_GroupBox1);
    m_UJF->setObjectName(QStringLiteral("UJF"));
    m_UJF->addItems(
        {QStringLiteral("中文简体"), QStringLiteral("中文繁体"), QStringLiteral("日文"), QStringLiteral("韩文")});
    m_UJF->setGeometry(120, 58, 94, 25);
    connect(
        m_UJF, &QComboBox::activated, this, [this, &ws](int index) { command([&ws, index] { ws.UJFClick(index); }); });

    // The rasterising surface: never shown, kept for what it holds.
    m_Image1 = new QLabel(client);
    m_Image1->setObjectName(QStringLiteral("Image1"));
    m_Image1->setToolTip(QStringLiteral("准备加入小字库的字"));
    m_Image1->setGeometry(x, 400, Surface40::kSize, Surface40::kSize);
    m_Image1->hide();
}

QToolButton *TForm1::toolButton(
    QWidget *parent, const char *name, const char *hint, ToolIcon icon, void (Workspace::*handler)())
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(QString::fromUtf8(hint));
    button->setIcon(toolIcon(icon));
    button->setIconSize(QSize(32, 32));
    button->setAutoRaise(true);
    button->setFixedSize(31, 31);
    button->setFocusPolicy(Qt::NoFocus);
    Workspace &ws = *m_ws;
    connect(
        button, &QToolButton::clicked, this, [this, &ws, handler] { command([&ws, handler] { (ws.*handler)(); }); });
    return button;
}

void TForm1::createMiddleColumn(QWidget *client)
{
    Workspace &ws = *m_ws;
    constexpr int x = 244;

    m_RG1 = new QGroupBox(client);
    m_RG1->setObjectName(QStringLiteral("RG1"));
    m_RG1->setGeometry(x, 2, 293, 42);
    const char *const items[2] = {"显示系统字模(&Y)", "显示小字库字模(&X)"};
    for (int i = 0; i < 2; ++i) {
        auto *item = new QRadioButton(QString::fromUtf8(items[i]), m_RG1);
        item->setObjectName(QStringLiteral("RG1Item%1").arg(i));
        item->setAutoExclusive(false);
        item->setGeometry(12 + i * 142, 11, 136, 22);
        connect(item, &QRadioButton::clicked, this, [this, &ws, i] { command([&ws, i] { ws.selectRG1(i); }); });
        m_RG1Items[i] = item;
    }

    m_SG2 = new SG2Grid(ws, client);
    m_SG2->setObjectName(QStringLiteral("SG2"));
    m_SG2->setFont(simSun(16));
    m_SG2->move(x, 50);
    connect(m_SG2, &SG2Grid::pressed, this, &TForm1::sg2Pressed);
    // Pointer movement is frequent: the grid repaints when the workspace says so.
    connect(m_SG2, &SG2Grid::moved, this,
        [this, &ws](int col, int row) { command([&ws, col, row] { ws.SG2MouseMove(col, row); }, false); });
    connect(m_SG2, &SG2Grid::released, this, [this, &ws](int col, int row, MouseButton button) {
        command([&ws, col, row, button] { ws.SG2MouseUp(col, row, button); });
    });
    connect(m_SG2, &SG2Grid::doubleClicked, this, &TForm1::sg2DoubleClicked);
    connect(m_SG2, &SG2Grid::keyPressed, this,
        [this, &ws](Key key, KeyMods mods) { command([&ws, key, mods] { ws.SG2KeyDown(key, mods); }); });

    m_Panel1 = new QFrame(client);
    m_Panel1->setObjectName(QStringLiteral("Panel1"));
    m_Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_Panel1->setGeometry(x, 350, 293, 86);
    struct Tool {
        const char *name;
        const char *hint;
        ToolIcon icon;
        void (Workspace::*handler)();
    };
    const Tool tools[12] = {
        {"LeftBtn", "整体向左移动一列", ToolIcon::ShiftLeft, &Workspace::LeftBtnClick},
        {"RightBtn", "整体向右移动一列", ToolIcon::ShiftRight, &Workspace::RightBtnClick},
        {"UpBtn", "整体向上移动一行", ToolIcon::ShiftUp, &Workspace::UpBtnClick},
        {"DownBtn", "整体向下移动一行", ToolIcon::ShiftDown, &Workspace::DownBtnClick},
        {"CCWBtn", "左旋90度", ToolIcon::RotateLeft, &Workspace::CCWBtnClick},
        {"HflipBtn", "左右翻转", ToolIcon::FlipLeftRight, &Workspace::HflipBtnClick},
        {"VflipBtn", "上下翻转", ToolIcon::FlipUpDown, &Workspace::VflipBtnClick},
        {"ELBtn", "左右交换", ToolIcon::SwapLeftRight, &Workspace::ELBtnClick},
        {"EUBtn", "上下交换", ToolIcon::SwapUpDown, &Workspace::EUBtnClick},
        {"undoBtn", "恢复初始状态", ToolIcon::Undo, &Workspace::undoBtnClick},
        {"ClearBtn", "清除点阵", ToolIcon::Clear, &Workspace::ClearBtnClick},
        {"ChgBtn", "确认修改", ToolIcon::Commit, &Workspace::ChgBtnClick},
    };
    // Two rows of six, in the given order from the left.
    for (int i = 0; i < 12; ++i) {
        QToolButton *button = toolButton(m_Panel1, tools[i].name, tools[i].hint, tools[i].icon, tools[i].handler);
        button->move(12 + (i % 6) * 46, 8 + (i / 6) * 39);
    }
    m_ClearBtn = m_Panel1->findChild<QToolButton *>(QStringLiteral("ClearBtn"));
    m_ChgBtn = m_Panel1->findChild<QToolButton *>(QStringLiteral("ChgBtn"));
}

void TForm1::createRightColumn(QWidget *client)
{
    Workspace &ws = *m_ws;

    m_DG1 = new DG1Grid(ws, client);
    m_DG1->setObjectName(QStringLiteral("DG1"));
    const int width = m_DG1->width();
    const int x = kClientWidth - 8 - width;
    m_DG1->setGeometry(x, 31, width, 352);
    connect(m_DG1, &DG1Grid::cellPressed, this,
        [this, &ws](int col, int row) { command([&ws, col, row] { ws.DG1MouseDown(col, row); }); });

    m_Label4 = new QLabel(QStringLiteral("小字库字表(&Z):"), client);
    m_Label4->setObjectName(QStringLiteral("Label4"));
    m_Label4->setFont(simSun(13, true));
    m_Label4->setBuddy(m_DG1);
    m_Label4->setGeometry(x, 8, 116, 17);

    m_XNLabel = new QLabel(qs(ws.controls().XNLabel), client);
    m_XNLabel->setObjectName(QStringLiteral("XNLabel"));
    m_XNLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_XNLabel->setGeometry(x + 116, 8, width - 116, 17);

    auto bigButton = [&](const char *name, const char *text, const char *hint, ToolIcon icon, int left) {
        auto *button = new QToolButton(client);
        button->setObjectName(QString::fromLatin1(name));
        button->setText(QString::fromUtf8(text));
        button->setToolTip(QString::fromUtf8(hint));
        button->setIcon(toolIcon(icon));
        button->setIconSize(QSize(32, 32));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        button->setGeometry(left, 390, width / 2 - 2, 44);
        return button;
    };
    m_AddBtn = bigButton("AddBtn", "加入(&A)", "将所选字加入到小字库中", ToolIcon::Add, x);
    m_DelBtn = bigButton("DelBtn", "删除(&D)", "删除小字库中的字", ToolIcon::Delete, x + width - (width / 2 - 2));
    connect(m_AddBtn, &QToolButton::clicked, this, [this, &ws] { command([&ws] { ws.AddBtnClick(); }); });
    connect(m_DelBtn, &QToolButton::clicked, this, [this, &ws] { command([&ws] { ws.DelBtnClick(); }); });
}

// ---- the event boundary ---------------------------------------------------

void TForm1::command(const std::function<void()> &fn, bool repaintEditor)
{
    m_ws->run(fn);
    syncControls();
    showSelectedGlyph();
    if (repaintEditor)
        m_SG2->update();
}

void TForm1::syncControls()
{
    const Workspace &ws = *m_ws;
    setWindowTitle(qs(ws.controls().caption));
    m_XNLabel->setText(qs(ws.controls().XNLabel));

    m_SE1->follow(ws.controls().SE1);
    setToggle(m_RW, ws.controls().RW);
    m_RW->setChecked(ws.controls().RW.checked);
    setToggle(m_RU, ws.controls().RU);
    m_RU->setChecked(ws.controls().RU.checked);
    setToggle(m_FontBtn, ws.controls().FontBtn);
    {
        const QSignalBlocker block(m_UJF);
        setToggle(m_UJF, ws.controls().UJF);
        m_UJF->setCurrentIndex(ws.controls().UJFIndex);
    }
    setToggle(m_Button1, ws.controls().Button1);
    syncChEdit();

    setToggle(m_RG1, ws.controls().RG1);
    for (int i = 0; i < 2; ++i)
        m_RG1Items[i]->setChecked(ws.controls().RG1Index == i);
    setToggle(m_Panel1, ws.controls().Panel1);
    setToggle(m_ClearBtn, ws.controls().ClearBtn);
    setToggle(m_ChgBtn, ws.controls().ChgBtn);
    setToggle(m_AddBtn, ws.controls().AddBtn);
    setToggle(m_DelBtn, ws.controls().DelBtn);

    m_mnuSave->setEnabled(ws.controls().mnuSave.enabled);
    m_mnuSaveAs->setEnabled(ws.controls().mnuSaveAs.enabled);
    // The ticked item first: its group then unticks the others.
    auto tick = [](QAction *const *items, int count, int chosen) {
        items[chosen]->setChecked(true);
        for (int i = 0; i < count; ++i)
            items[i]->setChecked(i == chosen);
    };
    tick(m_mnuSize, 3, ws.controls().mnu24.checked ? 1 : ws.controls().mnu32.checked ? 2 : 0);
    tick(m_mnuMode, 4, int(ws.controls().mode));
    tick(m_mnuRotation, 4, int(ws.controls().rotation));
    tick(m_mnuFlip, 3, int(ws.controls().flip));
    tick(m_mnuSwap, 3, int(ws.controls().swap));
    m_mnuView->setChecked(ws.controls().mnuView);
    const Toggle *pmu[8]
        = {&ws.controls().pmuCut, &ws.controls().pmuCopy, &ws.controls().pmuPaste, &ws.controls().pmuLeft,
            &ws.controls().pmuRight, &ws.controls().pmuUp, &ws.controls().pmuDown, &ws.controls().pmuDel};
    for (int i = 0; i < 8; ++i)
        m_pmu[i]->setEnabled(pmu[i]->enabled);

    if (ws.codeTable().Image1().pixels != m_shownImage1.pixels) {
        m_shownImage1 = ws.codeTable().Image1();
        QImage image(reinterpret_cast<const uchar *>(m_shownImage1.pixels.data()), Surface40::kSize, Surface40::kSize,
            Surface40::kSize * 4, QImage::Format_RGB32);
        m_Image1->setPixmap(QPixmap::fromImage(image));
    }
}

// When a command selects another library glyph (an open selects the last one,
// a print the last printed) it becomes the list's current cell and is
// scrolled into sight; a list the user scrolled stays where it is otherwise.
void TForm1::showSelectedGlyph()
{
    const Workspace &ws = *m_ws;
    const Library &library = ws.library();
    if (library.LibIndex() == m_shownLibIndex)
        return;
    m_shownLibIndex = library.LibIndex();
    if (library.LibIndex() < 0 || library.LibIndex() >= library.LibCount() || library.DG1ColCount() <= 0)
        return;
    m_DG1->setCurrentIndex(library.LibIndex());
}

// The field shows the workspace's GBK text; the font follows the table's face.
void TForm1::syncChEdit()
{
    const Workspace &ws = *m_ws;
    setToggle(m_ChEdit, ws.controls().ChEdit);
    const QString face = qs(ws.codeTable().tableFace());
    if (m_ChEdit->font().family() != face) {
        QFont font(face);
        font.setPixelSize(16);
        m_ChEdit->setFont(font);
    }
    if (utf8ToGbk(m_ChEdit->text().toStdString()) != ws.controls().ChEditText)
        m_ChEdit->setText(qs(gbkToUtf8(ws.controls().ChEditText)));
}

// Letters are forced to lower case; the workspace keeps the text as GBK. A
// character without a GBK code cannot be collected and is refused.
void TForm1::chEditEdited(const QString &text)
{
    const QString lower = text.toLower();
    std::optional<std::string> gbk = utf8ToGbk(lower.toStdString());
    if (!gbk) {
        const int cursor = m_ChEdit->cursorPosition();
        m_ChEdit->setText(qs(gbkToUtf8(m_ws->controls().ChEditText)));
        m_ChEdit->setCursorPosition(std::min(cursor, int(m_ChEdit->text().size())));
        m_prompts->beep();
        return;
    }
    if (lower != text) {
        const int cursor = m_ChEdit->cursorPosition();
        m_ChEdit->setText(lower);
        m_ChEdit->setCursorPosition(cursor);
    }
    m_ws->ChEditChange(*gbk);
}

// A right press may ask for the block menu (openBlockMenu), which opens at
// the pointer of the press.
void TForm1::sg2Pressed(int col, int row, MouseButton button, const QPoint &pointer)
{
    Workspace &ws = *m_ws;
    m_pressPointer = pointer;
    command([&ws, col, row, button] { ws.SG2MouseDown(col, row, button); });
}

// The double-click toggles the dot of the first press; the second press then
// counts as an ordinary press.
void TForm1::sg2DoubleClicked(int col, int row, MouseButton button, const QPoint &pointer)
{
    Workspace &ws = *m_ws;
    if (button == MouseButton::Left && ws.editorGrid().onSquare(col, row))
        command([&ws] { ws.SG2DblClick(); });
    sg2Pressed(col, row, button, pointer);
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (m_closed) {
        event->accept();
        return;
    }
    bool canClose = true;
    // A save started by the question that fails keeps the window open.
    const bool ok = m_ws->run([this, &canClose] { canClose = m_ws->FormCloseQuery(); });
    syncControls();
    if (!ok || !canClose) {
        event->ignore();
        return;
    }
    m_closed = true;
    m_ws->run([this] { m_ws->FormClose(); });
    event->accept();
}

// ---- WorkspaceListener -------------------------------------------------------

void TForm1::editorChanged()
{
    m_SG2->update();
}

// A new area starts at its first cell, the keyboard's too.
void TForm1::codeTableChanged()
{
    m_SG1->setCurrentCell(m_ws->codeTable().tableCol(), m_ws->codeTable().tableRow());
    m_SG1->update();
}

void TForm1::libraryCellChanged(int index)
{
    m_DG1->updateCell(index);
}

void TForm1::libraryLayoutChanged()
{
    m_DG1->relayout();
}

void TForm1::controlsChanged()
{
    syncControls();
}

void TForm1::focusEditor()
{
    m_SG2->setFocus(Qt::OtherFocusReason);
}

void TForm1::closeWindow()
{
    QTimer::singleShot(0, this, &QWidget::close);
}

// The block menu opens with its top-left corner at the window's outer left +
// the grid's left in the client area + the pointer's x in the grid + 10, and
// the outer top + the grid's top + the pointer's y (the frame and the menu bar
// are not counted, so it opens a little above and right of the pointer).
void TForm1::openBlockMenu()
{
    syncControls();
    const QPoint grid = m_SG2->mapTo(centralWidget(), QPoint(0, 0));
    const QRect outer = frameGeometry();
    m_PMenu->popup(QPoint(outer.x() + grid.x() + m_pressPointer.x() + 10, outer.y() + grid.y() + m_pressPointer.y()));
}

void TForm1::showPrintDialog()
{
    if (m_printDialog)
        m_printDialog->exec();
}

} // namespace dotforge
