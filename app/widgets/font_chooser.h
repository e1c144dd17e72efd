#pragma once
// The font dialog: the installed TrueType and OpenType faces and the sizes
// 12 to 28 points, the installed bitmap faces with the sizes of their strikes,
// and any font file ("从文件..."), with a sample.

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace dotforge {

class FreeTypeRasterizer;

// Faces the dialog offers: "宋体" (substituted on this system) first, then every
// installed scalable face that is TrueType or OpenType, sorted.
QStringList trueTypeFaces();

class FontChooser : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMinPoints = 12;
    static constexpr int kMaxPoints = 28;

    FontChooser(const QString &face, int pointSize, QWidget *parent = nullptr);

    // The chosen face name, or the path of the chosen font file.
    QString face() const;
    int pointSize() const;

    // Puts a font file at the top of the faces and chooses it; false (and a
    // message box) when FreeType cannot read it as a font.
    bool addFontFile(const QString &path);

    // Where "从文件..." opens: the folder of the chosen font file, else the
    // first font folder of the user's and the system's that holds anything.
    QString fontFolder() const;

    // Refused (a beep) while the face offers no size it can be drawn at.
    void accept() override;

private:
    void updateSample();
    // The sizes of the current face: 12 to 28 points, or a bitmap face's strikes.
    void fillSizes();
    void chooseFile();
    bool sizeUsable() const;
    QListWidgetItem *addBitmapOrFileItem(const QString &face, int row);

    FreeTypeRasterizer &m_fonts;
    QListWidget *m_faces;
    QListWidget *m_sizes;
    QLabel *m_sample;
    QPushButton *m_ok = nullptr;
    int m_wantedPoints; // kept across faces whose sizes differ
};

} // namespace dotforge
