// The window's "控制器格式(&P)" submenu: each controller layout ticks its mode and
// default effects as the user would.

#include "app/widgets/tform1.h"
#include "formats/profiles.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_workspace.h"

#include <QAction>
#include <QMenu>
#include <QTest>

#include <filesystem>
#include <memory>

using namespace dotforge;
using dotforge::test::ScriptedPrompts;
using dotforge::test::TempDir;

class ProfileMenuTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TempDir> m_dir;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<TForm1> m_form;

    Workspace &ws() { return m_form->workspace(); }
    QAction *action(const QString &name)
    {
        QAction *a = m_form->findChild<QAction *>(name);
        if (!a)
            qFatal("no menu item %s", qPrintable(name));
        return a;
    }
    QAction *tickedIn(const char *menu)
    {
        for (QAction *a : m_form->findChild<QMenu *>(QString::fromLatin1(menu))->actions())
            if (a->isChecked())
                return a;
        return nullptr;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<TempDir>();
        std::filesystem::create_symlink(test::font16sPath(), m_dir->path() / "Font16s");
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_form = std::make_unique<TForm1>(QString::fromStdString(m_dir->path().string()), *m_prompts);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    void cleanup()
    {
        m_form.reset();
        QVERIFY(m_prompts->allConsumed());
        m_prompts.reset();
        m_dir.reset();
    }

    void itemsNameTheControllers()
    {
        auto *menu = m_form->findChild<QMenu *>(QStringLiteral("ProfileMenu"));
        QVERIFY(menu);
        QCOMPARE(menu->title(), QStringLiteral("控制器格式(&P)"));
        QVERIFY(m_form->findChild<QMenu *>(QStringLiteral("OptionsMenu"))->actions().contains(menu->menuAction()));
        const QList<QAction *> items = menu->actions();
        QCOMPARE(items.size(), 8);
        QCOMPARE(items[2]->text(),
            QStringLiteral("&3 pages-lsb: 按页纵向, 低位在上 (SSD1306, SH1106, ST7565, UC1701, PCD8544, KS0108)"));
        QVERIFY(items[0]->text().contains(QStringLiteral("ST7920")));
    }

    // Each layout ticks the items of its mode and effects, and the submenu
    // shows it ticked when it opens again.
    void choosingALayoutTicksModeAndEffects()
    {
        const char *const modes[] = {"mnuModA", "mnuModB", "mnuModC", "mnuModD"};
        const char *const rotations[] = {"mnuR0", "mnuR90", "mnuR180", "mnuR270"};
        const char *const flips[] = {"mnuFN", "mnuFH", "mnuFV"};
        const char *const swaps[] = {"mnuEN", "mnuEL", "mnuEU"};
        for (const LayoutProfile &p : layoutProfiles()) {
            action(QStringLiteral("mnuProfile-") + p.name)->trigger();
            QCOMPARE(tickedIn("ModeMenu")->objectName(), QString::fromLatin1(modes[int(p.layout.mode)]));
            QCOMPARE(
                tickedIn("RotationMenu")->objectName(), QString::fromLatin1(rotations[int(p.layout.effects.rotation)]));
            QCOMPARE(tickedIn("FlipMenu")->objectName(), QString::fromLatin1(flips[int(p.layout.effects.flip)]));
            QCOMPARE(tickedIn("SwapMenu")->objectName(), QString::fromLatin1(swaps[int(p.layout.effects.swap)]));
            auto *menu = m_form->findChild<QMenu *>(QStringLiteral("ProfileMenu"));
            emit menu->aboutToShow();
            QCOMPARE(tickedIn("ProfileMenu")->objectName(), QStringLiteral("mnuProfile-") + p.name);
        }
        // Another effect: no layout is ticked.
        action(QStringLiteral("mnuEU"))->trigger();
        emit m_form->findChild<QMenu *>(QStringLiteral("ProfileMenu"))->aboutToShow();
        QCOMPARE(tickedIn("ProfileMenu"), nullptr);
    }
};

QTEST_MAIN(ProfileMenuTest)
#include "profile_menu_test.moc"
