#pragma once
// TForm1, the main window. It owns the workspace and draws it: every handler
// turns its event into one workspace command, run at the event boundary, and
// then brings the widgets in step with the state. The window holds no rule of
// the program.

#include "app/widgets/window_folders.h"
#include "render/freetype_rasterizer.h"
#include "workspace/workspace.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace dotforge {

class DG1Grid;
enum class ToolIcon;
class QtPrompts;
class SE1SpinEdit;
class SG1Grid;
class SG2Grid;

class TForm1 : public QMainWindow, private WorkspaceListener {
    Q_OBJECT
public:
    // The program's window in the folders chosen at start-up; the prompts are
    // real boxes and dialogs.
    explicit TForm1(const WindowFolders &folders, QWidget *parent = nullptr);
    // A window working in `workDir` with the given prompts (tests).
    TForm1(const QString &workDir, Prompts &prompts, QWidget *parent = nullptr);
    ~TForm1() override;

    Workspace &workspace() { return *m_ws; }
    // The print dialog the menu item "打印(&P)..." shows.
    void setPrintDialog(QDialog *dialog) { m_printDialog = dialog; }

    // Client area size: fixed, the menu bar comes on top.
    static constexpr int kClientWidth = 789;
    static constexpr int kClientHeight = 444;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    TForm1(const WindowFolders &folders, Prompts *prompts, QWidget *parent);

    // Building the window.
    void createMenus();
    void createBlockMenu();
    void createLeftColumn(QWidget *client);
    void createMiddleColumn(QWidget *client);
    void createRightColumn(QWidget *client);
    QToolButton *toolButton(
        QWidget *parent, const char *name, const char *hint, ToolIcon icon, void (Workspace::*handler)());
    QAction *menuItem(QMenu *menu, const char *name, const char *text, std::function<void()> handler);

    // The event boundary: one command, then the widgets follow the state.
    void command(const std::function<void()> &fn, bool repaintEditor = true);
    void syncControls();
    void syncChEdit();
    void showSelectedGlyph();
    void chEditEdited(const QString &text);
    void sg2Pressed(int col, int row, MouseButton button, const QPoint &pointer);
    void sg2DoubleClicked(int col, int row, MouseButton button, const QPoint &pointer);

    // WorkspaceListener.
    void editorChanged() override;
    void codeTableChanged() override;
    void libraryCellChanged(int index) override;
    void libraryLayoutChanged() override;
    void controlsChanged() override;
    void focusEditor() override;
    void closeWindow() override;
    void showPrintDialog() override;
    void openBlockMenu() override;

    std::unique_ptr<QtPrompts> m_ownPrompts;
    Prompts *m_prompts;
    FreeTypeRasterizer m_rasterizer;
    std::unique_ptr<Workspace> m_ws;
    QDialog *m_printDialog = nullptr;
    bool m_closed = false; // FormClose has run
    int m_windowLock = -1; // the file locked for this window's place on the screen
    Surface40 m_shownImage1;
    int m_shownLibIndex = 0; // the glyph DG1 last scrolled into sight
    QPoint m_pressPointer; // the last press on SG2, in its cell area: where the block menu opens

    // Left column.
    QLabel *m_Label3 = nullptr;
    QLabel *m_Label1 = nullptr;
    SE1SpinEdit *m_SE1 = nullptr;
    SG1Grid *m_SG1 = nullptr;
    QLabel *m_Label5 = nullptr;
    QLineEdit *m_ChEdit = nullptr;
    QPushButton *m_Button1 = nullptr;
    QGroupBox *m_GroupBox1 = nullptr;
    QRadioButton *m_RW = nullptr;
    QPushButton *m_FontBtn = nullptr;
    QRadioButton *m_RU = nullptr;
    QComboBox *m_UJF = nullptr;
    QLabel *m_Image1 = nullptr;
    // Middle column.
    QGroupBox *m_RG1 = nullptr;
    QRadioButton *m_RG1Items[2] = {nullptr, nullptr};
    SG2Grid *m_SG2 = nullptr;
    QFrame *m_Panel1 = nullptr;
    QToolButton *m_ClearBtn = nullptr;
    QToolButton *m_ChgBtn = nullptr;
    // Right column.
    QLabel *m_Label4 = nullptr;
    QLabel *m_XNLabel = nullptr;
    DG1Grid *m_DG1 = nullptr;
    QToolButton *m_AddBtn = nullptr;
    QToolButton *m_DelBtn = nullptr;
    // Menus.
    QAction *m_mnuSave = nullptr;
    QAction *m_mnuSaveAs = nullptr;
    QAction *m_mnuSize[3] = {nullptr, nullptr, nullptr};
    QAction *m_mnuMode[4] = {nullptr, nullptr, nullptr, nullptr};
    QAction *m_mnuRotation[4] = {nullptr, nullptr, nullptr, nullptr};
    QAction *m_mnuFlip[3] = {nullptr, nullptr, nullptr};
    QAction *m_mnuSwap[3] = {nullptr, nullptr, nullptr};
    QAction *m_mnuView = nullptr;
    QMenu *m_PMenu = nullptr;
    QAction *m_pmu[8] = {};
};

} // namespace dotforge
