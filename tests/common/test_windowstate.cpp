#include "../support/tempdata.h"
#include "common/windowstate.h"
#include "platform/inifile.h"

#include <QDir>
#include <QWidget>

namespace {
class WindowState : public DataTest {};
} // namespace

TEST_F(WindowState, PositionAndSizeComeBackAndFixedSizesAreNotSaved) {
    QString ini = pensionIniPath();
    EXPECT_EQ(QDir(dataDir()).filePath("PENSION.INI"), ini);
    {
        QWidget w;
        w.setGeometry(120, 80, 400, 300);
        w.show();
        INISAVEWINDOW(&w, ini, "EditCUinfo");
    }
    IniFile saved(ini);
    EXPECT_EQ(saved.value("EditCUinfo", "Maximize"), "No");
    EXPECT_EQ(saved.value("EditCUinfo", "Minimize"), "No");
    EXPECT_EQ(saved.value("EditCUinfo", "Width"), "400");
    QWidget restored;
    INIRESTOREWINDOW(&restored, ini, "EditCUinfo");
    EXPECT_EQ(restored.size(), QSize(400, 300));
    EXPECT_EQ(restored.pos().x(), saved.value("EditCUinfo", "XPos").toInt());

    QWidget fixed;
    fixed.setFixedSize(200, 100);
    fixed.show();
    INISAVEWINDOW(&fixed, ini, "EditMiscPrompts");
    IniFile again(ini);
    EXPECT_TRUE(again.contains("EditMiscPrompts", "Width"));
    EXPECT_EQ(again.value("EditMiscPrompts", "Width"), ""); // a value not taken is written blank

    QWidget fresh;
    fresh.resize(50, 50);
    INIRESTOREWINDOW(&fresh, ini, "NeverSaved");
    EXPECT_EQ(fresh.size(), QSize(50, 50));
}
